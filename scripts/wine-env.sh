# Sourced by the scripts that run Wine: the loader, the locale that makes the
# ANSI code page 932 (or the one NUMERABO_WINE_LOCALE names: the Wine suite
# runs programs on other systems too), and quiet logging.
WINE_LOADER=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export LANG=${NUMERABO_WINE_LOCALE:-ja_JP.UTF-8}
# The shell that sources this must have started after the locale was
# generated: the C library looks for the locale archive once a process.
export LC_ALL=$LANG
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs: nothing here can download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The 32-bit build runs under 32-bit Wine emulated by this qemu-i386 (see
# scripts/setup-i686.sh and scripts/i686-wine.sh).
QEMU_I386_DEFAULT=/usr/local/lib/numerabo/qemu-i386
QEMU_I386=${NUMERABO_QEMU_I386:-$QEMU_I386_DEFAULT}
WINE32_LOADER=/usr/lib/wine/wine
# True when $1 is a qemu-i386 of version 8.1 or newer.
qemu_i386_usable() {
  local v
  v=$("$1" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p')
  [ -n "$v" ] || return 1
  set -- $v
  [ "$1" -gt 8 ] || { [ "$1" -eq 8 ] && [ "$2" -ge 1 ]; }
}
# Succeeds when the kernel gives each user namespace its own binfmt_misc (6.7).
kernel_has_private_binfmt() {
  local major minor
  IFS=.- read -r major minor _ <<<"$(uname -r)"
  [ "$major" -gt 6 ] || { [ "$major" -eq 6 ] && [ "$minor" -ge 7 ]; }
}
# Succeeds when the 32-bit build can run here; otherwise says why and fails.
i686_runnable() {
  if [ -n "${NUMERABO_SKIP_I686:-}" ]; then echo "turned off by NUMERABO_SKIP_I686"; return 1; fi
  if ! kernel_has_private_binfmt; then
    echo "kernel $(uname -r) has no binfmt_misc per namespace (6.7 or newer needed)"; return 1
  fi
  if [ ! -x "$WINE32_LOADER" ]; then echo "32-bit Wine (wine32:i386) is not installed"; return 1; fi
  if ! qemu_i386_usable "$QEMU_I386"; then echo "no qemu-i386 8.1 or newer at $QEMU_I386"; return 1; fi
  if ! unshare --user --map-root-user --mount -- \
       mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null; then
    echo "no private binfmt_misc in a user namespace here (unshare or mount refused)"; return 1
  fi
  if ! unshare --user --map-root-user -- unshare --user --map-user="$(id -u)" --map-group="$(id -g)" -- true \
       2>/dev/null; then
    echo "no nested user namespace here (unshare refused)"; return 1
  fi
}
