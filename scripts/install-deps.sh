#!/usr/bin/env bash
# Installs, as root on Debian 12, the packages of the groups given (none: all
# of them), each group what one kind of work needs; the commands install
# those they use. Does nothing when all of them are already there.
# Usage: scripts/install-deps.sh [GROUP...]   --help lists the groups.
set -euo pipefail

names=(build tests robot browser fuzz windows release)
declare -A purpose packages
purpose[build]="the native build: velmora-replay, velmora-check, libvelmora.so"
packages[build]="cmake ninja-build g++ hamradio-files"
purpose[tests]="the native suite (GoogleTest), the benchmarks, the whole-program runs"
packages[tests]="googletest libgtest-dev libgmock-dev libbenchmark-dev python3"
purpose[robot]="velmora-robot, the HTTP server (part of the native build with the tests)"
packages[robot]="pkgconf libcpp-httplib-dev nlohmann-json3-dev libsodium-dev libsqlite3-dev
  libcurl4-openssl-dev libzip-dev"
purpose[browser]="the contest report's screenshot test, the pages in a headless browser"
packages[browser]="chromium chromium-driver fonts-liberation imagemagick"
purpose[fuzz]="the libFuzzer targets (scripts/fuzz.sh)"
packages[fuzz]="clang libclang-rt-14-dev"
# MinGW-w64; clang, lld and llvm for the test host built for the MSVC ABI;
# Wine and a virtual display; xwd and ImageMagick for the windows' pictures;
# wine64-preloader reserves the addresses Wine needs before anything else is
# mapped (without it a program now and then fails to start: "failed to map
# the shared user data"); Liberation has Arial's metrics (the prefixes map
# Arial to it).
purpose[windows]="the Windows builds and their suites under Wine (scripts/windows-tests.sh)"
packages[windows]="g++-mingw-w64-i686 g++-mingw-w64-x86-64 clang llvm lld binutils
  wine wine64 wine64-preloader xvfb xauth x11-apps imagemagick fonts-liberation"
purpose[release]="the release files and their checks (scripts/package.sh, package-tests.sh)"
packages[release]="nsis zip unzip dpkg-dev python3-markdown"

usage() {
  echo "Usage: scripts/install-deps.sh [GROUP...]   (no group: all of them)"
  echo "Groups:"
  local g
  for g in "${names[@]}"; do
    printf '  %-8s %s\n' "$g" "${purpose[$g]}"
    printf '  %-8s %s\n' "" "$(xargs <<<"${packages[$g]}")"
  done
}

[[ ${1:-} == --help || ${1:-} == -h ]] && { usage; exit 0; }
(($#)) || set -- "${names[@]}"
wanted=()
for g; do
  if [[ ! -v "packages[$g]" ]]; then
    echo "install-deps: unknown group: $g (the groups: ${names[*]})" >&2
    exit 2
  fi
  # shellcheck disable=SC2206 # one package a word
  wanted+=(${packages[$g]})
done

source "$(dirname "$0")/missing-packages.sh"
# Each package once, in the order given.
mapfile -t wanted < <(printf '%s\n' "${wanted[@]}" | awk '!seen[$0]++')
install_missing_packages "${wanted[@]}"
