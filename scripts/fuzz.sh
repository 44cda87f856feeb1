#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every target listed in build-fuzz/fuzz/targets.txt: first its committed regression inputs
# (fuzz/regressions/<target>/) once each, then fuzzing from its seed corpus (fuzz/corpus/<target>/,
# copied into build-fuzz/corpus/<target>/ so the committed seeds stay as they are).
#
#   scripts/fuzz.sh [SECONDS]     fuzz each target for SECONDS (default 60)
#   FUZZ_RUNS=N scripts/fuzz.sh   fuzz each target for N executions instead
#   FUZZ_TARGETS="a b" ...        only these targets;  FUZZ_SKIP_BUILD=1 ...  use the build as it is
#
# A crash, leak or broken invariant stops the script with a non-zero status; the input that caused
# it is in build-fuzz/findings/<target>/. Each target's final statistics (executions, coverage) are
# in build-fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

if [ -z "${FUZZ_SKIP_BUILD:-}" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELIX_FUZZ=ON \
    -DBRELIX_TESTS=OFF >/dev/null
  targets_file="$build/fuzz/targets.txt"
  mapfile -t all < "$targets_file"
  cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' "${all[@]}")
fi
mapfile -t all < "$build/fuzz/targets.txt"
read -r -a targets <<< "${FUZZ_TARGETS:-${all[*]}}"

if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); else limit=(-max_total_time="$seconds"); fi
mkdir -p "$build/logs"
for t in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$t"
  findings="$build/findings/$t"
  corpus="$build/corpus/$t"
  mkdir -p "$findings" "$corpus"
  cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  regressions=(fuzz/regressions/"$t"/*)
  if [ -e "${regressions[0]}" ]; then
    echo "== $t: replaying ${#regressions[@]} regression inputs"
    "$exe" -runs=1 "${regressions[@]}" > "$build/logs/$t-regressions.log" 2>&1 ||
      { tail -40 "$build/logs/$t-regressions.log"; echo "fuzz_$t: a regression input fails" >&2; exit 1; }
  fi
  echo "== $t: fuzzing (${FUZZ_RUNS:-$seconds s}${FUZZ_RUNS:+ runs})"
  if ! "$exe" "${limit[@]}" -timeout=20 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" > "$build/logs/$t.log" 2>&1; then
    tail -60 "$build/logs/$t.log"
    echo "fuzz_$t found a failure; its input is in $findings/" >&2
    exit 1
  fi
  grep -E '^#[0-9]+\s+DONE' "$build/logs/$t.log" | tail -1
done
