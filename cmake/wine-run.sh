#!/usr/bin/env bash
# Runs a Windows test program under Wine: wine-run.sh PROGRAM [ARGS...]
# The prefix lives in the build folder (the nearest folder upwards from here
# or from the program that holds CMakeCache.txt, or $VELMORA_WINEPREFIX). The
# prefix is created and a wineserver started when missing (see wine-prefix.sh).
# VELMORA_WINE_ARCH picks the Wine (wine-env.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
export WINEPREFIX=${VELMORA_WINEPREFIX:-$("$here/wine-prefix.sh" path "$1")}
export WINEDEBUG=${VELMORA_WINEDEBUG:--all}
"$here/wine-prefix.sh" ensure
exec "$wine" "$@"
