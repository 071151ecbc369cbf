#!/usr/bin/env bash
# Checks the release files that scripts/package.sh made:
#   the zip holds exactly its files, their checksums hold, and its DLL is the
#   i686 build with the host's 22 exports;
#   the installer is a 32-bit (i386) program and, run silently under 32-bit
#   Wine (the i686 suite's, in the i386 emulator), installs into a host
#   folder, and its uninstaller takes away what it installed and nothing else
#   (the operator's settings and output files stay);
#   the Debian package installs into a scratch root and its velmora-replay
#   runs there, and its man page renders.
# Every Wine step has a time limit; a limit reached is a failure.
# Usage: scripts/package-tests.sh [dist [native-build]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:-$root/dist}
native=${2:-$root/build}
version=$(sed -n 's/^project(velmora VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

guide_files="cabrillo_dialog.png
guide.html
info_window.png
multiplier_window.png
setup_window.png"

check_zip() {
  local zip=$dist/velmora-$version-win32.zip out=$work/zip
  [[ -f $zip ]] || { fail "no $zip"; return; }
  mkdir -p "$out" && (cd "$out" && unzip -q "$zip")
  local expected
  expected=$(printf '%s\n' LICENSE.txt SHA256SUMS "$guide_files" velmora.dll | sort)
  if [[ $(cd "$out" && find . -mindepth 1 -printf '%P\n' | sort) == "$expected" ]]; then
    pass "zip holds exactly its files"
  else
    fail "zip holds: $(cd "$out" && find . -mindepth 1 -printf '%P ')"
  fi
  if (cd "$out" && sha256sum --quiet -c SHA256SUMS) &&
     [[ $(cut -d' ' -f3 "$out/SHA256SUMS" | sort) == "$(grep -vx SHA256SUMS <<<"$expected")" ]]; then
    pass "SHA256SUMS covers every other file and holds"
  else
    fail "SHA256SUMS does not match the zip"
  fi
  if i686-w64-mingw32-objdump -f "$out/velmora.dll" | grep -q 'file format pei-i386' &&
     bash "$root/plugin/win32/check_exports.sh" names "$out/velmora.dll" \
       "$root/plugin/win32/velmora.def" "$root/plugin/win32/decorated_prototypes.cpp" >/dev/null; then
    pass "zip's velmora.dll is PE32 i686 with the 22 exports"
  else
    fail "zip's velmora.dll is not the i686 DLL with the 22 exports"
  fi
  local picture
  for picture in setup_window info_window multiplier_window cabrillo_dialog; do
    grep -q "src=\"$picture.png\"" "$out/guide.html" || fail "guide.html does not show $picture.png"
  done
}

# Wine: 32-bit Wine in the i386 emulator, as on a 32-bit Windows; one prefix
# kept beside the native build.
bash "$root/scripts/install-deps.sh" windows release
bash "$root/scripts/wine32-env.sh" >/dev/null
export VELMORA_WINE_ARCH=32
export VELMORA_WINEPREFIX=$native/package-wine32-prefix
wine_run() { timeout 300 bash "$root/cmake/wine-run.sh" "$@" </dev/null; }
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
registered() {
  wine_run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\velmora' \
    >/dev/null 2>&1
}
listing() { (cd "$1" && find . -mindepth 1 -printf '%P\n' | sort); }
# The uninstaller hands over to a copy of itself and returns at once: wait
# until it has taken its own file away.
wait_gone() {
  local i
  for ((i = 0; i < 600; i++)); do [[ -e $1 ]] || return 0; sleep 0.1; done
  return 1
}

installed_files="Plugins
Plugins/velmora-guide
Plugins/velmora-guide/LICENSE.txt
$(sed 's|^|Plugins/velmora-guide/|' <<<"$guide_files")
Plugins/velmora-uninstall.exe
Plugins/velmora.dll"

# install_case NAME SETUP-HOOK DATA-HOOK EXPECTED-AFTER-UNINSTALL
install_case() {
  local name=$1 before=$2 between=$3 expected_after=$4
  # No blanks: Wine would quote the /D= argument, and NSIS then misses it.
  local host=$work/host-${name//[^a-z]/_}
  mkdir -p "$host"
  $before "$host"
  local start
  start=$(listing "$host")
  if ! wine_run "$dist/velmora-$version-setup.exe" /S "/D=$(windows_path "$host")" >/dev/null 2>&1; then
    fail "$name: the installer did not finish within 300 s"; return
  fi
  [[ $(listing "$host") == "$(sort <<<"$installed_files$([[ -n $start ]] && printf '\n%s' "$start")" | uniq)" ]] ||
    { fail "$name: installed files: $(listing "$host" | tr '\n' ' ')"; return; }
  cmp -s "$host/Plugins/velmora.dll" "$work/zip/velmora.dll" ||
    fail "$name: the installed DLL is not the zip's"
  registered || fail "$name: no uninstall entry after installing"
  $between "$host"
  local data
  data=$(cd "$host" && find . -type f ! -path './Plugins/velmora*' -exec sha256sum {} + | sort)
  if ! wine_run "$host/Plugins/velmora-uninstall.exe" /S >/dev/null 2>&1 ||
     ! wait_gone "$host/Plugins/velmora-uninstall.exe"; then
    fail "$name: the uninstaller did not finish within its time"; return
  fi
  sleep 1
  if registered; then fail "$name: the uninstall entry stays"; fi
  [[ $(listing "$host") == "$expected_after" ]] ||
    { fail "$name: after uninstalling: $(listing "$host" | tr '\n' ' ')"; return; }
  [[ $(cd "$host" && find . -type f -exec sha256sum {} + | sort) == "$data" ]] ||
    { fail "$name: the operator's files changed"; return; }
  pass "installer: $name"
}

nothing() { :; }
make_plugins() { mkdir -p "$1/Plugins"; }
operator_data() {
  printf '[Settings]\r\nSetup_x=120\r\nName=Ann\r\n' >"$1/Plugins/Velmora.ini"
  printf 'Velmora Memorial Contest HF UBN file \r\n' >"$1/err.txt"
  cp "$1/err.txt" "$1/BadQSO_StatsZEB_04_06_2017.txt"
  printf 'START-OF-LOG: 3.0\r\nEND-OF-LOG:\r\n' >"$1/DL1ABC.cbr"
}

check_installer() {
  [[ -f $dist/velmora-$version-setup.exe ]] || { fail "no installer"; return; }
  if i686-w64-mingw32-objdump -f "$dist/velmora-$version-setup.exe" | grep -q 'file format pei-i386'; then
    pass "the installer is a PE32 (i386) program"
  else
    fail "the installer is not a 32-bit program"
  fi
  install_case "settings and output files stay" nothing operator_data "BadQSO_StatsZEB_04_06_2017.txt
DL1ABC.cbr
Plugins
Plugins/Velmora.ini
err.txt"
  install_case "a Plugins folder it made goes" nothing nothing ""
  install_case "a Plugins folder it found stays" make_plugins nothing "Plugins"
}

check_deb() {
  local deb=$dist/velmora-replay_${version}_amd64.deb scratch=$work/root
  [[ -f $deb ]] || { fail "no $deb"; return; }
  [[ $(dpkg-deb -f "$deb" Depends) == *hamradio-files* ]] || fail "the package does not depend on hamradio-files"
  dpkg-deb -c "$deb" | grep -q ' ./usr/share/man/man1/velmora-replay.1.gz$' || fail "no man page in the package"
  mkdir -p "$scratch/var/lib/dpkg/info" "$scratch/var/lib/dpkg/updates"
  touch "$scratch/var/lib/dpkg/status"
  # The scratch root has no other packages, so the dependencies cannot hold there.
  if ! dpkg --root="$scratch" --log=/dev/null --force-depends --force-not-root -i "$deb" >/dev/null 2>&1; then
    fail "dpkg -i into a scratch root failed"; return
  fi
  if [[ $("$scratch/usr/bin/velmora-replay" --version) == "velmora-replay $version" ]]; then
    pass "the .deb installs and its velmora-replay --version runs"
  else
    fail "velmora-replay --version of the package: $("$scratch/usr/bin/velmora-replay" --version 2>&1)"
  fi
  if [[ $("$scratch/usr/bin/velmora-check" --version) == "velmora-check $version" ]]; then
    pass "the .deb's velmora-check --version runs"
  else
    fail "velmora-check --version of the package: $("$scratch/usr/bin/velmora-check" --version 2>&1)"
  fi
  local warnings page
  for page in velmora-replay velmora-check; do
    warnings=$(MANWIDTH=80 man --warnings -l "$scratch/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [[ -z $warnings ]] && pass "$page(1) renders without warnings" || fail "man page $page: $warnings"
  done
  dpkg --root="$scratch" --log=/dev/null --force-not-root -r velmora-replay >/dev/null 2>&1 &&
    [[ ! -e $scratch/usr/bin/velmora-replay ]] || fail "dpkg -r did not remove velmora-replay"
}

check_zip
check_installer
check_deb
if ((failures)); then echo "package tests: $failures failures" >&2; exit 1; fi
echo "package tests: all passed"
