#!/usr/bin/env bash
# The full soak of the DLL under the host's 64-bit Wine (host_soak_test at
# the size of FullSoak(), about 25 minutes on the project's 2-core machine),
# in an x86_64 build folder of its own configured with VELMORA_FULL_SOAK.
# Prints the checkpoint table (Markdown, as in docs/reliability.md) and fails when a
# figure left its margin or a result differs from the replay. The whole
# output stays in FOLDER/soak.log.
# Usage: scripts/soak.sh [build folder, default: build-soak beside the sources]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-soak}

bash "$root/scripts/install-deps.sh" build tests windows
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DVELMORA_FULL_SOAK=ON >/dev/null
cmake --build "$build" -j2 --target velmora host_soak_test

status=0
xvfb-run -a ctest --test-dir "$build" -R '^host_soak_full$' -V >"$build/soak.log" 2>&1 || status=$?
# The test's own lines, without CTest's prefix of the test number.
sed -nE 's/^[0-9]+: //p' "$build/soak.log" |
  grep -E '^(soak |GDI: |\| |\|-|[0-9]+ call checks|.*Failure|checkpoint [0-9])' || true
grep -E '(Passed|Failed|\*\*\*)' "$build/soak.log" | grep host_soak_full || true
exit "$status"
