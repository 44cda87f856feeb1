#!/usr/bin/env bash
# Installs what the tests need, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them all through CTest; then builds the suites whose code
# crosses threads with ThreadSanitizer and runs their threaded cases. Then a short run of every
# libFuzzer target (scripts/fuzz.sh) and a check of the Debian package (scripts/package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELIX_TSAN=ON
cmake --build build-tsan -j "$jobs" --target wdl_tests core_tests vst3_tests graphics_tests
ctest --test-dir build-tsan --output-on-failure -j "$jobs" -R "Thread|ManyInstances|GraphicsThreads"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRELIX_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE gui
# The editor on screen, one case at a time, under an X server of its own.
scripts/with-xvfb.sh ctest --test-dir build-asan --output-on-failure -L gui

# Every fuzz target for a few seconds, after replaying its committed regression inputs.
bash scripts/fuzz.sh 5

# The Debian package from a Release build: control fields, files, lintian, a scratch install.
bash scripts/package.sh --check
