#!/bin/bash
# Sets up and builds only what the show needs (scripts/setup.sh --run,
# scripts/build.sh --arch: the x86_64 host and renderer), then runs the saver
# under Wine, the way the platform starts it (ぬめらぼ.scr /s from its
# install folder). A second run installs nothing and builds nothing unchanged.
#   - With a working X display in DISPLAY: the show runs there until Escape.
#   - With none: it runs headless on a private Xvfb, a screenshot of the
#     running show is saved and its path printed, then Escape ends it.
# Extra arguments replace /s: with /c the settings dialog opens, and headless
# its screenshot is taken once it has settled. Whatever the run waited for
# and did not see (the show's window, its first frame, the dialog, the end),
# it says so and exits non-zero. "--arch i686" first sets up the 32-bit
# platform and runs the 32-bit build, under emulation (scripts/i686-wine.sh),
# instead of the x86_64 one.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
ARCH=x86_64
if [ "${1:-}" = "--arch" ]; then ARCH=${2:?--arch needs x86_64 or i686}; shift 2; fi
case "$ARCH" in
  x86_64 | i686) ;;
  *) echo "run: unknown architecture $ARCH (x86_64 or i686)" >&2; exit 2 ;;
esac
if ! scripts/setup.sh --run "$ARCH"; then
  echo "run: what the $ARCH show needs could not be set up (see above)" >&2
  exit 1
fi
mkdir -p "$BUILD"
echo "run: building the $ARCH host and renderer (what changed; log in $BUILD/run-build.log)"
if ! scripts/build.sh --arch "$ARCH" >"$BUILD/run-build.log" 2>&1; then
  tail -n 30 "$BUILD/run-build.log" >&2
  echo "run: the build failed (log in $BUILD/run-build.log)" >&2
  exit 1
fi
. scripts/wine-env.sh
WINE=("$WINE_LOADER")
PATIENCE=1  # emulation starts programs several times more slowly
PREFIX="$BUILD/run-prefix"
if [ "$ARCH" = i686 ]; then
  if ! reason=$(scripts/i686-wine.sh --check); then echo "run: $reason" >&2; exit 1; fi
  WINE=("$(pwd)/scripts/i686-wine.sh")
  PATIENCE=3
  PREFIX="$BUILD/run-prefix-i686"
fi
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

# What the host shows, as the platform's switch says (/c, /c:<window>, -C...).
case "${ARGS[0],,}" in
  [/-]c*) SHOWS=dialog ;;
  [/-]s*) SHOWS=show ;;
  *) SHOWS=other ;;
esac

