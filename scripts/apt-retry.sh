# Sourced by the setup scripts: apt-get with a few tries. The package
# registry now and then fails for a while ("File has unexpected size ...
# Mirror sync in progress?"); a pause and another try usually ride it out.
# NUMERABO_APT_TRIES and NUMERABO_APT_PAUSE (seconds) set how patient it is.
APT_TRIES=${NUMERABO_APT_TRIES:-4}
APT_PAUSE=${NUMERABO_APT_PAUSE:-30}
# Answers that no pause changes: a package the indexes do not have, a
# conflict, no rights.
APT_FINAL='Unable to locate package|has no installation candidate|held broken packages|are you root'

# apt_forget_release <apt output>: where an index did not match its suite's
# Release file, forgets that cached Release file. A mirror may serve an older
# Release than the one apt keeps from an earlier update; apt then asks "newer
# than mine?", keeps its own, and no pause ever makes the index match it.
apt_forget_release() {
  local url lists prefix
  url=$(grep -m1 -oE 'Failed to fetch [^ ]+/dists/[^ ]+ +(File has unexpected size|Hash Sum mismatch)' "$1" |
        sed -E 's/^Failed to fetch ([^ ]+\/dists\/[^/]+\/).*/\1/') || return 0
  lists=${NUMERABO_APT_LISTS:-$(apt-config shell L Dir::State::Lists/d | sed -E "s/^L='(.*)'$/\1/")}
  # apt's name for a cached file: the address without its scheme, / as _.
  prefix=$(printf '%s' "${url#*://}" | tr / _)
  [ -n "$lists" ] && [ -n "$prefix" ] || return 0
  local file
  for file in "$lists/${prefix}InRelease" "$lists/${prefix}Release" "$lists/${prefix}Release.gpg"; do
    if [ -e "$file" ]; then
      echo "apt: forgetting $file: the mirror's index does not match it" >&2
      $APT_SUDO rm -f "$file"
    fi
  done
}

# apt_retry <who> <apt-get arguments...>: runs apt-get (with sudo when not
# root) until it succeeds, the tries are spent or apt gives an answer that
# cannot change; then says in one line what failed, with apt's first error,
# and fails. apt speaks English here, so that its answers can be read.
apt_retry() {
  local who=$1 try out verb=apt-get arg error
  shift
  for arg in "$@"; do
    case $arg in update | install | download) verb="apt-get $arg"; break ;; esac
  done
  # sudo clears the environment: env sets it again on the far side.
  local run=(env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 LANGUAGE= apt-get -o DPkg::Lock::Timeout=600)
  APT_SUDO=""
  if [ "$(id -u)" != 0 ]; then APT_SUDO=sudo; run=(sudo "${run[@]}"); fi
  out=$(mktemp)
  for try in $(seq "$APT_TRIES"); do
    if "${run[@]}" "$@" >"$out" 2>&1; then
      rm -f "$out"
      return 0
    fi
    if grep -qE "^E: .*($APT_FINAL)" "$out"; then break; fi
    if [ "$try" -lt "$APT_TRIES" ]; then
      apt_forget_release "$out"
      echo "$who: $verb failed (try $try of $APT_TRIES), trying again in ${APT_PAUSE}s" >&2
      sleep "$APT_PAUSE"
    fi
  done
  error=$(grep -m1 '^E:' "$out" || grep -m1 '^W:' "$out" || tail -1 "$out")
  echo "$who: $verb failed after $try of $APT_TRIES tries: $error" >&2
  rm -f "$out"
  return 1
}
