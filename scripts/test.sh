#!/bin/bash
# The test command: installs what is missing, builds all three builds,
# prepares the Wine prefixes, and runs the native unit tests and the Wine
# suite, against the x86_64 build and (emulated) the i686 one, through ctest
# on a private Xvfb display, then (on a run of everything) checks that a
# second build of the release gives the same bytes
# (scripts/check-reproducible.sh). Exits non-zero on any failure; the last
# line says how many tests were skipped and why.
# Extra arguments go to ctest (for example -R wine.test_preview); such a run
# leaves the reproducibility check out.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
scripts/setup.sh
scripts/build.sh
scripts/wine-prefix.sh "$BUILD/native/wine/template"
if reason=$(scripts/i686-wine.sh --check); then
  reason=""
  scripts/wine-prefix.sh "$BUILD/native/wine/template-i686" i686
else
  echo "test: the i686 Wine tests will be skipped: $reason"
fi
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
echo "test: Wine suite on display $DISPLAY"
log="$BUILD/native/test-output.log"
status=0
ctest --test-dir "$BUILD/native" --output-on-failure -j "${NUMERABO_JOBS:-2}" "$@" | tee "$log" || status=$?
if [ $# -eq 0 ]; then
  scripts/check-reproducible.sh || status=$?
fi
# The last line says what did not run: a skipped test is no passed one.
skipped=$(grep -c '\*\*\*Skipped' "$log" || true)
if [ "$skipped" -eq 0 ]; then
  echo "test: nothing skipped"
elif [ -n "$reason" ]; then
  echo "test: $skipped skipped (the i686 Wine tests: the 32-bit build cannot run here: $reason)"
else
  echo "test: $skipped skipped (their reasons are in $BUILD/native/Testing/Temporary/LastTest.log)"
fi
exit "$status"
