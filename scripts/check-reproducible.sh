#!/bin/bash
# Checks that the release is reproducible: builds it a second time, from a
# copy of the sources in a folder of another name, into another build folder,
# later, with another umask, locale and time zone (and as the user "nobody"
# when run as root), then compares every file of the two build/dist folders
# byte for byte and checks both SHA256SUMS. On a difference it names the file
# and the first offset at which the two differ, and exits non-zero.
#
# The second build's folders are first configured by hand the way the
# cmake commands of docs/building.md do it (no build type) with flags in the
# environment, as a stale build folder would be: the release must come out
# the same all the same.
#
# The first build is ${NUMERABO_BUILD:-build}, brought up to date here (see
# NUMERABO_REPRODUCE_FIRST_BUILT below); the
# second is made below it in reproduce.XXXXXX, removed again when both
# agree and kept for a look when they do not. Outside a git clone (an
# unpacked source archive) it needs SOURCE_DATE_EPOCH, as scripts/dist.sh does.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
started=$(date +%s)

clone=0
if [ "$(git rev-parse --show-toplevel 2>/dev/null)" = "$SRC" ]; then clone=1; fi
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  if [ "$clone" = 1 ]; then SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true); fi
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    echo "reproduce: git gives no commit time here (no clone, or one git does not trust); set SOURCE_DATE_EPOCH to the commit's time and run again" >&2
    exit 1
  fi
fi
# Both builds take the same time; the second one's copy is no clone.
export SOURCE_DATE_EPOCH

# With NUMERABO_REPRODUCE_FIRST_BUILT=1 the first build is taken as it is:
# scripts/test.sh has just made it, and runs this check beside tests that
# read it, which a new layout of its release files would pull away.
if [ "${NUMERABO_REPRODUCE_FIRST_BUILT:-}" != 1 ]; then scripts/build.sh --release >/dev/null; fi

rm -rf "$BUILD"/reproduce.*
again=$(mktemp -d "$BUILD/reproduce.XXXXXX")
chmod 755 "$again"
mkdir "$again/numerabo-source-copy" "$again/home"
if [ "$clone" = 1 ]; then
  # The files git knows, as they are now (changes not yet committed
  # included), and the new ones it does not ignore.
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar --null -T - -cf - | tar -xf - -C "$again/numerabo-source-copy"
else
  # Everything but the build folders.
  tar --exclude=./build --exclude="./${BUILD#"$SRC"/}" -cf - . | tar -xf - -C "$again/numerabo-source-copy"
fi

# Whatever differs from the first build's shell: the locale (Japanese or
# not), the time zone, the umask, and the user where that can be changed.
case "${LC_ALL:-${LANG:-}}" in
  ja_JP*) locale=C.UTF-8 ;;
  *) locale=ja_JP.UTF-8 ;;
esac
as_user=()
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
  chown -R nobody: "$again"
  nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  # Only if nobody can reach the folder (a build below /root cannot).
  if "${nobody[@]}" test -w "$again/home"; then as_user=("${nobody[@]}"); fi
fi
echo "reproduce: second build in $again, locale $locale, time zone Pacific/Kiritimati, umask 077${as_user:+, user nobody}"
second_started=$(date +%s)
for arch in i686 x86_64; do
  env CFLAGS=-O0 CXXFLAGS="-O0 -g" LDFLAGS=-g cmake -S "$again/numerabo-source-copy" -B "$again/out/$arch" \
    -DCMAKE_TOOLCHAIN_FILE="$again/numerabo-source-copy/cmake/toolchain-$arch.cmake" > "$again/configure-$arch.log"
done
if [ ${#as_user[@]} -gt 0 ]; then chown -R nobody: "$again/out"; fi
(umask 077
 env -u LANGUAGE LANG="$locale" LC_ALL="$locale" TZ=Pacific/Kiritimati HOME="$again/home" \
   SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" NUMERABO_BUILD="$again/out" \
   "${as_user[@]}" "$again/numerabo-source-copy/scripts/build.sh" --release) > "$again/build.log" 2>&1 ||
  { tail -20 "$again/build.log"; echo "reproduce: the second build failed (log: $again/build.log)"; exit 1; }
second=$(( $(date +%s) - second_started ))

first_dist="$BUILD/dist" second_dist="$again/out/dist"
differing=0 files=0
while IFS= read -r -d '' rel; do
  files=$((files + 1))
  a="$first_dist/$rel" b="$second_dist/$rel"
  if [ ! -f "$a" ] || [ ! -f "$b" ]; then
    echo "reproduce: $rel is in one build only"
    differing=$((differing + 1))
  elif ! out=$(LC_ALL=C cmp "$a" "$b" 2>&1); then
    # cmp counts bytes from 1.
    if [[ $out =~ differ:\ (char|byte)\ ([0-9]+) ]]; then
      offset=$((BASH_REMATCH[2] - 1))
      printf 'reproduce: %s differs, first at offset %d (0x%x)\n' "$rel" "$offset" "$offset"
    else
      echo "reproduce: $rel differs: $out"
    fi
    differing=$((differing + 1))
  fi
done < <( { (cd "$first_dist" && find . -type f -printf '%P\0'); (cd "$second_dist" && find . -type f -printf '%P\0'); } |
          LC_ALL=C sort -zu)

for dist in "$first_dist" "$second_dist"; do
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS) || { echo "reproduce: SHA256SUMS does not match in $dist"; differing=$((differing + 1)); }
done

if [ "$differing" -ne 0 ]; then
  echo "reproduce: FAILED, $differing of $files release files differ (the second build is kept in $again)"
  exit 1
fi
sed 's/^/reproduce: second build: /' "$second_dist/SHA256SUMS"
rm -rf "$again"
echo "reproduce: all $files release files are the same in both builds, SHA256SUMS matches;" \
  "the check took $(( $(date +%s) - started )) s, the second build $second s"
