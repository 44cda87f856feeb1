#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need (as root).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  juce-modules-source-data
  libpng-dev zlib1g-dev
  libsndfile1-dev
  googletest libgtest-dev libbenchmark-dev
  zam-plugins
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
