#!/bin/bash
# Sets up, builds and runs the saver under Wine, the way the platform starts
# it (ぬめらぼ.scr /s from its install folder).
#   - With a working X display in DISPLAY: the show runs there until Escape.
#   - With none: it runs headless on a private Xvfb, a screenshot of the
#     running show is saved and its path printed, then Escape ends it.
# Extra arguments replace /s (for example: scripts/run.sh /c for the
# settings dialog).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
scripts/setup.sh
scripts/build.sh --windows-only
. scripts/wine-env.sh
PREFIX="$BUILD/run-prefix"
scripts/wine-prefix.sh "$PREFIX"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
INSTALL="$PREFIX/drive_c/Program Files/Numerabo"
mkdir -p "$INSTALL"
cp "$BUILD/x86_64/host/ぬめらぼ.scr" "$BUILD/x86_64/renderer/ぬめらぼ.dll" "$INSTALL/"
ARGS=("$@")
if [ ${#ARGS[@]} -eq 0 ]; then ARGS=(/s); fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: on display $DISPLAY; press Escape in the show to end it"
  cd "$INSTALL"
  "$WINE_LOADER" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}"
  "$WINESERVER" -w
  exit 0
fi

. scripts/xvfb.sh
trap 'stop_xvfb' EXIT
start_xvfb
echo "run: no display; running headless on Xvfb $DISPLAY"
# Something on the desktop for the saver to capture.
display -geometry +0+0 -title desktop -borderwidth 0 -resize 1280x1024! \
  "$(pwd)/host/resources/artwork/preview_image.jpg" >/dev/null 2>&1 &
DESKTOP_PID=$!
sleep 2
cd "$INSTALL"
"$WINE_LOADER" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}" &
HOST_PID=$!
for _ in $(seq 300); do
  if xdotool search --name '^ぬめらぼ_VC$' >/dev/null 2>&1; then break; fi
  sleep 0.1
done
sleep 4
SHOT="$BUILD/screenshot.png"
import -window root "$SHOT"
echo "run: screenshot of the running show: $SHOT"
WIN=$(xdotool search --name '^ぬめらぼ_VC$' | head -1 || true)
if [ -n "$WIN" ]; then
  xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  # Held for a moment: the show looks at the key once per frame.
  xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
fi
for _ in $(seq 100); do
  if ! kill -0 "$HOST_PID" 2>/dev/null; then break; fi
  sleep 0.1
done
kill "$HOST_PID" "$DESKTOP_PID" 2>/dev/null || true
"$WINESERVER" -k 2>/dev/null || true
