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
# owner or access times (scripts/dist_zip.py). BUILDINFO.txt, listed in
# SHA256SUMS too, names the tools and flags that made them.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # Only the commit's own time: a file's time depends on how the sources were
  # copied, and git answers nothing outside a clone or in one it does not
  # trust (another user's: "dubious ownership").
  if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$PWD" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
  fi
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "dist: git gives no commit time here (no clone, or one git does not trust); set SOURCE_DATE_EPOCH to the commit's time (git log -1 --format=%ct in its clone) and run again" >&2
    exit 1
  fi
fi
export SOURCE_DATE_EPOCH
# Only what the release configuration built (scripts/build.sh configures it).
for arch in i686 x86_64; do
  cache="$BUILD/$arch/CMakeCache.txt"
  if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$cache" 2>/dev/null ||
     grep -qE '^CMAKE_(C|CXX|EXE_LINKER|RC)_FLAGS:STRING=.' "$cache"; then
    echo "dist: $BUILD/$arch is not configured for a release (build type Release, no extra flags); scripts/build.sh --release configures and builds it" >&2
    exit 1
  fi
done
export TZ=UTC LC_ALL=C.UTF-8
stamp() { touch -h -d "@$SOURCE_DATE_EPOCH" "$@"; }
# Debian's Python (its zlib writes the zips), whatever another user's PATH
# puts first.
PYTHON=$(command -v /usr/bin/python3 || command -v python3)

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
  (cd "$BUILD/dist" && rm -f "numerabo-$arch.zip" && "$PYTHON" "$OLDPWD/scripts/dist_zip.py" "numerabo-$arch.zip" "numerabo-$arch")
done

# The setup program's first and last page carry a strip of the saver's own
# picture (packaging/setup-wizard.bmp: host/resources/artwork/back.jpg
# flopped, so that its lettering, stored mirrored, reads, scaled to 314 x 314
# and cut to its left 164 x 314), committed so that no picture tool's version
# changes the setup's bytes.
wizard="$BUILD/dist/setup-wizard.bmp"
cp packaging/setup-wizard.bmp "$wizard"
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

# What someone rebuilding elsewhere must match to get the same bytes: the
# Debian packages of the tools and the flags the programs were built with
# (the build folders' own paths replaced, as the build maps them away).
tool() { # command, its option that prints the version
  local path from package
  path=$(readlink -f "$(command -v "$1")")
  from="$path, from no Debian package"
  if package=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1) && [ -n "$package" ]; then
    from="Debian package $package $(dpkg-query -W -f '${Version}' "$package")"
  fi
  printf '%s: %s (%s)\n' "$1" "$("$1" "$2" 2>&1 | head -1)" "$from"
}
flags() { # build folder: the compile and link flags of the host
  local dir=$1/host/CMakeFiles/numerabo_host.dir
  sed -n 's/^CXX_FLAGS = //p' "$dir/flags.make"
  tr ' ' '\n' < "$dir/link.txt" | grep -E '^-(s|static.*|Wl,.*|O.*|m.*)$' |
    grep -vE 'whole-archive|out-implib|image-version' | tr '\n' ' '
  echo
}
{
  echo "ぬめらぼ $(sed -n 's/^#define NUMERABO_VERSION_TEXT "\(.*\)"/\1/p' host/resources/texts.h), SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"
  for t in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ i686-w64-mingw32-ld x86_64-w64-mingw32-ld; do
    tool "$t" --version
  done
  printf 'MinGW-w64 runtime: mingw-w64-i686-dev %s, mingw-w64-x86-64-dev %s\n' \
    "$(dpkg-query -W -f '${Version}' mingw-w64-i686-dev 2>/dev/null || echo '?')" \
    "$(dpkg-query -W -f '${Version}' mingw-w64-x86-64-dev 2>/dev/null || echo '?')"
  tool makensis -VERSION
  tool cmake --version
  tool "$PYTHON" --version
  for arch in i686 x86_64; do
    printf 'flags (%s): ' "$arch"
    flags "$BUILD/$arch" | sed "s|$BUILD/$arch|<build>|g; s|$PWD|<source>|g" | tr '\n' ' ' | sed 's/ *$//'
    echo
  done
} > "$BUILD/dist/BUILDINFO.txt"

# What a download is checked against: sha256sum -c SHA256SUMS here, or
# certutil / Get-FileHash on Windows (see docs/install.md).
(cd "$BUILD/dist" && rm -f SHA256SUMS &&
  sha256sum numerabo-*-setup.exe numerabo-i686.zip numerabo-x86_64.zip BUILDINFO.txt > SHA256SUMS.new &&
  mv SHA256SUMS.new SHA256SUMS)
echo "dist: $BUILD/dist/numerabo-i686 and $BUILD/dist/numerabo-x86_64, $(ls "$BUILD"/dist/numerabo-*-setup.exe), BUILDINFO.txt, SHA256SUMS"
