#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a
# while from its seed corpus in fuzz/corpus/<target>. New inputs go to a
# working corpus in the build folder, never into the repository; a finding
# is written there as crash-*/leak-*/timeout-* and fails the run.
# Usage: scripts/fuzz.sh [seconds-per-target [build-dir]]
# VELMORA_FUZZ_SEED fixes libFuzzer's random seed, so that a run retraces the
# same inputs (CI uses it; by hand, leave it unset to explore afresh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-45}
build=${2:-$root/build-fuzz}
targets=(entry_points_fuzzer settings_fuzzer adif_fuzzer cabrillo_fuzzer country_file_fuzzer
  check_fuzzer)

bash "$root/scripts/install-deps.sh" build fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
printf '%-22s %8s %10s %12s %6s\n' target seconds runs corpus seeds
for target in "${targets[@]}"; do
  work=$build/corpus/$target
  mkdir -p "$work" "$build/findings"
  log=$build/$target.log
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
      ${VELMORA_FUZZ_SEED:+-seed="$VELMORA_FUZZ_SEED"} \
      "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "$target: finding, see $log and $build/findings/"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  corpus=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-22s %8s %10s %12s %6s\n' "$target" "$seconds" "${runs:-?}" "${corpus:-?}" \
    "$(ls "$root/fuzz/corpus/$target" | wc -l)"
done
exit $status
