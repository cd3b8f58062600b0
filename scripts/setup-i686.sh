#!/bin/bash
# Installs what running the 32-bit (i686) build needs. This machine's kernel
# cannot execute 32-bit code, so the i686 programs run under 32-bit Wine
# inside qemu-i386 user-mode emulation (see scripts/i686-wine.sh for how):
#   - 32-bit Wine and the i386 libraries it loads at run time, from the
#     Debian archive through multiarch;
#   - a qemu-i386 of version 8.1 or newer (older ones take about a minute to
#     start each Wine process), taken from bookworm-backports through a
#     private apt state, so the machine's apt configuration stays untouched.
# Safe to run again. Exits non-zero, changing nothing more, when the kernel
# is too old for a private binfmt_misc (6.7) or the packages cannot be had;
# an i386 architecture it added for them is then removed again.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
. "$(dirname "$0")/apt-retry.sh"
. "$(dirname "$0")/packages.sh"

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ -n "${NUMERABO_SKIP_I686:-}" ]; then
  echo "setup-i686: turned off by NUMERABO_SKIP_I686" >&2
  exit 1
fi
if ! kernel_has_private_binfmt; then
  echo "setup-i686: kernel $(uname -r) has no binfmt_misc per namespace (6.7 or newer needed)" >&2
  exit 1
fi

mapfile -t missing < <(missing_packages "${I386_PACKAGES[@]/%/:i386}")
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup-i686: installing ${missing[*]}"
  added=""
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    added=yes
  fi
  # The 32-bit packages must match the installed 64-bit ones version for
  # version, so a failed index (of the security suite, say) is fatal here.
  # Multiarch pairs must match, so apt may upgrade some amd64 packages to the
  # archive's current versions; --no-remove keeps it from removing any.
  if ! { apt_retry setup-i686 update -q &&
         apt_retry setup-i686 install -y -q --no-install-recommends --no-remove "${missing[@]}"; }; then
    # An i386 architecture whose index cannot be had fails every later
    # "apt-get update" on the machine: take back the one added here.
    if [ -n "$added" ]; then
      if $SUDO dpkg --remove-architecture i386; then
        echo "setup-i686: removed the i386 architecture again, as it was before" >&2
      else
        echo "setup-i686: could not remove the i386 architecture added here" >&2
      fi
    fi
    exit 1
  fi
fi

if ! qemu_i386_usable "$QEMU_I386"; then
  # A file of someone else's at a path NUMERABO_QEMU_I386 names is not ours to replace.
  if [ -e "$QEMU_I386" ] && [ "$QEMU_I386" != "$QEMU_I386_DEFAULT" ]; then
    echo "setup-i686: $QEMU_I386 exists and is no qemu-i386 8.1 or newer; not replacing it" >&2
    exit 1
  fi
  echo "setup-i686: fetching qemu-user from bookworm-backports"
  # The Debian mirror this machine already uses.
  mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)\/\?[[:space:]]*$/\1/p' \
             /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
  if [ -z "$mirror" ]; then
    mirror=$(sed -n 's/^deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\?\([^[:space:]]*\/debian\)\/\?[[:space:]]\+bookworm[[:space:]].*/\2/p' \
               /etc/apt/sources.list 2>/dev/null | head -1)
  fi
  if [ -z "$mirror" ]; then echo "setup-i686: no Debian mirror in the apt sources" >&2; exit 1; fi
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/deb"
  touch "$work/status"
  echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror bookworm-backports main" \
    > "$work/sources.list"
  apt_private=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
               -o Dir::State::Lists="$work/lists" -o Dir::State::Status="$work/status"
               -o Dir::Cache="$work/cache" -o APT::Architecture=amd64
               -o APT::Architectures::=amd64 -o Debug::NoLocking=1
               -o APT::Sandbox::User=root)
  apt_retry setup-i686 "${apt_private[@]}" update -q
  (cd "$work/deb" && apt_retry setup-i686 "${apt_private[@]}" download -q qemu-user)
  dpkg-deb -x "$work"/deb/qemu-user_*.deb "$work/root"
  $SUDO install -D -m 755 "$work/root/usr/bin/qemu-i386" "$QEMU_I386"
fi
i686_runnable >&2
echo "setup-i686: 32-bit Wine and $("$QEMU_I386" --version | head -1) present"
