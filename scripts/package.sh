#!/usr/bin/env bash
# Builds the Debian package build-package/brelix_<version>_amd64.deb (a Release build of the
# bundle and the brelix tool, packed by CPack). With --check it then tests the package: its
# control fields and file list (dpkg-deb), lintian (no errors), and an installation into a
# scratch root (never the live system) whose brelix describes its own installed plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELIX_TESTS=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target brelix_vst3 brelix
rm -f "$build"/brelix_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/brelix_${version}_amd64.deb"
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }
echo "Package: $deb"
[ "${1:-}" = --check ] || exit 0

fail() { echo "package check: $*" >&2; exit 1; }

# Control fields: name, version, architecture, computed dependencies, description.
info=$(dpkg-deb -I "$deb")
for field in "Package: brelix" "Version: $version" "Architecture: amd64" "Section: sound" \
             "Maintainer: Quorvane <support@quorvane.com>" "Description: stereo saturating preamp"; do
  grep -qF "$field" <<< "$info" || fail "control lacks '$field'"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libgcc-s1 libsndfile1; do
  grep -q "\b$lib\b" <<< "$depends" || fail "Depends ($depends) lacks $lib"
done

# Files: the bundle (its library and resources), the tool, its manual page and the documentation,
# nothing else.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
for f in ./usr/bin/brelix ./usr/lib/vst3/Brelix.vst3/Contents/x86_64-linux/Brelix.so \
         ./usr/share/man/man1/brelix.1.gz ./usr/share/doc/brelix/copyright ./usr/share/doc/brelix/changelog.gz; do
  grep -qxF "$f" <<< "$files" || fail "$f is missing"
done
others=$(grep -vxE '\./usr/bin/brelix|\./usr/lib/vst3/Brelix\.vst3/Contents/(x86_64-linux/Brelix\.so|Resources/[^/]+)|\./usr/share/man/man1/brelix\.1\.gz|\./usr/share/doc/brelix/(copyright|changelog\.gz)' \
  <<< "$files" || true)
[ -z "$others" ] || fail "unexpected files in the package:
$others"
dpkg-deb -c "$deb" | awk '{print $2}' | grep -qv '^root/root$' && fail "files not owned by root"

# lintian: no errors (warnings are listed, not fatal).
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

# Install into a scratch root with its own dpkg database and log. The dependencies are those of
# the live system, which dpkg cannot see from the scratch database: --force-depends.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
admin="$root/var/lib/dpkg"
mkdir -p "$admin/info" "$admin/updates"
touch "$admin/status" "$admin/available"
dpkg --instdir="$root" --admindir="$admin" --log="$root/dpkg.log" --force-depends --force-not-root \
  --force-script-chrootless -i "$deb" > "$root/dpkg.out" 2>&1 || { cat "$root/dpkg.out"; fail "dpkg -i failed"; }
[ -x "$root/usr/bin/brelix" ] || fail "brelix not installed"
out=$("$root/usr/bin/brelix" info --plugin "$root/usr/lib/vst3/Brelix.vst3")
grep -q "Brelix" <<< "$out" || fail "the installed brelix does not describe the installed plug-in:
$out"
# The manual page documents every option the installed tool lists.
manual=$(gzip -dc "$root/usr/share/man/man1/brelix.1.gz" | sed 's/\\-/-/g')
for option in $("$root/usr/bin/brelix" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "$option" <<< "$manual" || fail "the manual page lacks $option"
done
echo "$out" | head -5
echo "Package check passed: $deb"
