#!/usr/bin/env bash
# Builds everything and runs every test: the native suite, then the Windows
# builds and their tests under Wine, the Release builds (native and i686,
# built only), the sanitizer builds and a short run of every fuzz target (all
# build folders beside the native one).
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure
bash "$root/scripts/windows-tests.sh" "$(dirname "$build")"
bash "$root/scripts/release-builds.sh" "$(dirname "$build")"
bash "$root/scripts/sanitizers.sh" "$(dirname "$build")/build-asan" "$(dirname "$build")/build-tsan"
VELMORA_FUZZ_SEED=1 bash "$root/scripts/fuzz.sh" 30 "$(dirname "$build")/build-fuzz"
