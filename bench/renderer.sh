#!/bin/bash
# Renderer benchmark: prints figures, fails nothing.
#   - frames per second of the real frame (DrawFrame + SwapBuffers at
#     1024 x 768) beside clear + swap alone in the same context, as a ratio;
#   - the time of the texture loads: a desktop bitmap of a 1920 x 1080 screen
#     and of a 3840 x 2160 (4K) one, and the 512 x 512 picture;
#   - peak memory: of the benchmark process as Windows reports it, and of the
#     real renderer program after a few seconds of running (VmHWM of its Wine
#     process, Wine's own share included).
# Builds the Windows programs if needed and runs on its own Xvfb and prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
scripts/build.sh --windows-only >/dev/null
PREFIX="$BUILD/bench/renderer-prefix"
scripts/wine-prefix.sh "$PREFIX" >/dev/null
. scripts/wine-env.sh
export WINEPREFIX="$PREFIX" HOME="$PREFIX/home"
. scripts/xvfb.sh
trap 'stop_xvfb; "$WINESERVER" -k 2>/dev/null || true' EXIT
start_xvfb

# Desktop-like pictures of 1920 x 1080 and 3840 x 2160, and the 512 x 512 one.
python3 - "$PREFIX/drive_c" <<'PY'
import struct, sys, os
def write(path, w, h, pixel_row):
    stride = (w * 3 + 3) & ~3
    body = b"".join(pixel_row(w, y) + b"\0" * (stride - w * 3) for y in range(h))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    open(path, "wb").write(head + info + body)
def gradient(w, y):
    return bytes(v for x in range(0, w, 8) for v in (x & 255, y & 255, (x ^ y) & 255)) * 8
write(os.path.join(sys.argv[1], "Numerabo1.bmp"), 1920, 1080, lambda w, y: gradient(w, y)[:w * 3])
write(os.path.join(sys.argv[1], "Numerabo4K.bmp"), 3840, 2160, lambda w, y: gradient(w, y)[:w * 3])
write(os.path.join(sys.argv[1], "Numerabo2.bmp"), 512, 512, lambda w, y: gradient(w, y)[:w * 3])
PY

echo "renderer benchmark (Wine $("$WINE_LOADER" --version 2>/dev/null), display $DISPLAY)"
"$WINE_LOADER" "$BUILD/x86_64/renderer/renderer_bench.exe" 2>/dev/null | tr -d '\r'

# The real program, as the host starts it.
mkdir -p "$PREFIX/drive_c/Numerabo"
cp "$BUILD/x86_64/renderer/ぬめらぼ.dll" "$PREFIX/drive_c/Numerabo/"
"$WINE_LOADER" "$PREFIX/drive_c/Numerabo/ぬめらぼ.dll" >/dev/null 2>&1 &
PID=$!
sleep 8
PEAK=$(awk '/^VmHWM/ {print $2}' "/proc/$PID/status" 2>/dev/null || echo 0)
echo "renderer program peak resident memory after 8 s: $((PEAK / 1024)) MiB (VmHWM, Wine included)"
"$WINE_LOADER" "$BUILD/x86_64/helpers/renderer_post_close.exe" >/dev/null 2>&1 || kill "$PID" 2>/dev/null || true
wait "$PID" 2>/dev/null || true
