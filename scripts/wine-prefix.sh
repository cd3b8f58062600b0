#!/bin/bash
# Prepares a Wine prefix in the folder given as $1 (made once, then kept):
# Japanese locale, "ＭＳ Ｐゴシック" and friends drawn with IPA Gothic, and an
# ALSA file device as the default sound output of whoever runs Wine with
# HOME=$1/home, so that every sound Wine plays lands in $1/home/capture.raw.
# With "i686" as $2 the prefix is a 32-bit one, made under emulation (see
# scripts/i686-wine.sh) for the 32-bit build.
#
# The 64-bit prefix also gets its 32-bit half (drive_c/windows/syswow64, for
# 32-bit programs such as the setup program) wherever the 32-bit platform is
# available: its wineboot then runs inside the emulation namespace, since on
# a kernel that runs no 32-bit code wineboot outside it leaves that half
# empty. A kept 64-bit prefix without that half is made again once the
# platform is there.
set -euo pipefail
PREFIX=$(realpath -m "$1")
ARCH=${2:-x86_64}
I686_WINE="$(dirname "$0")/i686-wine.sh"
. "$(dirname "$0")/wine-env.sh"
with_32_bit=0
if [ "$ARCH" = x86_64 ] && "$I686_WINE" --check >/dev/null 2>&1; then with_32_bit=1; fi
if [ -f "$PREFIX/.numerabo-ready" ]; then
  if [ "$with_32_bit" = 0 ] || [ -n "$(ls -A "$PREFIX/drive_c/windows/syswow64" 2>/dev/null)" ]; then exit 0; fi
  echo "wine-prefix: $PREFIX has no 32-bit half (made before the 32-bit platform was here); making it again"
fi
rm -rf "$PREFIX"
mkdir -p "$PREFIX/home"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
WINE=("$WINE_LOADER")
BOOT=("$WINE_LOADER")
if [ "$ARCH" = i686 ]; then
  export WINEARCH=win32
  WINE=("$I686_WINE")
  BOOT=("$I686_WINE")
elif [ "$with_32_bit" = 1 ]; then
  BOOT=("$I686_WINE" --wine64)
fi
cat > "$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$HOME/capture.raw"
  format "raw"
}
ASOUND
echo "wine-prefix: creating $PREFIX ($ARCH$([ "$with_32_bit" = 1 ] && echo ", with its 32-bit half"))"
"${BOOT[@]}" wineboot -i >/dev/null 2>&1
# wineboot may return before the prefix is complete.
"$WINESERVER" -w
# The 64-bit programs run all the same; the 32-bit ones fail saying why.
if [ "$with_32_bit" = 1 ] && [ -z "$(ls -A "$PREFIX/drive_c/windows/syswow64" 2>/dev/null)" ]; then
  echo "wine-prefix: wineboot left $PREFIX/drive_c/windows/syswow64 empty: no 32-bit program starts there" >&2
fi
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic"; do
  "${WINE[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
done
"$WINESERVER" -w
touch "$PREFIX/.numerabo-ready"
