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
. "$(dirname "$0")/wine_bench.sh"
run_wine_bench soak_bench.py "${1:-30}" host/ぬめらぼ.scr renderer/ぬめらぼ.dll helpers/startup_probe.exe
