#!/bin/bash
# Sourced: start_xvfb starts an Xvfb on a free display (1280 x 1024, 24 bits,
# or NUMERABO_SCREEN as WIDTHxHEIGHTxDEPTH) and exports DISPLAY; stop_xvfb
# stops the one it started.
# Run as "scripts/xvfb.sh --until-eof": starts one the same way, prints its
# DISPLAY on a line, and stops it once its standard input ends, that is once
# the process that started it has closed the pipe or ended in whatever way
# (the Wine suite gives each test file a display of its own like this).
XVFB_PID=""
start_xvfb() {
  local n=${NUMERABO_FIRST_DISPLAY:-90}
  # Several test files start their servers at the same moment, so a number
  # found free may be taken an instant later: the loser's server ends at
  # once and the next number is tried.
  for _ in $(seq 30); do
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
    # -r: no key repeats. A key a test holds down until the window it went
    # to is gone would otherwise repeat into the window below, and the
    # picture viewer under a show (ImageMagick's display) quits on Escape.
    Xvfb ":$n" -screen 0 "${NUMERABO_SCREEN:-1280x1024x24}" -nolisten tcp -r >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 300); do
      if ! kill -0 "$XVFB_PID" 2>/dev/null; then break; fi
      # The display is ours when its lock file names our server: a server
      # that answers while ours is still on its way out is another run's.
      if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X${n}-lock")" = "$XVFB_PID" ] && xdpyinfo >/dev/null 2>&1 &&
        kill -0 "$XVFB_PID" 2>/dev/null; then
        return 0
      fi
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
if [ "${BASH_SOURCE[0]}" = "$0" ] && [ "${1:-}" = "--until-eof" ]; then
  trap stop_xvfb EXIT
  trap 'exit 1' TERM INT HUP
  start_xvfb || exit 1
  echo "$DISPLAY"
  # Until the starter's end of the pipe closes; nothing is sent on it.
  while read -r _; do :; done
fi
