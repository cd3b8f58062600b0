#!/bin/bash
# Prepares a Wine prefix in the folder given as $1 (made once, then kept):
# Japanese locale, "ＭＳ Ｐゴシック" and friends drawn with IPA Gothic, and an
# ALSA file device as the default sound output of whoever runs Wine with
# HOME=$1/home, so that every sound Wine plays lands in $1/home/capture.raw.
set -euo pipefail
PREFIX=$(realpath -m "$1")
. "$(dirname "$0")/wine-env.sh"
if [ -f "$PREFIX/.numerabo-ready" ]; then exit 0; fi
rm -rf "$PREFIX"
mkdir -p "$PREFIX/home"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
cat > "$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$HOME/capture.raw"
  format "raw"
}
ASOUND
echo "wine-prefix: creating $PREFIX"
"$WINE_LOADER" wineboot -i >/dev/null 2>&1
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック" "MS PGothic" "MS Gothic" "MS UI Gothic"; do
  "$WINE_LOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f >/dev/null 2>&1
done
"$WINESERVER" -w
touch "$PREFIX/.numerabo-ready"
