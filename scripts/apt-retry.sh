# Sourced by the setup scripts: apt-get with a few tries. The package
# registry now and then fails for a while ("File has unexpected size ...
# Mirror sync in progress?"); a pause and another try usually ride it out.
# NUMERABO_APT_TRIES and NUMERABO_APT_PAUSE (seconds) set how patient it is.
APT_TRIES=${NUMERABO_APT_TRIES:-4}
APT_PAUSE=${NUMERABO_APT_PAUSE:-30}

# apt_retry <who> <apt-get arguments...>: runs apt-get (with sudo when not
# root) until it succeeds or the tries are spent; then says in one line what
# failed, with apt's last error, and fails.
apt_retry() {
  local who=$1 try out verb=apt-get arg
  shift
  for arg in "$@"; do
    case $arg in update | install | download) verb="apt-get $arg"; break ;; esac
  done
  local sudo=""
  if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
  out=$(mktemp)
  for try in $(seq "$APT_TRIES"); do
    if DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 "$@" >"$out" 2>&1; then
      rm -f "$out"
      return 0
    fi
    if [ "$try" -lt "$APT_TRIES" ]; then
      echo "$who: $verb failed (try $try of $APT_TRIES), trying again in ${APT_PAUSE}s" >&2
      sleep "$APT_PAUSE"
    fi
  done
  echo "$who: $verb failed $APT_TRIES times: $(grep -E '^(E|W):' "$out" | head -1)" >&2
  rm -f "$out"
  return 1
}
