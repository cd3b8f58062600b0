#!/bin/bash
# Installs what building and testing Numerabo needs on a Debian 12 machine
# (the lists are in scripts/packages.sh): both MinGW-w64 cross compilers,
# Wine, Xvfb and the X tools the Wine suite drives windows with, the Japanese
# locale and font, audio capture tools, NSIS for the setup program; then,
# where it can, what running the 32-bit build needs (scripts/setup-i686.sh).
# "--run x86_64" installs only what scripts/run.sh needs to build and show
# the x86_64 programs, and never looks at the 32-bit platform; "--run i686"
# adds the i686 compiler and the 32-bit platform, and fails without them.
# Safe to run again: it installs only what is missing, and calls no package
# manager at all when nothing is.
set -euo pipefail
. "$(dirname "$0")/packages.sh"

RUN_ARCH=""
if [ "${1:-}" = "--run" ]; then
  RUN_ARCH=${2:-}
  case "$RUN_ARCH" in
    x86_64) PACKAGES=("${RUN_PACKAGES[@]}") ;;
    i686) PACKAGES=("${RUN_PACKAGES[@]}" "${I686_BUILD_PACKAGES[@]}") ;;
    *) echo "setup: --run needs x86_64 or i686" >&2; exit 2 ;;
  esac
else
  PACKAGES=("${TEST_PACKAGES[@]}")
fi

mapfile -t missing < <(missing_packages "${PACKAGES[@]}")

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
case "$RUN_ARCH" in
  x86_64) ;;
  i686) "$(dirname "$0")/setup-i686.sh" ;;
  *) "$(dirname "$0")/setup-i686.sh" || echo "setup: the 32-bit run is not available here (the i686 tests will be skipped)" ;;
esac
