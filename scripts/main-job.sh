#!/usr/bin/env bash
# Installs what the build needs, builds everything in Release, installs the plug-in for this
# user, reports how each MODEL colours a 1 kHz tone, and renders the built-in demo clip through
# the installed plug-in with a few characterful settings.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELIX_BENCH=ON
cmake --build build -j "$(nproc)"
# ~/.vst3/Brelix.vst3 (where Linux hosts look for VST3 plug-ins) and ~/.local/bin/brelix.
cmake --build build --target install-user-brelix install-brelix

echo
build/tools/tone-report/brelix-tone-report

out="$(pwd)/build/renders"
mkdir -p "$out"
plugin="$HOME/.vst3/Brelix.vst3"
brelix=build/tools/brelix
echo
echo "Rendering the demo clip through $plugin:"
"$brelix" render "$out/demo-dry.wav" --plugin "$plugin" --no-progress --set Bypass=on
"$brelix" render "$out/demo-warm.wav" --plugin "$plugin" --no-progress --set GAIN=18 --set MODEL=2 --set HPF=1 --set OUT=6
hot=(--set GAIN=30 --set MODEL=7 --set LPF=1 --set OUT=26)
"$brelix" render "$out/demo-hot.wav" --plugin "$plugin" --no-progress "${hot[@]}"
# The same setting with the plug-in run at 4 × the rate, so that far less of its harmonics alias.
"$brelix" render "$out/demo-hot-oversampled.wav" --plugin "$plugin" --no-progress "${hot[@]}" --oversample 4
"$brelix" render "$out/demo-fuzz.wav" --plugin "$plugin" --no-progress --set GAIN=40 --set MODEL=10 --set HPF=3 \
  --set OUT=24 --save-preset "$out/fuzz.vstpreset"
echo
echo "The plug-in is installed in $plugin and the brelix tool in $HOME/.local/bin/brelix."
echo "Demo renders (and the fuzz setting as a .vstpreset) are in $out:"
ls -1 "$out"
