# shellcheck shell=bash
# Sourced from the top of the scripts that run the programs under Wine on a
# screen of their own (run.sh, screenshots.sh), while the script's arguments
# are still in place: the set-up, a kept prefix with the programs installed,
# a private Xvfb, the waits for windows and still pictures, and the clean-up
# on exit. Messages start with the script's name.
ME=$(basename "$0" .sh)
SCRIPT_ARGS=("$@")
SRC=$(pwd)
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
SHOT="$BUILD/screenshot.png"  # where a wait that ran out leaves the screen as it was
PATIENCE=1  # emulation starts programs several times more slowly
PIDS=()
WORK=""
fail() { echo "$ME: $*" >&2; exit 1; }

# set_up <command...>: the set-up, then the script once more in a new process.
# The C library looks for the locale archive once in a process's life: in the
# shell that started before the set-up generated the Japanese locale, the
# LC_ALL of scripts/wine-env.sh could never take (bash would warn that it
# cannot change locale, and go on in its old one).
set_up() {
  if [ -n "${NUMERABO_SET_UP:-}" ]; then unset NUMERABO_SET_UP; return 0; fi
  "$@" || return
  NUMERABO_SET_UP=1 exec "$BASH" "scripts/$ME.sh" "${SCRIPT_ARGS[@]}"
}

# wine_prefix <folder> [i686]: Wine's environment and the prefix there (made
# once by scripts/wine-prefix.sh, then kept); WINE runs a program in it, and
# INSTALL is the programs' install folder.
wine_prefix() {
  . scripts/wine-env.sh
  WINE=("$WINE_LOADER")
  if [ "${2:-}" = i686 ]; then
    local reason
    reason=$(scripts/i686-wine.sh --check) || fail "$reason"
    WINE=("$SRC/scripts/i686-wine.sh")
    PATIENCE=3
  fi
  scripts/wine-prefix.sh "$@"
  export WINEPREFIX=$1 HOME=$1/home
  INSTALL="$1/drive_c/Program Files/Numerabo"
}

# install_saver <arch> [file...]: that build's saver and renderer, and the
# files, copied into the install folder.
install_saver() {
  mkdir -p "$INSTALL"
  cp "$BUILD/$1/host/ぬめらぼ.scr" "$BUILD/$1/renderer/ぬめらぼ.dll" "${@:2}" "$INSTALL/"
}

# headless: a private Xvfb for the rest of the script, and on its exit the
# end of all it started there.
headless() {
  . scripts/xvfb.sh
  WORK=$(mktemp -d)
  trap finish EXIT
  start_xvfb
}
stop_started() {
  if [ ${#PIDS[@]} -gt 0 ]; then kill "${PIDS[@]}" 2>/dev/null || true; fi
  PIDS=()
}
finish() {
  stop_started
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$WORK"
}

# start <command...>: runs in the background from the install folder, as the
# platform starts a saver, until the clean-up.
start() {
  (cd "$INSTALL" && exec "$@") &
  PIDS+=("$!")
}
saver() { # switches...
  start "${WINE[@]}" "$INSTALL/ぬめらぼ.scr" "$@"
  HOST_PID=$!
}
host_ended() { ! kill -0 "$HOST_PID" 2>/dev/null; }

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
# need <seconds> <what did not come> <command...>: wait_until, or the end of
# the script saying what it waited for and did not see.
need() {
  local seconds=$1 what=$2 shot=""
  shift 2
  wait_until "$seconds" "$@" && return
  if import -window root "$SHOT" 2>/dev/null; then shot="; screenshot as it is: $SHOT"; fi
  fail "$what within $((seconds * PATIENCE)) s$shot"
}

window_of() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
has_window() { [ -n "$(window_of "$1")" ]; }
# picture <title> <+X+Y> <file> [display option...]: a picture in a window of
# its own, once it is there.
picture() {
  start display -title "$1" -geometry "$2" -borderwidth 0 "${@:4}" "$3" >/dev/null 2>&1
  need 30 "the picture \"$1\" did not appear" has_window "$1"
}

# A picture that is more than one flat colour.
not_flat() { [ "$(convert "$1" -format '%[fx:int(1000*standard_deviation)]' info:)" -gt 40 ]; }
# settled <window title or WxH+X+Y> <file>: true once three grabs in a row of
# that place are the same and not flat (a dialog's opening zoom done, and
# painted); the last grab is in the file.
SETTLED="" SAME=0
settled() {
  local where=$1 id X Y WIDTH HEIGHT current
  if [[ ! $where =~ ^[0-9]+x[0-9]+\+ ]]; then
    id=$(window_of "$1")
    [ -n "$id" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    where="${WIDTH}x${HEIGHT}+${X}+${Y}"
  fi
  import -window root -crop "$where" +repage "$2" 2>/dev/null || return 1
  current="$2 $where $(convert "$2" rgb:- | md5sum)"
  if [ "$current" = "$SETTLED" ]; then SAME=$((SAME + 1)); else SAME=0; fi
  SETTLED=$current
  [ "$SAME" -ge 2 ] && not_flat "$2"
}
settings_dialog() { # file: the settled dialog's picture
  need 30 "no settings dialog appeared" has_window '<ぬめらぼ>'
  need 30 "the settings dialog did not settle" settled '<ぬめらぼ>' "$1"
}

show_gone() { ! has_window 'ぬめらぼ_VC'; }
# end_show: Escape, held until the show has gone (it looks at the key once
# per frame), and then the host's end.
end_show() {
  local gone=0
  xdotool windowfocus --sync "$(window_of 'ぬめらぼ_VC')" 2>/dev/null || true
  xdotool keydown Escape
  wait_until 10 show_gone || gone=$?
  xdotool keyup Escape
  [ "$gone" = 0 ] || fail "the show did not end on Escape within $((10 * PATIENCE)) s"
  need 10 "the host did not end after its show" host_ended
}
