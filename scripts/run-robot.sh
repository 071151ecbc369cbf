#!/usr/bin/env bash
# Builds velmora-robot and starts it on its defaults: 127.0.0.1:8080, the
# database in build/robot-data/ (kept between runs), submissions open. The
# first start prints the organisers' password once. Stops on Ctrl-C.
# Usage: scripts/run-robot.sh [velmora-robot options, e.g. --config FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build

bash "$root/scripts/install-deps.sh" build robot
# A new build folder without the tests, which need more than the robot does;
# a folder made before keeps its setting.
options=()
[[ -f $build/CMakeCache.txt ]] || options=(-DVELMORA_TESTS=OFF)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${options[@]}" >/dev/null
cmake --build "$build" -j2 --target velmora-robot
exec "$build/robot/velmora-robot" --data "$build/robot-data" "$@"
