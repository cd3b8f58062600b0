#!/bin/bash
# Times saver runs under Wine and prints the figures (fails nothing): from
# starting the host with /s to the renderer's first drawn frame, split into
# its steps, and from Escape to the end of the host; then the same start of a
# trivial GL program (window, context, one cleared frame) and the ratio of the
# saver's start over it. The steps come from the benchmark's own build of the
# host, which records them; the shipped host records nothing.
#   bench/saver.sh [runs]      (default 3; uses ${NUMERABO_BUILD:-build})
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
if [ ! -f "$BUILD/x86_64/host/saver_bench_host.scr" ] || [ ! -f "$BUILD/x86_64/renderer/ぬめらぼ.dll" ] ||
   [ ! -f "$BUILD/x86_64/renderer/gl_first_frame.exe" ]; then
  scripts/build.sh --windows-only
fi
scripts/wine-prefix.sh "$BUILD/native/wine/template" >/dev/null
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
NUMERABO_SOURCE_DIR="$PWD" NUMERABO_WIN64_DIR="$BUILD/x86_64" NUMERABO_WINE_WORK="$BUILD/native/wine" \
  PYTHONPATH="$PWD/tests/wine" PYTHONDONTWRITEBYTECODE=1 python3 bench/saver_bench.py "${1:-3}"
