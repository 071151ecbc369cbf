# Sourced by install-deps.sh and wine32-env.sh: apt as these scripts use it,
# as root on Debian 12. Messages start with the name of the script that runs.
#   apt_update: fetches the package indexes. One index that fails (a mirror in
#     the middle of its sync serves it with the wrong size for an hour) is a
#     warning with apt's own last lines, not the end: apt keeps the indexes it
#     has, and the install or download that follows decides.
#   apt_run WHAT COMMAND...: runs an apt command; one that fails for a moment
#     (connection reset, a server error, a file of the wrong size) is run again
#     after a pause, up to VELMORA_APT_ATTEMPTS times (3) VELMORA_APT_PAUSE
#     seconds apart (5). When it still fails: "could not WHAT" and apt's errors.
#   install_missing_packages PACKAGE...: installs those of the packages given
#     that are not installed yet; returns at once when all of them are there.
apt_who=$(basename "$0" .sh)
apt_attempts=${VELMORA_APT_ATTEMPTS:-3}
apt_pause=${VELMORA_APT_PAUSE:-5}
apt_lock=(-o DPkg::Lock::Timeout=600)
# What apt says of a fetch that may well work a little later.
apt_transient='Failed to fetch|Connection (reset|refused|timed out|failed)|Temporary failure|Could not (connect|resolve)|unexpected size|Hash Sum mismatch|Mirror sync|[^0-9]5[0-9][0-9] +[A-Z]|Undetermined Error'

# apt's reasons in OUTPUT, indented: its error and warning lines (a failed
# index is a warning), else its last lines.
apt_errors() {
  local lines
  lines=$(grep -E '^(E|W|Err):' <<<"$1" || tail -n 3 <<<"$1")
  sed 's/^/  /' <<<"$lines" | tail -n 6
}

apt_run() {
  local what=$1 out status attempt=1
  shift
  while :; do
    status=0
    out=$("$@" 2>&1) || status=$?
    ((status)) || return 0
    if ((attempt >= apt_attempts)) || ! grep -qE "$apt_transient" <<<"$out"; then break; fi
    echo "$apt_who: could not $what (attempt $attempt of $apt_attempts), again in ${apt_pause} s" >&2
    sleep "$apt_pause"
    attempt=$((attempt + 1))
  done
  { echo "$apt_who: could not $what:"; apt_errors "$out"; } >&2
  return "$status"
}

apt_update() {
  apt_run "update the package indexes" apt-get update -qq "${apt_lock[@]}" ||
    echo "$apt_who: warning: going on with the package indexes there are" >&2
}

install_missing_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "$apt_who: installing ${missing[*]}" >&2
  apt_update
  apt_run "install ${missing[*]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${apt_lock[@]}" "${missing[@]}"
}
