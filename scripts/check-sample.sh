#!/usr/bin/env bash
# Builds velmora-check and the contest simulator, simulates a contest of 300
# stations (errors injected, their truth kept in truth.csv), checks it, and
# prints the top of the results and how the verdicts compare with the truth.
# Everything lands in build/check-sample/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/install-deps.sh" build
# A new build folder leaves the tests out; one that scripts/test.sh made
# keeps them.
options=()
[[ -f $build/CMakeCache.txt ]] || options=(-DVELMORA_TESTS=OFF)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j2 --target velmora-check simulate-contest
out=$build/check-sample
rm -rf "$out"
mkdir -p "$out"
"$build/testing/simulate-contest" "$out/logs" 300 60 1
mv "$out/logs/truth.csv" "$out/truth.csv"
"$build/check/velmora-check" "$out/logs" --out "$out/results" -j 2 --quiet

echo
echo "top of results.csv (rank,call,category,...,checked_score,nil,busted_call,bad_exchange,unique):"
head -6 "$out/results/results.csv" | cut -d, -f1-3,7,11-15
echo
echo "verdicts against the simulator's truth:"
awk -F, '
  FNR == 1 { next }
  FILENAME ~ /truth.csv$/ { truth[$1 "," $2] = $3; next }
  { key = $1 "," $2; got[$3]++; want[truth[key]]++; if (truth[key] == $3) right[$3]++ }
  END {
    printf "%-14s %8s %8s %8s\n", "verdict", "truth", "found", "right"
    split("ok nil busted-call bad-exchange unique unverified dupe", order, " ")
    for (i = 1; i in order; i++) {
      v = order[i]
      printf "%-14s %8d %8d %8d\n", v, want[v], got[v], right[v]
    }
  }' "$out/truth.csv" "$out/results/qsos.csv"
echo
echo "files: $out/results (results.html, results.csv, qsos.csv, reports/)"
