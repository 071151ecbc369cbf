#!/usr/bin/env bash
# Checks that every folder includes only the layers below it and the install
# scripts against stand-ins of apt (scripts/install-test.sh), then builds
# everything and runs every test: the native suite (and each native test
# program once whole, shuffled), then the Windows builds
# and their tests under Wine (i686 under 32-bit Wine in the i386 emulator,
# x86_64 under the host's Wine), the sanitizer builds and a short run of every
# fuzz target (all build folders beside the native one), and last makes the
# release files in dist/ from the Release builds and checks them (the
# installer under Wine). The native and the
# i686 builds are the Release configuration a packager builds, so a warning
# there (an error with -Werror) fails the run.
# Usage: scripts/test.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

bash "$root/scripts/check-layers.sh" "$root"
bash "$root/scripts/install-test.sh"
bash "$root/scripts/install-deps.sh"
# The tests on, also in a build folder scripts/run-sample.sh made without them.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=ON
cmake --build "$build" -j2
ctest --test-dir "$build" -j2 --output-on-failure
bash "$root/scripts/run-tests-whole.sh" "$build"
bash "$root/scripts/windows-tests.sh" "$(dirname "$build")"
bash "$root/scripts/sanitizers.sh" "$(dirname "$build")/build-asan" "$(dirname "$build")/build-tsan"
VELMORA_FUZZ_SEED=1 bash "$root/scripts/fuzz.sh" 30 "$(dirname "$build")/build-fuzz"
bash "$root/scripts/package.sh" "$build" "$(dirname "$build")/build-win32"
bash "$root/scripts/package-tests.sh" "$root/dist" "$build"