. scripts/xvfb.sh
PIDS=()
finish() {
  if [ ${#PIDS[@]} -gt 0 ]; then kill "${PIDS[@]}" 2>/dev/null || true; fi
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT
start_xvfb
echo "run: no display; running headless on Xvfb $DISPLAY"
SHOT="$BUILD/screenshot.png"
rm -f "$SHOT"
WORK="$PREFIX/run-work"
mkdir -p "$WORK"

# wait_until <seconds> <command...>: true once the command succeeds, false
# when the time (times the patience of the build) has run out first.
wait_until() {
  local deadline=$((SECONDS + $1 * PATIENCE))
  shift
  until "$@"; do
    if [ "$SECONDS" -ge "$deadline" ]; then return 1; fi
    sleep 0.2
  done
}
window_of() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
has_window() { [ -n "$(window_of "$1")" ]; }
# A picture that is more than one flat colour.
not_flat() { [ "$(convert "$1" -format '%[fx:int(1000*standard_deviation)]' info:)" -gt 40 ]; }
desktop_shown() { import -window root "$WORK/desktop.png" 2>/dev/null && not_flat "$WORK/desktop.png"; }
# The show has drawn a frame once the renderer's 1024 x 768 window differs
# from the desktop there almost everywhere and is not plain: before its first
# frame the window shows only its background. Under emulation the first frame
# comes seconds after the window.
show_drawn() {
  local region=1024x768+0+0 changed
  import -window root "$SHOT" 2>/dev/null || return 1
  changed=$(compare -metric AE -fuzz 10% "${WORK}/desktop.png[$region]" "${SHOT}[$region]" null: 2>&1 >/dev/null || true)
  [ "${changed%%.*}" -gt $((1024 * 768 / 2)) ] 2>/dev/null && not_flat "${SHOT}[$region]"
}
# The dialog has settled (its opening zoom done, painted) once three grabs
# of its window in a row are the same and not flat.
PREVIOUS="" SAME=0
dialog_settled() {
  local id current X Y WIDTH HEIGHT
  id=$(window_of '<ぬめらぼ>')
  [ -n "$id" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$id")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$WORK/dialog.png" 2>/dev/null || return 1
  current="$X $Y $WIDTH $HEIGHT $(convert "$WORK/dialog.png" rgb:- | md5sum)"
  if [ "$current" = "$PREVIOUS" ]; then SAME=$((SAME + 1)); else SAME=0; fi
  PREVIOUS=$current
  if [ "$SAME" -ge 2 ] && not_flat "$WORK/dialog.png"; then
    cp "$WORK/dialog.png" "$SHOT"
    return 0
  fi
  return 1
}
host_ended() { ! kill -0 "$HOST_PID" 2>/dev/null; }
show_gone() { ! has_window 'ぬめらぼ_VC'; }
fail() { echo "run: $*" >&2; exit 1; }

# Something on the desktop for the saver to capture; the pointer in the
# corner, off the dialog's buttons.
display -geometry +0+0 -title numerabo-desktop -borderwidth 0 -resize 1280x1024! \
  "$(pwd)/host/resources/artwork/preview_image.jpg" >/dev/null 2>&1 &
PIDS+=("$!")
wait_until 30 desktop_shown || fail "the desktop picture did not appear on Xvfb $DISPLAY"
xdotool mousemove 1279 1023
cd "$INSTALL"
"${WINE[@]}" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}" &
HOST_PID=$!
PIDS+=("$HOST_PID")

case "$SHOWS" in
  show)
    if ! wait_until 30 has_window 'ぬめらぼ_VC'; then
      import -window root "$SHOT"
      fail "no show window appeared within $((30 * PATIENCE)) s; screenshot as it is: $SHOT"
    fi
    if ! wait_until 60 show_drawn; then
      fail "the show drew no frame within $((60 * PATIENCE)) s; screenshot as it is: $SHOT"
    fi
    echo "run: screenshot of the running show: $SHOT"
    xdotool windowfocus --sync "$(window_of 'ぬめらぼ_VC')" 2>/dev/null || true
    # Held until the show has gone: it looks at the key once per frame.
    xdotool keydown Escape
    gone=yes
    wait_until 10 show_gone || gone=""
    xdotool keyup Escape
    [ -n "$gone" ] || fail "the show did not end on Escape within $((10 * PATIENCE)) s"
    wait_until 10 host_ended || fail "the host did not end within $((10 * PATIENCE)) s of the show"
    ;;
  dialog)
    if ! wait_until 30 has_window '<ぬめらぼ>'; then
      import -window root "$SHOT"
      fail "no settings dialog appeared within $((30 * PATIENCE)) s; screenshot as it is: $SHOT"
    fi
    if ! wait_until 30 dialog_settled; then
      import -window root "$SHOT"
      fail "the settings dialog did not settle within $((30 * PATIENCE)) s; screenshot as it is: $SHOT"
    fi
    echo "run: the settings dialog: $SHOT"
    ;;
  other)
    if ! wait_until 30 host_ended; then
      import -window root "$SHOT"
      fail "ぬめらぼ.scr ${ARGS[*]} did not end within $((30 * PATIENCE)) s; screenshot as it is: $SHOT"
    fi
    code=0
    wait "$HOST_PID" || code=$?
    import -window root "$SHOT"
    echo "run: ぬめらぼ.scr ${ARGS[*]} ended with exit code $code; screenshot as it is: $SHOT"
    ;;
esac
