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
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-dejavu-extra
  libx11-dev libxext-dev libxtst-dev
  xvfb xauth x11-utils xdotool
  libpixman-1-dev
  libsoxr-dev libfftw3-dev
  clang lintian
  locales
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

# A comma-decimal locale lets the tests check that numbers never follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
