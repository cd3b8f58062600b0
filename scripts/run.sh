#!/bin/bash
# Sets up, builds and runs the saver under Wine, the way the platform starts
# it (ぬめらぼ.scr /s from its install folder).
#   - With a working X display in DISPLAY: the show runs there until Escape.
#   - With none: it runs headless on a private Xvfb, a screenshot of the
#     running show is saved and its path printed, then Escape ends it.
# Extra arguments replace /s (for example: scripts/run.sh /c for the
# settings dialog). "--arch i686" first runs the 32-bit build, under
# emulation (scripts/i686-wine.sh), instead of the x86_64 one.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
ARCH=x86_64
if [ "${1:-}" = "--arch" ]; then ARCH=${2:?--arch needs x86_64 or i686}; shift 2; fi
scripts/setup.sh
scripts/build.sh --windows-only
. scripts/wine-env.sh
WINE=("$WINE_LOADER")
PATIENCE=1  # emulation starts programs several times more slowly
PREFIX="$BUILD/run-prefix"
case "$ARCH" in
  x86_64) ;;
  i686)
    if ! reason=$(scripts/i686-wine.sh --check); then echo "run: $reason" >&2; exit 1; fi
    WINE=("$(pwd)/scripts/i686-wine.sh")
    PATIENCE=3
    PREFIX="$BUILD/run-prefix-i686" ;;
  *) echo "run: unknown architecture $ARCH (x86_64 or i686)" >&2; exit 2 ;;
esac
scripts/wine-prefix.sh "$PREFIX" "$ARCH"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
INSTALL="$PREFIX/drive_c/Program Files/Numerabo"
mkdir -p "$INSTALL"
cp "$BUILD/$ARCH/host/ぬめらぼ.scr" "$BUILD/$ARCH/renderer/ぬめらぼ.dll" "$INSTALL/"
ARGS=("$@")
if [ ${#ARGS[@]} -eq 0 ]; then ARGS=(/s); fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: on display $DISPLAY; press Escape in the show to end it"
  cd "$INSTALL"
  "${WINE[@]}" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}"
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
SHOT="$BUILD/screenshot.png"
BEFORE="$PREFIX/desktop.png"
import -window root "$BEFORE"
# The show has drawn a frame once the renderer's 1024 x 768 window differs
# from the desktop there almost everywhere and is not plain: before its first
# frame the window shows only its background. Under emulation the first frame
# comes seconds after the window.
show_drawn() {
  local region=1024x768+0+0 changed spread
  import -window root "$SHOT" 2>/dev/null || return 1
  changed=$(compare -metric AE -fuzz 10% "$BEFORE[$region]" "$SHOT[$region]" null: 2>&1 >/dev/null || true)
  spread=$(convert "$SHOT[$region]" -format '%[fx:int(1000*standard_deviation)]' info:)
  [ "${changed%%.*}" -gt $((1024 * 768 / 2)) ] 2>/dev/null && [ "$spread" -gt 40 ]
}
cd "$INSTALL"
"${WINE[@]}" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}" &
HOST_PID=$!
shown=""
for _ in $(seq $((300 * PATIENCE))); do
  if xdotool search --name '^ぬめらぼ_VC$' >/dev/null 2>&1; then shown=window; break; fi
  sleep 0.1
done
deadline=$((SECONDS + 60 * PATIENCE))
while [ "$shown" = window ] && [ "$SECONDS" -lt "$deadline" ]; do
  if show_drawn; then shown=frame; break; fi
  sleep 0.2
done
case "$shown" in
  frame) echo "run: screenshot of the running show: $SHOT" ;;
  window) echo "run: the show drew no frame within $((60 * PATIENCE)) s; screenshot as it is: $SHOT" ;;
  *) import -window root "$SHOT"; echo "run: no show window appeared; screenshot as it is: $SHOT" ;;
esac
WIN=$(xdotool search --name '^ぬめらぼ_VC$' | head -1 || true)
if [ -n "$WIN" ]; then
  xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  # Held until the show has gone: it looks at the key once per frame.
  xdotool keydown Escape
  for _ in $(seq $((100 * PATIENCE))); do
    if ! xdotool search --name '^ぬめらぼ_VC$' >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
  xdotool keyup Escape
fi
for _ in $(seq $((100 * PATIENCE))); do
  if ! kill -0 "$HOST_PID" 2>/dev/null; then break; fi
  sleep 0.1
done
kill "$HOST_PID" "$DESKTOP_PID" 2>/dev/null || true
"$WINESERVER" -k 2>/dev/null || true
