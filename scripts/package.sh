#!/usr/bin/env bash
# Makes the release files in dist/:
#   velmora-VERSION-win32.zip     velmora.dll (i686), the operator's guide
#                                 with its pictures, the licence, SHA256SUMS
#   velmora-VERSION-setup.exe     the installer (NSIS)
#   velmora-replay_VERSION_amd64.deb  velmora-replay with its man page
# Reuses the native Release build and the i686 Release build when they exist
# (the folders scripts/test.sh builds) and builds what is missing.
# Usage: scripts/package.sh [native-build [i686-build [dist]]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native=${1:-$root/build}
win32=${2:-$(dirname "$native")/build-win32}
dist=${3:-$root/dist}

bash "$root/scripts/install-deps.sh" build tests robot windows release
for tool in makensis zip sha256sum cpack dpkg-shlibdeps /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "package: $tool is missing" >&2; exit 1; }
done

version=$(sed -n 's/^project(velmora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[[ -n $version ]] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

if [[ ! -f $native/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$native" -j2 --target velmora-replay velmora-check velmora_man_page
if [[ ! -f $win32/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
fi
cmake --build "$win32" -j2 --target velmora
dll=$win32/bin/velmora.dll

mkdir -p "$dist"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The guide: Markdown to one HTML page, beside its pictures.
guide=$stage/guide
mkdir -p "$guide"
bash "$root/scripts/render-guide.sh" "$version" "$root/docs/guide.md" "$guide/guide.html"
for picture in setup_window info_window multiplier_window cabrillo_dialog; do
  cp "$root/docs/$picture.png" "$guide/"
done

# The zip: flat, so that velmora.dll sits beside the guide it comes with.
zipdir=$stage/zip
mkdir -p "$zipdir"
cp "$dll" "$guide"/*.html "$guide"/*.png "$zipdir/"
cp "$root/LICENSE" "$zipdir/LICENSE.txt"
(cd "$zipdir" && sha256sum -- * >SHA256SUMS)
zipfile=$dist/velmora-$version-win32.zip
rm -f "$zipfile"
(cd "$zipdir" && TZ=UTC touch -d '2000-01-01 00:00' -- * && zip -q -X -D "$zipfile" -- *)

# The installer.
makensis -V2 -NOCD -DVERSION="$version" -DDLL="$dll" -DGUIDE="$guide" \
  -DLICENSE="$root/LICENSE" -DOUTFILE="$dist/velmora-$version-setup.exe" \
  "$root/packaging/velmora.nsi"

# The Debian package of velmora-replay.
rm -rf "$native/packages"
(cd "$native" && cpack -G DEB >/dev/null)
cp "$native/packages/velmora-replay_${version}_amd64.deb" "$dist/"

ls -l "$dist"
