#!/bin/bash
# Makes the README's pictures in docs/:
#   show.png     the running show over a desktop with a wallpaper and a window,
#   settings.png the settings dialog with an MP3 file chosen,
#   preview.png  the preview in a 152 x 112 pane (the size of the display
#                settings' preview) at the top-left of a larger pane,
#   setup.png    the first page of the setup program.
# Builds what is missing, installs the x86_64 programs in a private Wine
# prefix and runs them on a private Xvfb the way the platform starts them
# (ぬめらぼ.scr /s and /c from the install folder). The dialog and preview
# pictures come out byte for byte the same on every run of one build; the
# show's picture depends on the moment of the animation.
#
# Wine does not draw a child window into a window of another process, so the
# preview is made by the startup probe (a helper of the Wine tests) running
# the host's own preview code into a pane of its own process.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
OUT="$SRC/docs"
scripts/setup.sh
scripts/build.sh --windows-only >/dev/null
. scripts/wine-env.sh
PREFIX="$BUILD/screenshots-prefix"
scripts/wine-prefix.sh "$PREFIX"
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
WORK=$(mktemp -d)
PIDS=()

. scripts/xvfb.sh
finish() {
  if [ ${#PIDS[@]} -gt 0 ]; then kill "${PIDS[@]}" 2>/dev/null || true; fi
  "$WINESERVER" -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$WORK"
}
trap finish EXIT
start_xvfb
# No window manager runs on Xvfb: Wine draws the title bars itself, with the
# close box from Wine's Marlett (fonts-wine; this Wine does not find it in
# its own data folder).
cp /usr/share/wine/fonts/marlett.ttf "$PREFIX/drive_c/windows/Fonts/"
"$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The pointer stays out of every picture and off the dialog's buttons.
xdotool mousemove 1279 1023

INSTALL="$PREFIX/drive_c/Program Files/Numerabo"
rm -rf "$INSTALL"
mkdir -p "$INSTALL" "$OUT"
cp "$BUILD/x86_64/host/ぬめらぼ.scr" "$BUILD/x86_64/renderer/ぬめらぼ.dll" \
  "$BUILD/x86_64/helpers/startup_probe.exe" "$INSTALL/"
cd "$INSTALL"

wait_window() { # title pattern: waits until a window whose whole title matches is there
  for _ in $(seq 300); do
    if xdotool search --name "^$1\$" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "screenshots: no window \"$1\"" >&2
  return 1
}

grab() { # geometry WxH+X+Y, file: that part of the screen
  import -window root -crop "$1" +repage "$2"
}

still() { # geometry or window title, file: grabs until two grabs in a row
  # are the same, of the same place, and show more than a blank window
  local previous="" current where
  for _ in $(seq 50); do
    where=$1
    if [[ ! $where =~ ^[0-9]+x[0-9]+\+ ]]; then where=$(geometry_of "$1"); fi
    grab "$where" "$WORK/still.png"
    current="$where $(convert "$WORK/still.png" rgb:- | md5sum)"
    if [ "$current" = "$previous" ] && [ "$(identify -format %k "$WORK/still.png")" -gt 16 ]; then
      cp "$WORK/still.png" "$2"
      return 0
    fi
    previous=$current
    sleep 0.3
  done
  echo "screenshots: $1 did not settle" >&2
  return 1
}

save() { # source, target, extra convert options...: a small PNG without dates
  local from=$1 to=$2
  shift 2
  convert "$from" "$@" -strip -define png:exclude-chunks=date,time "$OUT/$to"
  echo "screenshots: docs/$to"
}

geometry_of() { # title: the window's WxH+X+Y
  local id
  id=$(xdotool search --name "^$1\$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$id")"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# --- The preview: a 152 x 112 pane at the top-left of a 216 x 162 one.
convert -size 216x162 xc:'#3c3c3c' "$WORK/outer.png"
display -title outer-pane -geometry +40+40 -borderwidth 0 "$WORK/outer.png" >/dev/null 2>&1 &
PIDS+=($!)
wait_window outer-pane
"$WINE_LOADER" startup_probe.exe preview-here 40 40 152 112 >"$WORK/probe.txt" &
PIDS+=($!)
for _ in $(seq 300); do
  if grep -q shown "$WORK/probe.txt"; then break; fi
  sleep 0.1
done
still 216x162+40+40 "$WORK/preview.png"
save "$WORK/preview.png" preview.png
kill "${PIDS[@]}" 2>/dev/null || true
PIDS=()

# --- The show over a desktop: a wallpaper and a Notepad window with a note.
convert -size 1280x1024 gradient:'#3f7cbf-#0b2545' \
  -fill '#ffffff30' -draw 'circle 980,760 980,1000' -draw 'circle 180,200 180,330' "$WORK/wallpaper.png"
display -title wallpaper -geometry +0+0 -borderwidth 0 "$WORK/wallpaper.png" >/dev/null 2>&1 &
PIDS+=($!)
wait_window wallpaper
printf 'ぬめらぼ\r\n\r\nデスクトップの写真が、ゆらゆら回る体に貼られます。\r\nEscape で終わります。\r\n' |
  iconv -f UTF-8 -t CP932 >"$PREFIX/drive_c/メモ.txt"
"$WINE_LOADER" notepad 'C:\メモ.txt' &
PIDS+=($!)
wait_window '.*メモ\.txt.*'
xdotool search --name '.*メモ\.txt.*' | head -1 | xargs -I{} xdotool windowsize {} 520 320 windowmove {} 700 600
"$WINE_LOADER" ぬめらぼ.scr /s &
HOST=$!
PIDS+=($HOST)
wait_window 'ぬめらぼ_VC'
sleep 3  # a few seconds into the animation
grab 1280x1024+0+0 "$WORK/show.png"
save "$WORK/show.png" show.png -resize 40% -colors 192
id=$(xdotool search --name '^ぬめらぼ_VC$' | head -1)
xdotool windowfocus --sync "$id" 2>/dev/null || true
# Held for a moment: the show looks at the key once per frame.
xdotool keydown Escape
sleep 0.3
xdotool keyup Escape
for _ in $(seq 100); do
  if ! kill -0 "$HOST" 2>/dev/null; then break; fi
  sleep 0.1
done
kill "${PIDS[@]}" 2>/dev/null || true
PIDS=()

# --- The settings dialog with an MP3 file chosen.
mkdir -p "$PREFIX/drive_c/Music"
printf 'ID3' >"$PREFIX/drive_c/Music/夜明けの海.mp3"
printf '[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=C:\\Music\\夜明けの海.mp3\r\n' |
  iconv -f UTF-8 -t CP932 >"$INSTALL/ぬめらぼ.ini"
"$WINE_LOADER" ぬめらぼ.scr /c &
PIDS+=($!)
wait_window '<ぬめらぼ>'
still '<ぬめらぼ>' "$WORK/settings.png"
save "$WORK/settings.png" settings.png
kill "${PIDS[@]}" 2>/dev/null || true
PIDS=()

# --- The setup program's first page. It is a 32-bit program, so it runs
# under the emulated 32-bit Wine (scripts/i686-wine.sh) where that can work.
if reason=$("$SRC/scripts/i686-wine.sh" --check); then
  "$SRC/scripts/i686-wine.sh" "$(ls "$BUILD"/dist/numerabo-*-setup.exe)" &
  PIDS+=($!)
  wait_window 'ぬめらぼ セットアップ'
  still 'ぬめらぼ セットアップ' "$WORK/setup.png"
  save "$WORK/setup.png" setup.png -colors 192
else
  echo "screenshots: no docs/setup.png, the 32-bit setup program cannot run here: $reason" >&2
fi
