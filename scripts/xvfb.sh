# Sourced: start_xvfb starts an Xvfb on a free display (1280 x 1024, 24 bits,
# or NUMERABO_SCREEN as WIDTHxHEIGHTxDEPTH) and exports DISPLAY; stop_xvfb
# stops the one it started.
XVFB_PID=""
start_xvfb() {
  local n=${NUMERABO_FIRST_DISPLAY:-90}
  for _ in 1 2 3 4 5; do
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    # -r: no key repeats. A key a test holds down until the window it went
    # to is gone would otherwise repeat into the window below, and the
    # picture viewer under a show (ImageMagick's display) quits on Escape.
    Xvfb ":$n" -screen 0 "${NUMERABO_SCREEN:-1280x1024x24}" -nolisten tcp -r >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do
      # Another run that took the same number a moment earlier makes this
      # server end at once: then the display that answers is not ours.
      if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
      if xdpyinfo >/dev/null 2>&1 && kill -0 "$XVFB_PID" 2>/dev/null; then return 0; fi
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
    wait "$XVFB_PID" 2>/dev/null
    n=$((n + 1))
  done
  echo "xvfb: display $DISPLAY did not come up" >&2
  return 1
}
stop_xvfb() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=""
}
