#!/usr/bin/env bash
# The native suite under AddressSanitizer + UndefinedBehaviorSanitizer, then
# the threaded tests (the setup thread, its queue and the soak test) under
# ThreadSanitizer. Any report fails the run.
# Usage: scripts/sanitizers.sh [asan-build-dir [tsan-build-dir]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
asan=${1:-$root/build-asan}
tsan=${2:-$root/build-tsan}

bash "$root/scripts/install-deps.sh" build tests robot browser
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
ASAN_OPTIONS+=:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: $asan"
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_ASAN=ON \
  >/dev/null
cmake --build "$asan" -j2
ctest --test-dir "$asan" -j2 --output-on-failure -LE soak

echo "== ThreadSanitizer: $tsan"
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TSAN=ON \
  >/dev/null
cmake --build "$tsan" -j2 --target setup_thread_test soak_test
ctest --test-dir "$tsan" -j2 --output-on-failure \
  -R '^(SetupThreadTest|SetupQueueTest)\.|^soak_test$'
