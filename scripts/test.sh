#!/usr/bin/env bash
# Installs what the tests need, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them all through CTest; then builds the suites whose code
# crosses threads with ThreadSanitizer and runs their threaded cases.
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
