#!/usr/bin/env bash
# Runs the i686 DLL's own tests (the host simulator and the setup window, CTest
# label "dll") under 32-bit Wine in the i386 emulator, RUNS times in a row, and
# prints how many runs passed. These programs hang or crash now and then inside
# the emulator, so they are not part of scripts/windows-tests.sh yet.
# Usage: scripts/wine32-dll-tests.sh [build-win32 folder] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win32}
runs=${2:-1}
bash "$root/scripts/wine32-env.sh" >/dev/null
[[ -f $build/CMakeCache.txt ]] || { echo "no i686 build at $build: run scripts/windows-tests.sh" >&2; exit 2; }
cmake --build "$build" -j2
passed=0
for ((i = 1; i <= runs; i++)); do
  if xvfb-run -a ctest --test-dir "$build" -L dll --output-on-failure --no-tests=error; then
    passed=$((passed + 1))
  fi
done
echo "wine32-dll-tests: $passed of $runs runs passed"
((passed == runs))
