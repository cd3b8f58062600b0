#!/bin/bash
# Lays out what users install: one folder and one zip per architecture
# holding exactly the two programs and a short install note.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
for arch in i686 x86_64; do
  out="$BUILD/dist/numerabo-$arch"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$BUILD/$arch/host/ぬめらぼ.scr" "$out/"
  if [ -f "$BUILD/$arch/renderer/ぬめらぼ.dll" ]; then cp "$BUILD/$arch/renderer/ぬめらぼ.dll" "$out/"; fi
  sed "s/@ARCH@/$arch/" packaging/INSTALL.txt > "$out/INSTALL.txt"
  (cd "$BUILD/dist" && rm -f "numerabo-$arch.zip" && zip -qr "numerabo-$arch.zip" "numerabo-$arch")
done
echo "dist: $BUILD/dist/numerabo-i686 and $BUILD/dist/numerabo-x86_64"
