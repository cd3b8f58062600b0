#!/bin/bash
# Runs 32-bit Wine with the given arguments (as for wine: a program and its
# arguments, or a Wine tool such as wineboot) on a kernel that cannot execute
# 32-bit code. Wine starts its loader and every child process with execve, so
# emulating only the first process is not enough: the command runs inside a
# private user and mount namespace that has its own binfmt_misc, where every
# i386 ELF file runs under qemu-i386. Nothing is registered for the rest of
# the machine. Needs a kernel of 6.7 or newer (binfmt_misc per namespace).
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
# "--check" only tells whether this can work here, and if not, why.
if [ "${1:-}" = "--check" ]; then i686_runnable; exit; fi
if [ "${1:-}" = "--in-namespace" ]; then
  uid=$2 gid=$3 loader=$4
  shift 4
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # An ELF of 32 bits, little-endian, for the 386 (executable or shared);
  # flags: hand qemu the open file (O), keep argv[0] (P), and open qemu now (F)
  # so that it is found whatever the namespace's mounts become.
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf '%s\n' ":numerabo-i386:M::$magic:$mask:$QEMU_I386:OPF" > /proc/sys/fs/binfmt_misc/register
  # Wine runs as the caller's own user again, in a namespace nested in this
  # one (which still hands i386 programs to qemu): whatever Wine keys on the
  # user id, its wineserver's socket among them, is then the same inside and
  # out, so "wineserver -k" and "-w" run outside reach the server Wine
  # started here whether the caller is root or not.
  exec unshare --user --map-user="$uid" --map-group="$gid" -- "$loader" "$@"
fi
# "--wine64" runs the 64-bit loader in the same namespace instead: what a
# 64-bit prefix's wineboot needs to set up the prefix's 32-bit half.
loader=$WINE32_LOADER
if [ "${1:-}" = "--wine64" ]; then loader=$WINE_LOADER; shift; fi
# Mounting binfmt_misc takes root in the namespace, hence the mapping to it.
exec unshare --user --map-root-user --mount -- "$0" --in-namespace "$(id -u)" "$(id -g)" "$loader" "$@"
