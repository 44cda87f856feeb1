#!/usr/bin/env bash
# Installs what the build needs, builds everything in Release and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELIX_BENCH=ON
cmake --build build -j "$(nproc)"
echo "Built in $(pwd)/build:"
find build -maxdepth 4 \( -name '*.a' -o -name '*.so' -o -perm -u+x -type f \) -newer CMakeLists.txt \
  -not -path '*/CMakeFiles/*' | sort
