#!/usr/bin/env bash
# What `brelix render --oversample N` buys and costs with Brelix, as a table: for 5 kHz and 9 kHz
# sines at -6 dBFS (stereo, 48 kHz, 30 s, 32-bit float), MODEL 0, 2, 7 and 10 at GAIN 30 and
# N = 1, 2, 4, 8, the aliasing figure of `brelix analyze` (dB relative to the fundamental) and the
# CPU time (user + system, best of 3) of each render with its ratio to the plain render's. Then the
# resamplers' pass-band error: a band-limited multi-tone (97 Hz to 0.45 x 48 kHz) through BYPASS,
# oversampled against plain.
# Usage: bench/oversample-aliasing.sh [BUILD_DIR]   (default: build, a Release build; needs sox)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
brelix=$build/tools/brelix
plugin=$build/vst3/Brelix.vst3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU seconds (user + system) of the best of three runs of a command.
cpu_seconds() {
  local best="" t
  for _ in 1 2 3; do
    t=$( { TIMEFORMAT='%U %S'; time "$@" >/dev/null 2>&1; } 2>&1 )
    t=$(awk '{printf "%.3f", $1 + $2}' <<<"$t")
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN {exit !(a < b)}'; then best=$t; fi
  done
  echo "$best"
}

aliasing() {
  "$brelix" analyze "$1" | awk '/^aliasing / {print $2}'
}

sine() {  # HZ FILE: -6.00 dBFS, 10 ms half-sine fades
  sox -V1 -n -r 48000 -c 2 -e floating-point -b 32 "$2" synth 30 sine "$1" vol 0.501187 fade h 0.01 30 0.01
}

echo "| sine | MODEL | aliasing N=1 | N=2 | N=4 | N=8 | CPU s N=1 | N=2 | N=4 | N=8 |"
echo "|---|---|---|---|---|---|---|---|---|---|"
for hz in 5000 9000; do
  sine "$hz" "$work/in.wav"
  for model in 0 2 7 10; do
    figures=() times=()
    for n in 1 2 4 8; do
      out="$work/out-$n.wav"
      times+=("$(cpu_seconds "$brelix" render "$work/in.wav" "$out" --plugin "$plugin" --no-progress \
        --set GAIN=30 --set MODEL="$model" --oversample "$n")")
      figures+=("$(aliasing "$out")")
    done
    ratios=$(awk -v a="${times[0]}" -v b="${times[1]}" -v c="${times[2]}" -v d="${times[3]}" \
      'BEGIN {printf "%.2f | %.2f (%.1fx) | %.2f (%.1fx) | %.2f (%.1fx)", a, b, b / a, c, c / a, d, d / a}')
    echo "| $((hz / 1000)) kHz | $model | ${figures[0]} | ${figures[1]} | ${figures[2]} | ${figures[3]} | $ratios |"
  done
done

echo
echo "Pass-band error through BYPASS (difference to the plain render, dB relative to it):"
parts=()
for hz in 97 1234.5 5000 12345 19000 21590; do
  sox -V1 -n -r 48000 -c 2 -e floating-point -b 64 "$work/p$hz.wav" synth 5 sine "$hz" vol 0.15 fade h 0.1 5 0.1
  parts+=("$work/p$hz.wav")
done
sox -V1 -m -v 1 "${parts[@]}" -e floating-point -b 64 "$work/multi.wav"
bypass=(--plugin "$plugin" --no-progress --set Bypass=on --precision 64 --bit-depth double)
"$brelix" render "$work/multi.wav" "$work/plain.wav" "${bypass[@]}" >/dev/null
level() { sox -V1 "$1" -n stats 2>&1 | awk '/^RMS lev dB/ {print $4}'; }
for n in 2 4 8; do
  "$brelix" render "$work/multi.wav" "$work/over.wav" "${bypass[@]}" --oversample "$n" >/dev/null
  sox -V1 -m -v 1 "$work/over.wav" -v -1 "$work/plain.wav" -e floating-point -b 64 "$work/diff.wav"
  echo "  N=$n: $(awk -v d="$(level "$work/diff.wav")" -v p="$(level "$work/plain.wav")" 'BEGIN {printf "%.1f dB", d - p}')"
done
