#!/bin/bash
# What each setup would bring to a bare Debian 12, asked of apt in
# simulation: nothing is downloaded or installed, apt reads the package
# indexes this machine already has. For the packages scripts/run.sh installs
# (the x86_64 show; with --arch i686 the 32-bit platform too) and those
# scripts/test.sh installs (everything, with the 32-bit platform): how many
# packages, their download and installed sizes, and run over test.
# "Bare" is what debootstrap's minbase variant installs (the packages of
# priority required, and apt), as in the debian:12 container image. Versions
# are those of bookworm's main suite alone: the security suite's i386 index
# now and then cannot be had, and multiarch pairs must match. The qemu-i386
# that scripts/setup-i686.sh takes from bookworm-backports is not counted.
# Needs no root; fails nothing.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)\/\?[[:space:]]*$/\1/p' \
           /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
if [ -z "$mirror" ]; then
  mirror=$(sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*\/debian\)\/\?[[:space:]]\+bookworm[[:space:]].*/\2/p' \
             /etc/apt/sources.list 2>/dev/null | head -1)
fi
if [ -z "$mirror" ]; then echo "setup sizes: no Debian mirror in the apt sources"; exit 0; fi
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm main" >"$work/sources.list"
: >"$work/status"
opts=(-q -o Debug::NoLocking=1 -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
      -o Dir::State::Status="$work/status" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
export LC_ALL=C.UTF-8 LANGUAGE=

# simulate <package>...: "name=version" of every package apt would install.
simulate() {
  apt-get "${opts[@]}" -s --no-install-recommends install "$@" >"$work/sim" 2>&1 ||
    { grep -m1 '^E:' "$work/sim" >&2; return 1; }
  sed -n 's/^Inst \([^ ]*\) (\([^ ]*\) .*/\1=\2/p' "$work/sim"
}
# records <name=version>...: their entries in the package indexes.
records() { apt-cache "${opts[@]}" show --no-all-versions "$@" 2>/dev/null; }

# The bare system, written as dpkg's status of installed packages.
required=$(apt-cache "${opts[@]}" dumpavail | awk '/^Package:/ { p = $2 } /^Priority: required/ { print p }' | sort -u)
if ! bare=$(simulate $required apt); then echo "setup sizes: apt cannot simulate a bare system here"; exit 0; fi
# shellcheck disable=SC2086
records $bare | awk '{ print } /^Package:/ { print "Status: install ok installed" }' >"$work/status.new"
mv "$work/status.new" "$work/status"

# figures <label> <package>...: one row; sets COUNT, DOWN (bytes), INST (KiB).
figures() {
  local label=$1 brought
  shift
  COUNT=0 DOWN=0 INST=0
  if ! brought=$(simulate "$@"); then
    printf '%-34s not simulated (apt above)\n' "$label"
    return
  fi
  COUNT=$(wc -w <<<"$brought")
  # shellcheck disable=SC2086
  read -r DOWN INST < <(records $brought | awk '/^Size:/ { d += $2 } /^Installed-Size:/ { i += $2 }
                                               END { printf "%d %d\n", d, i }')
  awk -v l="$label" -v c="$COUNT" -v d="$DOWN" -v i="$INST" \
    'BEGIN { printf "%-34s %9d %12.1f %13.1f\n", l, c, d / 1048576, i / 1024 }'
}

echo "To a bare Debian 12 ($(wc -w <<<"$bare") packages of priority required, and apt), in simulation:"
printf '%-34s %9s %12s %13s\n' "" packages "download MiB" "installed MiB"
figures "run (scripts/run.sh)" "${RUN_PACKAGES[@]}"
run=("$COUNT" "$DOWN" "$INST")
figures "run --arch i686" "${RUN_PACKAGES[@]}" "${I686_BUILD_PACKAGES[@]}" "${I386_PACKAGES[@]/%/:i386}"
figures "test (scripts/test.sh)" "${TEST_PACKAGES[@]}" "${I386_PACKAGES[@]/%/:i386}"
test=("$COUNT" "$DOWN" "$INST")
figures "test without the 32-bit platform" "${TEST_PACKAGES[@]}"
if [ "${test[0]}" -gt 0 ]; then
  awk -v a="${run[*]}" -v b="${test[*]}" 'BEGIN { split(a, r, " "); split(b, t, " ")
    printf "%-34s %9.2f %12.2f %13.2f\n", "run / test", r[1] / t[1], r[2] / t[2], r[3] / t[3] }'
fi
