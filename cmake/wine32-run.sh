#!/usr/bin/env bash
# Runs a 32-bit Windows test program under 32-bit Wine in the i386 emulator:
# wine32-run.sh PROGRAM [ARGS...] (see wine-run.sh).
export VELMORA_WINE_ARCH=32
exec "$(cd "$(dirname "$0")" && pwd)/wine-run.sh" "$@"
