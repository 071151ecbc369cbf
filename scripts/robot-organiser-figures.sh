#!/usr/bin/env bash
# The organisers' side of the robot at the size of the largest contests:
# builds velmora-robot and simulate-contest, simulates a contest of STATIONS
# stations (10 640 by default: 6 % of them send no log, so about 10 000 logs
# come in), starts the robot on a fresh data folder on a free port, uploads
# every log through /api/submit from THREADS threads, then times "close and
# check", each console page (median and max of 5 fetches, to the last byte),
# publishing and the public results, and prints the table with the database's
# size and the robot's peak RSS. Exits 1 when close and check took over 60 s
# or a console page over 200 ms.
# Usage: scripts/robot-organiser-figures.sh [STATIONS [QSOS_PER_STATION [THREADS [build folder]]]]
#   defaults: 10640 stations, 60 QSOs a station (the simulator's default),
#   4 upload threads, build beside the sources.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stations=${1:-10640}
qsos=${2:-60}
threads=${3:-4}
build=${4:-$root/build}

bash "$root/scripts/install-deps.sh" build tests robot
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target velmora-robot simulate-contest >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/velmora-organiser-figures.XXXXXX")
robot_pid=
cleanup() {
  if [ -n "$robot_pid" ] && kill -0 "$robot_pid" 2>/dev/null; then
    kill "$robot_pid" 2>/dev/null || true
    wait "$robot_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "simulating $stations stations, about $qsos QSOs each"
"$build/testing/simulate-contest" "$work/contest" "$stations" "$qsos" 1
rm -f "$work/contest/truth.csv"

cat >"$work/robot.conf" <<'EOF'
# a load run: every upload comes from the one loopback address (the most
# the robot takes)
uploads-per-minute = 100000
EOF
"$build/robot/velmora-robot" --data "$work/data" --listen 127.0.0.1:0 --config "$work/robot.conf" \
  >"$work/robot.out" 2>"$work/robot.err" &
robot_pid=$!
url=
for _ in $(seq 1 100); do
  url=$(sed -n 's|^velmora-robot: listening on \(http://[^/]*\)/$|\1|p' "$work/robot.out")
  [ -n "$url" ] && break
  kill -0 "$robot_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$url" ]; then
  echo "robot-organiser-figures: the robot did not start:" >&2
  cat "$work/robot.err" >&2
  exit 2
fi
password=$(sed -n "s|^velmora-robot: organisers' password (shown only now): ||p" "$work/robot.out")
echo "robot $robot_pid at $url"

status=0
python3 "$root/scripts/robot_organiser_figures.py" --url "$url" --password "$password" \
  --logs "$work/contest" --data "$work/data" --pid "$robot_pid" --threads "$threads" || status=$?
if [ -s "$work/robot.err" ]; then
  echo "the robot's standard error:"
  tail -n 20 "$work/robot.err"
fi
exit "$status"
