#!/usr/bin/env bash
# The Wine prefix of a Windows build folder and its wineserver.
#   wine-prefix.sh path PROGRAM             prints the prefix for a built program
#   wine-prefix.sh ensure                   (WINEPREFIX set) creates the prefix
#                                           if missing, starts a server if none
#   wine-prefix.sh start PREFIX [PROGID CLSID]  creates the prefix, starts a
#                                           server that stays until "stop",
#                                           registers PROGID
#   wine-prefix.sh stop PREFIX              ends the server and its programs
# Every wineserver, and every program that starts Wine's own background
# programs (services, device manager, desktop), runs with stdin, stdout and
# stderr on /dev/null: one that inherited CTest's pipe would make CTest wait
# until it ends. The CTest fixture keeps one server up for the whole run, so
# no test program ever starts beside a server that is shutting down; a test
# program run by hand gets a server that ends a few seconds after it.
# VELMORA_WINE_ARCH picks the Wine (wine-env.sh).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
linger=10  # seconds a server started by "ensure" outlives its last program

build_folder_of() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do dir=$(dirname "$dir"); done
  [[ -f $dir/CMakeCache.txt ]] || { echo "no build folder above $1" >&2; exit 2; }
  echo "$dir"
}

use_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all
}

# The windows' font as on Windows: Liberation Sans has the metrics of Arial,
# which the dialogs name and Wine does not have. Once, when the prefix is made.
substitute_fonts() {
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v Arial /d 'Liberation Sans' /f </dev/null >/dev/null 2>&1
}

# ensure [SERVER-OPTION]: under the prefix's lock, creates the prefix when
# missing and starts a server when none runs. The server must not inherit the
# lock; starting one fails at once when a server of the prefix is running.
ensure() {
  local persist=${1:--p$linger}
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
      substitute_fonts 9>&-
      "$wineserver" -w </dev/null >/dev/null 2>&1 9>&-
    fi
    "$wineserver" "$persist" </dev/null >/dev/null 2>&1 9>&- || true
  ) 9>"$WINEPREFIX.lock"
}

case ${1:-} in
  path) echo "$(build_folder_of "$2")/wine-prefix" ;;
  ensure) ensure ;;
  start)
    use_prefix "$2"
    # A server of an earlier run may linger, or be bound to another display.
    "$wineserver" -k </dev/null >/dev/null 2>&1 || true
    "$wineserver" -w </dev/null >/dev/null 2>&1 || true
    ensure -p
    if [[ $# -ge 4 ]]; then
      "$wine" reg add "HKCR\\$3\\CLSID" /ve /d "$4" /f </dev/null >/dev/null 2>&1
    else
      "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    fi
    ;;
  stop)
    use_prefix "$2"
    "$wineserver" -k </dev/null >/dev/null 2>&1 || true
    timeout 60 "$wineserver" -w </dev/null >/dev/null 2>&1 || true
    ;;
  *) echo "usage: $0 path PROGRAM | ensure | start PREFIX [PROGID CLSID] | stop PREFIX" >&2
     exit 2 ;;
esac
