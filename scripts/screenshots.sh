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
. scripts/wine-lib.sh
OUT="$SRC/docs"
set_up scripts/setup.sh
scripts/build.sh --windows-only >/dev/null
wine_prefix "$BUILD/screenshots-prefix"
headless
# No window manager runs on Xvfb: Wine draws the title bars itself, with the
# close box from Wine's Marlett (fonts-wine; this Wine does not find it in
# its own data folder).
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$WINE_LOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# The pointer stays out of every picture and off the dialog's buttons.
xdotool mousemove 1279 1023
# No settings from an earlier run.
rm -rf "$INSTALL"
install_saver x86_64 "$BUILD/x86_64/helpers/startup_probe.exe"
mkdir -p "$OUT"

save() { # source, target, extra convert options...: a small PNG without dates
  local from=$1 to=$2
  shift 2
  convert "$from" "$@" -strip -define png:exclude-chunks=date,time "$OUT/$to"
  echo "screenshots: docs/$to"
}

# --- The preview: a 152 x 112 pane at the top-left of a 216 x 162 one.
convert -size 216x162 xc:'#3c3c3c' "$WORK/outer.png"
picture outer-pane +40+40 "$WORK/outer.png"
start "$WINE_LOADER" startup_probe.exe preview-here 40 40 152 112 >"$WORK/probe.txt"
need 30 "the startup probe showed no preview" grep -q shown "$WORK/probe.txt"
need 30 "the preview did not settle" settled 216x162+40+40 "$WORK/preview.png"
save "$WORK/preview.png" preview.png
stop_started

# --- The show over a desktop: a wallpaper and a Notepad window with a note.
convert -size 1280x1024 gradient:'#3f7cbf-#0b2545' \
  -fill '#ffffff30' -draw 'circle 980,760 980,1000' -draw 'circle 180,200 180,330' "$WORK/wallpaper.png"
picture wallpaper +0+0 "$WORK/wallpaper.png"
printf 'ぬめらぼ\r\n\r\nデスクトップの写真が、ゆらゆら回る体に貼られます。\r\nEscape で終わります。\r\n' |
  iconv -f UTF-8 -t CP932 >"$WINEPREFIX/drive_c/メモ.txt"
start "$WINE_LOADER" notepad 'C:\メモ.txt'
need 30 "Notepad did not open the note" has_window '.*メモ\.txt.*'
note=$(window_of '.*メモ\.txt.*')
xdotool windowsize "$note" 520 320 windowmove "$note" 700 600
saver /s
need 30 "no show window appeared" has_window 'ぬめらぼ_VC'
sleep 3  # a few seconds into the animation
import -window root "$WORK/show.png"
save "$WORK/show.png" show.png -resize 40% -colors 192
end_show
stop_started

# --- The settings dialog with an MP3 file chosen.
mkdir -p "$WINEPREFIX/drive_c/Music"
printf 'ID3' >"$WINEPREFIX/drive_c/Music/夜明けの海.mp3"
printf '[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=C:\\Music\\夜明けの海.mp3\r\n' |
  iconv -f UTF-8 -t CP932 >"$INSTALL/ぬめらぼ.ini"
saver /c
settings_dialog "$WORK/settings.png"
save "$WORK/settings.png" settings.png
stop_started

# --- The setup program's first page. It is a 32-bit program, so it runs
# under the emulated 32-bit Wine (scripts/i686-wine.sh) where that can work.
if reason=$(scripts/i686-wine.sh --check); then
  start "$SRC/scripts/i686-wine.sh" "$(ls "$BUILD"/dist/numerabo-*-setup.exe)"
  need 60 "the setup program showed no page" has_window 'ぬめらぼ セットアップ'
  need 30 "the setup program's page did not settle" settled 'ぬめらぼ セットアップ' "$WORK/setup.png"
  save "$WORK/setup.png" setup.png -colors 192
else
  echo "screenshots: no docs/setup.png, the 32-bit setup program cannot run here: $reason" >&2
fi
