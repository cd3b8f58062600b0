#!/bin/bash
# Long-run benchmark: prints figures, fails nothing. The show (/s) runs for
# the given minutes with MP3 music repeating while the memory of the host and
# the renderer is sampled every 10 s; then the preview is started 200 times
# into a pane and each time ended with TerminateProcess, as the display
# settings do; then the settings dialog is opened and closed 50 times. It
# prints each process's memory at the start and the end, the growth after the
# first minute per hour, and any process left over.
#   bench/soak.sh [minutes]    (default 30; uses ${NUMERABO_BUILD:-build})
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
if [ ! -f "$BUILD/x86_64/host/ぬめらぼ.scr" ] || [ ! -f "$BUILD/x86_64/renderer/ぬめらぼ.dll" ] ||
   [ ! -f "$BUILD/x86_64/helpers/startup_probe.exe" ]; then
  scripts/build.sh --windows-only
fi
scripts/wine-prefix.sh "$BUILD/native/wine/template" >/dev/null
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
NUMERABO_SOURCE_DIR="$PWD" NUMERABO_WIN64_DIR="$BUILD/x86_64" NUMERABO_WINE_WORK="$BUILD/native/wine" \
  PYTHONPATH="$PWD/tests/wine" PYTHONDONTWRITEBYTECODE=1 python3 bench/soak_bench.py "${1:-30}"
