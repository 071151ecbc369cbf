#!/usr/bin/env bash
# Builds everything in the Release configuration, natively and for i686, the
# way a packager builds the shipped DLL: warnings there are errors too.
# Usage: scripts/release-builds.sh [folder for the two builds, default: the repo]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root}

cmake -S "$root" -B "$out/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$out/build-release" -j2
cmake -S "$root" -B "$out/build-win32-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
cmake --build "$out/build-win32-release" -j2
