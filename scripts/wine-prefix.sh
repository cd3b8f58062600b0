#!/bin/bash
# Prepares a Wine prefix in the folder given as $1 (made once, then kept):
# Japanese locale, "ＭＳ Ｐゴシック" and friends drawn with IPA Gothic, and an
# ALSA file device as the default sound output of whoever runs Wine with
# HOME=$1/home, so that every sound Wine plays lands in $1/home/capture.raw.
# With "i686" as $2 the prefix is a 32-bit one, made under emulation (see
# scripts/i686-wine.sh) for the 32-bit build.
set -euo pipefail
PREFIX=$(realpath -m "$1")
ARCH=${2:-x86_64}
. "$(dirname "$0")/wine-env.sh"
if [ -f "$PREFIX/.numerabo-ready" ]; then exit 0; fi
rm -rf "$PREFIX"
mkdir -p "$PREFIX/home"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
WINE=("$WINE_LOADER")
if [ "$ARCH" = i686 ]; then
  export WINEARCH=win32
  WINE=("$(dirname "$0")/i686-wine.sh")
fi
cat > "$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$HOME/capture.raw"
  format "raw"
}
ASOUND
echo "wine-prefix: creating $PREFIX ($ARCH)"
"${WINE[@]}" wineboot -i >/dev/null 2>&1
# wineboot may return before the prefix is complete.
"$WINESERVER" -w
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic"; do
  "${WINE[@]}" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
done
"$WINESERVER" -w
touch "$PREFIX/.numerabo-ready"
