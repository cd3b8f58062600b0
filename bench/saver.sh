#!/bin/bash
# Times saver runs under Wine and prints the figures (fails nothing): from
# starting the host with /s to the renderer's first drawn frame, split into
# its steps, and from Escape to the end of the host; then the same start of a
# trivial GL program (window, context, one cleared frame) and the ratio of the
# saver's start over it. The steps come from the benchmark's own build of the
# host, which records them; the shipped host records nothing. Then starts as
# Windows starts an idle saver, on the Screen-saver desktop, with no
# wallpaper, a 3840 x 2160 JPEG and an 8000 x 6000 one: the stand-in for the
# desktop beside the capture's own time and beside Wine's codec alone
# decoding the same file whole, the host's peak memory beside the picture
# decoded; and an 8000 x 6000 picture through the test suite's codec that
# decodes at a fraction of the size, with the copies of pixels it was asked
# for. The screen is 1920 x 1080.
#   bench/saver.sh [runs]      (default 3; uses ${NUMERABO_BUILD:-build})
set -euo pipefail
. "$(dirname "$0")/wine_bench.sh"
NUMERABO_SCREEN=1920x1080x24 run_wine_bench saver_bench.py "${1:-3}" host/saver_bench_host.scr \
  renderer/ぬめらぼ.dll renderer/gl_first_frame.exe helpers/saver_desktop_start.exe host/wallpaper_decode.exe \
  helpers/reducing_codec.dll
