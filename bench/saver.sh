#!/bin/bash
# Times saver runs under Wine and prints the figures (fails nothing): from
# starting the host with /s to the renderer's first drawn frame, split into
# its steps, and from Escape to the end of the host; then the same start of a
# trivial GL program (window, context, one cleared frame) and the ratio of the
# saver's start over it. The steps come from the benchmark's own build of the
# host, which records them; the shipped host records nothing.
#   bench/saver.sh [runs]      (default 3; uses ${NUMERABO_BUILD:-build})
set -euo pipefail
. "$(dirname "$0")/wine_bench.sh"
run_wine_bench saver_bench.py "${1:-3}" host/saver_bench_host.scr renderer/ぬめらぼ.dll renderer/gl_first_frame.exe
