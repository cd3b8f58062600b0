#!/bin/bash
# Lays out what users install: one folder and one zip per architecture
# holding exactly the two programs and a short install note, and the setup
# program holding both builds (packaging/installer.nsi).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
for arch in i686 x86_64; do
  out="$BUILD/dist/numerabo-$arch"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$BUILD/$arch/host/ぬめらぼ.scr" "$out/"
  if [ -f "$BUILD/$arch/renderer/ぬめらぼ.dll" ]; then cp "$BUILD/$arch/renderer/ぬめらぼ.dll" "$out/"; fi
  # With a byte-order mark and CR LF: older Windows' Notepad takes a file
  # without the mark for the ANSI code page, and LF alone for no line end.
  { printf '\xef\xbb\xbf'; sed "s/@ARCH@/$arch/; s/\$/\r/" packaging/INSTALL.txt; } > "$out/INSTALL.txt"
  (cd "$BUILD/dist" && rm -f "numerabo-$arch.zip" && zip -qr "numerabo-$arch.zip" "numerabo-$arch")
done

# The setup program's first and last page carry a strip of the saver's own
# picture, flopped so that its lettering, stored mirrored, reads.
wizard="$BUILD/dist/setup-wizard.bmp"
convert host/resources/artwork/back.jpg -flop -resize 314x314 -crop 164x314+0+0 +repage \
  -type TrueColor "BMP3:$wizard"
rm -f "$BUILD"/dist/numerabo-*-setup.exe
# The kilobytes one build's two programs take, for the size the setup shows.
kb() { du -k --apparent-size -c "$BUILD/dist/numerabo-$1"/ぬめらぼ.* | tail -1 | cut -f1; }
# makensis names files through the locale: a UTF-8 one for the Japanese names.
LC_ALL=C.UTF-8 makensis -V2 -INPUTCHARSET UTF8 -DDIST="$BUILD/dist" -DWIZARD="$wizard" \
  -DSIZE_I686="$(kb i686)" -DSIZE_X86_64="$(kb x86_64)" "$PWD/packaging/installer.nsi"
rm -f "$wizard"
echo "dist: $BUILD/dist/numerabo-i686 and $BUILD/dist/numerabo-x86_64, $(ls "$BUILD"/dist/numerabo-*-setup.exe)"
