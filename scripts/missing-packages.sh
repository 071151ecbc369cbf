# Sourced by install-deps.sh and wine32-env.sh: installs, as root, those of
# the Debian packages given that are not installed yet; returns at once when
# all of them are there, and fails when apt does.
# Usage: install_missing_packages PACKAGE...
install_missing_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "installing: ${missing[*]}" >&2
  apt-get update -qq -o DPkg::Lock::Timeout=600 &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
}
