#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, then the Windows
# builds and their tests under Wine (build-win32/ and build-win64/ beside the
# native build folder). Usage: scripts/test.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure
bash "$root/scripts/windows-tests.sh" "$(dirname "$build")"
