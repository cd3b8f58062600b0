#!/bin/bash
# Installs what building and testing Numerabo needs on a Debian 12 machine:
# both MinGW-w64 cross compilers, Wine, Xvfb and the X tools the Wine suite
# drives windows with, the Japanese locale and font, audio capture tools,
# NSIS for the setup program.
# Safe to run again: it installs only what is missing. Then, where it can,
# what running the 32-bit build needs (see scripts/setup-i686.sh).
set -euo pipefail

PACKAGES=(
  cmake g++ libgtest-dev python3
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xdotool x11-utils imagemagick libjpeg-turbo-progs locales fonts-ipafont-gothic
  libgl1-mesa-dri libglu1-mesa
  fonts-wine
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  libasound2-plugins alsa-utils sox lame
  nsis
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
. "$(dirname "$0")/apt-retry.sh"

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  # An index that still fails (of the 32-bit packages, say) need not stop
  # these: apt goes on with the indexes it has, and the install says so if
  # that is not enough.
  apt_retry setup update -q || echo "setup: going on with the package indexes at hand" >&2
  apt_retry setup install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the Unix locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen >/dev/null
fi
echo "setup: all packages present"
"$(dirname "$0")/setup-i686.sh" || echo "setup: the 32-bit run is not available here (the i686 tests will be skipped)"
