#!/usr/bin/env bash
# Runs every GoogleTest program of a native build once whole, its tests in a
# shuffled order, as a developer runs one by hand: a program must pass so, not
# only with one test per process as CTest runs it. The programs are those
# whose tests CTest runs one by one through a filter; each runs in its tests'
# working folder. A failure names the program and the seed that repeats it.
# Usage: scripts/run-tests-whole.sh [build-dir [seed]]   (seed: a random one)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
seed=${2:-$((RANDOM % 99999 + 1))}

# One "folder<TAB>program" line per program, from CTest's own list of tests.
programs() {
  ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, sys
seen = {}
for test in json.load(sys.stdin)["tests"]:
    command = test.get("command") or []
    if not any(a.startswith("--gtest_filter=") for a in command[1:]):
        continue
    folder = next((p["value"] for p in test.get("properties", [])
                   if p["name"] == "WORKING_DIRECTORY"), ".")
    seen.setdefault(command[0], folder)
for program, folder in sorted(seen.items()):
    print(f"{folder}\t{program}")
'
}

list=$(programs)
[ -n "$list" ] || { echo "no test programs found in $build" >&2; exit 1; }
failed=()
while IFS=$'\t' read -r folder program; do
  echo "== $(basename "$program") --gtest_shuffle"
  if ! (cd "$folder" && "$program" --gtest_shuffle --gtest_random_seed="$seed" --gtest_brief=1); then
    failed+=("$(basename "$program")")
  fi
done <<< "$list"
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed when run whole (--gtest_shuffle --gtest_random_seed=$seed): ${failed[*]}" >&2
  exit 1
fi
echo "all $(wc -l <<< "$list") test programs pass when run whole (shuffle seed $seed)"
