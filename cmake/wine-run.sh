#!/usr/bin/env bash
# Runs a Windows test program under Wine: wine-run.sh PROGRAM [ARGS...]
# The prefix lives in the build folder (the nearest folder upwards from here
# or from the program that holds CMakeCache.txt, or $VELMORA_WINEPREFIX). The
# prefix is created and a wineserver started when missing (see wine-prefix.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${VELMORA_WINEPREFIX:-$("$here/wine-prefix.sh" path "$1")}
export WINEDEBUG=${VELMORA_WINEDEBUG:--all}
# No Mono/Gecko install dialogs; no debugger, so a crash is a failure.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
"$here/wine-prefix.sh" ensure
exec /usr/lib/wine/wine64 "$@"
