#!/usr/bin/env bash
# The Wine prefix of a Windows build folder and its persistent wineserver.
#   wine-prefix.sh path PROGRAM             prints the prefix for a built program
#   wine-prefix.sh ensure                   (WINEPREFIX set) creates the prefix
#                                           if missing, starts the server if none
#   wine-prefix.sh start PREFIX [PROGID CLSID]  ensure, then register PROGID
#   wine-prefix.sh stop PREFIX              stops the server and its programs
# Every wineserver is started with stdin, stdout and stderr on /dev/null: one
# that inherited CTest's pipe would make CTest wait for it.
set -euo pipefail

wine=/usr/lib/wine/wine64

build_folder_of() {
  local dir
  dir=$(cd "$(dirname "$1")" && pwd)
  while [[ $dir != / && ! -f $dir/CMakeCache.txt ]]; do dir=$(dirname "$dir"); done
  [[ -f $dir/CMakeCache.txt ]] || { echo "no build folder above $1" >&2; exit 2; }
  echo "$dir"
}

use_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
}

ensure() {
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
      "$wine" wineboot --init </dev/null >/dev/null 2>&1
      wineserver -w </dev/null >/dev/null 2>&1
    fi
    # Fails at once when a server of this prefix is already running.
    wineserver -p </dev/null >/dev/null 2>&1 || true
  ) 9>"$WINEPREFIX.lock"
}

case ${1:-} in
  path) echo "$(build_folder_of "$2")/wine-prefix" ;;
  ensure) ensure ;;
  start)
    use_prefix "$2"
    ensure
    if [[ $# -ge 4 ]]; then
      "$wine" reg add "HKCR\\$3\\CLSID" /ve /d "$4" /f </dev/null >/dev/null 2>&1
    fi
    ;;
  stop)
    use_prefix "$2"
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
  *) echo "usage: $0 path PROGRAM | ensure | start PREFIX [PROGID CLSID] | stop PREFIX" >&2
     exit 2 ;;
esac
