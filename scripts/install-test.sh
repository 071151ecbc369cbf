#!/usr/bin/env bash
# Checks install-deps.sh and wine32-env.sh against stand-ins of apt-get,
# dpkg-query and dpkg first on PATH: the system's packages are never touched.
# Usage: scripts/install-test.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PATH=$work/bin:$PATH STATE=$work/state VELMORA_APT_PAUSE=0 VELMORA_WINE32_ROOT=$work/root
mkdir -p "$work/bin"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect() { [[ $2 == *"$3"* ]] || fail "$1: no \"$3\" in: $2"; }

# apt-get: answers from the files in $STATE; "flaky" holds how many fetches
# fail for a moment yet.
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "$*" >>"$STATE/calls"
flaky() {
  local n; n=$(cat "$STATE/flaky" 2>/dev/null || echo 0)
  ((n > 0)) && { echo $((n - 1)) >"$STATE/flaky"; echo "E: Failed to fetch $1  Connection reset by peer"; exit 100; }
  return 0
}
case " $* " in
*" update "*)
  [[ -f $STATE/update-fails ]] || exit 0
  echo "W: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100 ;;
*" -s "*)
  [[ " $* " == *" -o Dir::State::status=/dev/null "* ]] || { echo "E: resolved against the host's status"; exit 100; }
  cat "$STATE/resolved"
  ! grep -q '^E:' "$STATE/resolved" || exit 100 ;;
*" install "*)
  packages=()
  for p in "${@:2}"; do [[ $p == -* || $p == *::* ]] || packages+=("$p"); done
  grep -qxF -f "$STATE/unknown" < <(printf '%s\n' "${packages[@]}") 2>/dev/null &&
    { echo "E: Unable to locate package $(cat "$STATE/unknown")"; exit 100; }
  flaky http://deb.debian.org/debian/pool/main/x.deb
  printf '%s\n' "${packages[@]}" >>"$STATE/installed" ;;
*" download "*)
  flaky http://deb.debian.org/debian/pool/main/y_i386.deb
  for p in "${@:5}"; do v=${p#*=}; touch "${p%%:*}_${v//:/%3a}_i386.deb"; done ;;
esac
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
grep -qxF "${@: -1}" "$STATE/installed" 2>/dev/null && echo "install ok installed"
EOF
printf '#!/bin/sh\necho "dpkg stand-in: refused: $*" >&2; exit 1\n' >"$work/bin/dpkg"
chmod +x "$work/bin/"*

# run NAME [SETUP...] -- COMMAND...: a fresh $STATE, then COMMAND; sets $out
# (its stderr and stdout), $status and $calls (apt-get's calls).
run() {
  local name=$1; shift
  rm -rf "$STATE" && mkdir -p "$STATE" && touch "$STATE/installed"
  while [[ $1 != -- ]]; do eval "$1"; shift; done
  shift
  status=0
  out=$("$@" 2>&1) || status=$?
  calls=$(cat "$STATE/calls" 2>/dev/null || true)
  echo "== $name"
}
deps=$here/install-deps.sh

run "an index mid-sync is a warning, the install goes on" 'touch $STATE/update-fails' \
  'echo cmake >$STATE/installed' -- bash "$deps" build
((status == 0)) || fail "install-deps failed: $out"
expect "update" "$out" "Mirror sync in progress?"
expect "update" "$out" "warning: going on with the package indexes there are"
expect "install" "$calls" "install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 ninja-build g++ hamradio-files"

run "an install that fails names the package and apt's reason" 'touch $STATE/update-fails' \
  'echo hamradio-files >$STATE/unknown' -- bash "$deps" build
((status != 0)) || fail "install-deps succeeded although the install failed"
expect "message" "$out" "install-deps: could not install cmake ninja-build g++ hamradio-files:"
expect "message" "$out" "E: Unable to locate package hamradio-files"
[[ $(grep -c 'install -y' <<<"$calls") == 1 ]] || fail "a lasting failure was tried again"

run "a fetch that fails for a moment is tried again" 'echo 2 >$STATE/flaky' -- bash "$deps" fuzz
((status == 0)) || fail "the third attempt did not install: $out"
expect "retry" "$out" "could not install clang libclang-rt-14-dev (attempt 2 of 3)"

run "a fetch that keeps failing ends with apt's reason" 'echo 9 >$STATE/flaky' -- bash "$deps" fuzz
((status != 0)) || fail "install-deps succeeded although every fetch failed"
expect "reason" "$out" "Connection reset by peer"

run "groups: an unknown one is named" -- bash "$deps" build nope
((status == 2)) || fail "an unknown group did not fail"
expect "unknown" "$out" "unknown group: nope"
run "groups: apt is not asked when every package is there" \
  'printf "%s\n" cmake ninja-build g++ hamradio-files >$STATE/installed' -- bash "$deps" build
[[ -z $calls && $status == 0 ]] || fail "apt ran for packages already there: $calls"

# The i386 packages: those of i386 alone, with their versions (an epoch too),
# from an empty status; fetched again after a failure, once only.
resolved='Inst gcc-12-base:i386 (12.2.0-14 Debian:12.11/stable [i386])
Inst libz1:i386 (1:1.2.13.dfsg-1 Debian:12.11/stable [i386]) []
Inst fonts-wine (8.0~repack-4 Debian:12.11/stable [all])
Inst libc6 (2.36-9+deb12u10 Debian:12.11/stable [amd64])
Inst wine32:i386 (8.0~repack-4 Debian:12.11/stable [i386])'
wine32() { (source "$here/wine32-env.sh" && mkdir -p "$work/debs" && "$@"); }
run "wine32-env: the i386 packages" "echo '$resolved' >\$STATE/resolved" -- wine32 i386_packages
expect "list" "$out" $'gcc-12-base=12.2.0-14\nlibz1=1:1.2.13.dfsg-1\nwine32=8.0~repack-4'
[[ $(wc -l <<<"$out") == 3 ]] || fail "not 3 i386 packages: $out"
run "wine32-env: a download that fails for a moment" 'echo 1 >$STATE/flaky' -- wine32 eval \
  'apt_run "download" download_missing "$work/debs" a=1 b=1:2 && download_missing "$work/debs" a=1'
((status == 0)) || fail "the download was not tried again: $out"
[[ -f $work/debs/b_1%3a2_i386.deb && $(grep -c download <<<"$calls") == 2 ]] ||
  fail "the packages are not there once each: $(ls "$work/debs"); $calls"
run "wine32-env: a resolution that fails says why" 'echo "E: Unable to locate package wine32:i386" \
  >$STATE/resolved' -- wine32 i386_packages
expect "reason" "$out" "E: Unable to locate package wine32:i386"

((failures == 0)) || { echo "install tests: $failures failed" >&2; exit 1; }
echo "install tests: all passed"
