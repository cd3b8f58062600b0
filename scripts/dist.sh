#!/bin/bash
# Lays out what users install: one folder and one zip per architecture
# holding exactly the two programs and a short install note, the setup
# program holding both builds (packaging/installer.nsi), and SHA256SUMS
# listing the files that are downloaded.
#
# The same commit gives the same bytes in every one of them, from any folder,
# user, locale or time zone (scripts/check-reproducible.sh checks it): every
# file time is SOURCE_DATE_EPOCH, the time of the last commit when it is not
# set, and the zips hold their entries in one order, with fixed modes and no
# owner or access times (scripts/dist_zip.py).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # Outside a clone (a source archive made by git archive) the files carry
  # the commit's time themselves.
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || stat -c %Y host/resources/texts.h)
fi
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C.UTF-8
stamp() { touch -h -d "@$SOURCE_DATE_EPOCH" "$@"; }

for arch in i686 x86_64; do
  out="$BUILD/dist/numerabo-$arch"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$BUILD/$arch/host/ぬめらぼ.scr" "$out/"
  if [ -f "$BUILD/$arch/renderer/ぬめらぼ.dll" ]; then cp "$BUILD/$arch/renderer/ぬめらぼ.dll" "$out/"; fi
  # With a byte-order mark and CR LF: older Windows' Notepad takes a file
  # without the mark for the ANSI code page, and LF alone for no line end.
  { printf '\xef\xbb\xbf'; sed "s/@ARCH@/$arch/; s/\$/\r/" packaging/INSTALL.txt; } > "$out/INSTALL.txt"
  chmod 755 "$out"
  chmod 644 "$out"/*
  stamp "$out" "$out"/*
  (cd "$BUILD/dist" && rm -f "numerabo-$arch.zip" && python3 "$OLDPWD/scripts/dist_zip.py" "numerabo-$arch.zip" "numerabo-$arch")
done

# The setup program's first and last page carry a strip of the saver's own
# picture, flopped so that its lettering, stored mirrored, reads.
wizard="$BUILD/dist/setup-wizard.bmp"
convert host/resources/artwork/back.jpg -flop -resize 314x314 -crop 164x314+0+0 +repage \
  -type TrueColor "BMP3:$wizard"
# makensis stores each file's time with it, and gives the installed files
# that time.
stamp "$wizard"
rm -f "$BUILD"/dist/numerabo-*-setup.exe
# The kilobytes one build's two programs take, for the size the setup shows.
kb() { du -k --apparent-size -c "$BUILD/dist/numerabo-$1"/ぬめらぼ.* | tail -1 | cut -f1; }
# makensis names files through the locale: a UTF-8 one for the Japanese names.
makensis -V2 -INPUTCHARSET UTF8 -DDIST="$BUILD/dist" -DWIZARD="$wizard" \
  -DSIZE_I686="$(kb i686)" -DSIZE_X86_64="$(kb x86_64)" "$PWD/packaging/installer.nsi"
rm -f "$wizard"

# What a download is checked against: sha256sum -c SHA256SUMS here, or
# certutil / Get-FileHash on Windows (see the README).
(cd "$BUILD/dist" && rm -f SHA256SUMS &&
  sha256sum numerabo-*-setup.exe numerabo-i686.zip numerabo-x86_64.zip > SHA256SUMS.new &&
  mv SHA256SUMS.new SHA256SUMS)
echo "dist: $BUILD/dist/numerabo-i686 and $BUILD/dist/numerabo-x86_64, $(ls "$BUILD"/dist/numerabo-*-setup.exe), SHA256SUMS"
