#!/bin/bash
# The test command: installs what is missing, builds all three builds,
# prepares the Wine prefixes, and runs the native unit tests and the Wine
# suite, against the x86_64 build and (emulated) the i686 one, through ctest
# on a private Xvfb display. Exits non-zero on any failure.
# Extra arguments go to ctest (for example -R wine.test_preview).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
scripts/setup.sh
scripts/build.sh
scripts/wine-prefix.sh "$BUILD/native/wine/template"
if reason=$(scripts/i686-wine.sh --check); then
  scripts/wine-prefix.sh "$BUILD/native/wine/template-i686" i686
else
  echo "test: the i686 Wine tests will be skipped: $reason"
fi
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
echo "test: Wine suite on display $DISPLAY"
ctest --test-dir "$BUILD/native" --output-on-failure -j "${NUMERABO_JOBS:-2}" "$@"
