#!/usr/bin/env bash
# Builds the Windows DLL with MinGW-w64 and runs the Windows checks and tests.
#   build-win32/  i686, Release: velmora.dll, the deliverable; checks its export
#                 table and imports, and runs every test under 32-bit Wine in
#                 the i386 user-mode emulator (scripts/wine32-env.sh)
#   build-win64/  x86_64: the same sources; runs every test under the host's
#                 64-bit Wine
# Each suite runs on a virtual X display of its own. The i686 suite's summary
# comes last.
# Usage: scripts/windows-tests.sh [folder for the two builds, default: the repo]
# A missing tool is a failure, not a skip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root}

bash "$root/scripts/install-deps.sh" build tests windows
bash "$root/scripts/wine32-env.sh" >/dev/null
for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix clang++ llvm-undname \
            i686-w64-mingw32-objdump /usr/lib/wine/wine64 wineserver xvfb-run; do
  command -v "$tool" >/dev/null || { echo "windows-tests: $tool is missing" >&2; exit 1; }
done

# suite BUILD-FOLDER: one program at a time (Wine programs that start their
# windows at once on a fresh server have timed out now and then).
suite() {
  xvfb-run -a ctest --test-dir "$@" --output-on-failure --no-tests=error
}

win64=$out/build-win64
cmake -S "$root" -B "$win64" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake"
cmake --build "$win64" -j2
suite "$win64"

win32=$out/build-win32
cmake -S "$root" -B "$win32" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake"
cmake --build "$win32" -j2
suite "$win32"
