#!/usr/bin/env bash
# Installs, as root on Debian 12, every package the build and the tests need.
# Does nothing when all of them are already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
  hamradio-files
  # libFuzzer for clang (scripts/fuzz.sh)
  libclang-rt-14-dev
  # Windows builds (MinGW-w64), their checks and the tests under Wine
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 clang llvm
  # the test host built as the host logger is (clang for the MSVC ABI, lld-link)
  lld binutils
  wine wine64 xvfb xauth x11-apps imagemagick
  # reserves the addresses Wine needs before anything else is mapped: without it a
  # program now and then fails to start ("failed to map the shared user data")
  wine64-preloader
  # Arial's metrics for the windows under Wine (the prefixes map Arial to it)
  fonts-liberation
  # the release files (scripts/package.sh): installer, zip, Debian package, the guide
  nsis zip dpkg-dev python3-markdown
  # the contest report's screenshot test (headless browser)
  chromium
)

source "$(dirname "$0")/missing-packages.sh"
install_missing_packages "${packages[@]}"
