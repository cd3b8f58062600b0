#!/bin/bash
# Configures and builds the three builds under ${NUMERABO_BUILD:-build}:
# native (unit tests, sanitizers), x86_64 and i686 (the Windows programs).
# With "--windows-only" only the two MinGW builds are made, with "--release"
# only what they ship (the two programs each, no test helpers or benchmarks).
# With "--arch x86_64" (or i686) only that architecture's two programs, for
# scripts/run.sh: no other build, no test helpers, no release files.
set -euo pipefail
cd "$(dirname "$0")/.."
SRC=$(pwd)
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
JOBS=${NUMERABO_JOBS:-$(nproc)}

configure() { # dir, extra args...
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$SRC" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
}

if [ "${1:-}" = "--arch" ]; then
  case "${2:-}" in x86_64 | i686) ;; *) echo "build: --arch needs x86_64 or i686" >&2; exit 2 ;; esac
  configure "$BUILD/$2" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-$2.cmake"
  cmake --build "$BUILD/$2" -j "$JOBS" --target numerabo_host numerabo_renderer
  exit 0
fi
configure "$BUILD/x86_64" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-x86_64.cmake"
configure "$BUILD/i686" -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-i686.cmake"
targets=()
if [ "${1:-}" = "--release" ]; then targets=(--target numerabo_host numerabo_renderer); fi
cmake --build "$BUILD/x86_64" -j "$JOBS" "${targets[@]}"
cmake --build "$BUILD/i686" -j "$JOBS" "${targets[@]}"
if [ -z "${1:-}" ]; then
  configure "$BUILD/native" -DCMAKE_BUILD_TYPE=Debug \
    -DNUMERABO_WIN64_DIR="$BUILD/x86_64" -DNUMERABO_WIN32_DIR="$BUILD/i686"
  cmake --build "$BUILD/native" -j "$JOBS"
fi
scripts/dist.sh >/dev/null
