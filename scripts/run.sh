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
. scripts/wine-lib.sh
ARCH=x86_64
if [ "${1:-}" = "--arch" ]; then ARCH=${2:?--arch needs x86_64 or i686}; shift 2; fi
case "$ARCH" in
  x86_64 | i686) ;;
  *) echo "run: unknown architecture $ARCH (x86_64 or i686)" >&2; exit 2 ;;
esac
set_up scripts/setup.sh --run "$ARCH" || fail "what the $ARCH show needs could not be set up (see above)"
mkdir -p "$BUILD"
echo "run: building the $ARCH host and renderer (what changed; log in $BUILD/run-build.log)"
if ! scripts/build.sh --arch "$ARCH" >"$BUILD/run-build.log" 2>&1; then
  tail -n 30 "$BUILD/run-build.log" >&2
  fail "the build failed (log in $BUILD/run-build.log)"
fi
wine_prefix "$BUILD/run-prefix$([ "$ARCH" = x86_64 ] || echo "-$ARCH")" "$ARCH"
install_saver "$ARCH"
ARGS=("$@")
if [ ${#ARGS[@]} -eq 0 ]; then ARGS=(/s); fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "run: on display $DISPLAY; press Escape in the show to end it"
  cd "$INSTALL"
  "${WINE[@]}" "$INSTALL/ぬめらぼ.scr" "${ARGS[@]}"
  "$WINESERVER" -w
  exit 0
fi

headless
echo "run: no display; running headless on Xvfb $DISPLAY"
rm -f "$SHOT"
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

# Something on the desktop for the saver to capture; the pointer in the
# corner, off the dialog's buttons.
picture numerabo-desktop +0+0 "$SRC/host/resources/artwork/preview_image.jpg" -resize '1280x1024!'
need 30 "the desktop picture was not shown on Xvfb $DISPLAY" settled 1280x1024+0+0 "$WORK/desktop.png"
xdotool mousemove 1279 1023
saver "${ARGS[@]}"
# What the host shows, as the platform's switch says (/c, /c:<window>, -C...).
case "${ARGS[0],,}" in
  [/-]s*)
    need 30 "no show window appeared" has_window 'ぬめらぼ_VC'
    need 60 "the show drew no frame" show_drawn
    echo "run: screenshot of the running show: $SHOT"
    end_show
    ;;
  [/-]c*)
    settings_dialog "$SHOT"
    echo "run: the settings dialog: $SHOT"
    ;;
  *)
    need 30 "ぬめらぼ.scr ${ARGS[*]} did not end" host_ended
    code=0
    wait "$HOST_PID" || code=$?
    import -window root "$SHOT"
    echo "run: ぬめらぼ.scr ${ARGS[*]} ended with exit code $code; screenshot as it is: $SHOT"
    ;;
esac
