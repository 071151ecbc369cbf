#!/usr/bin/env bash
# The robot's load run over loopback: builds velmora-robot and the load
# program in a Release build folder, then sends the sample log from CLIENTS
# clients at RATE uploads a second for SECONDS (each upload a call of its
# own), looks every receipt up again and prints the figures: uploads a second
# achieved, latency, failures, lost uploads (must be 0) and the database's
# size per log. Fails when an upload failed or was lost.
# Usage: scripts/robot-load.sh [SECONDS [RATE [CLIENTS [build folder]]]]
#   defaults: 60 s, 50 uploads/s, 16 clients, build beside the sources;
#   RATE 0: as fast as the robot answers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
rate=${2:-50}
clients=${3:-16}
build=${4:-$root/build}

bash "$root/scripts/install-deps.sh" build tests robot
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
if ! log=$(cmake --build "$build" -j2 --target velmora-robot velmora_robot_load 2>&1); then
  echo "$log" >&2
  exit 1
fi
exec "$build/robot/e2e/velmora_robot_load" --robot "$build/robot/velmora-robot" \
  --log "$root/examples/sample.cbr" --seconds "$seconds" --rate "$rate" --clients "$clients"
