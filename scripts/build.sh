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

# Every run configures again, with the build type and flags named here: a
# folder configured by hand (the cmake commands of docs/building.md give no build type)
# or by a shell with CFLAGS, CXXFLAGS or LDFLAGS set would otherwise build
# programs whose bytes differ from everyone else's release, silently. Those
# variables only seed a new cache, so they are cleared from the environment
# and the cached flags set empty; a configure that changes nothing rebuilds
# nothing.
configure() { # dir, build type, extra args...
  local dir=$1 type=$2; shift 2
  env -u CFLAGS -u CXXFLAGS -u LDFLAGS -u CPPFLAGS -u RCFLAGS \
    cmake --no-warn-unused-cli -S "$SRC" -B "$dir" -DCMAKE_BUILD_TYPE="$type" -DCMAKE_C_FLAGS= -DCMAKE_CXX_FLAGS= \
    -DCMAKE_EXE_LINKER_FLAGS= -DCMAKE_RC_FLAGS= "$@" >/dev/null
}

if [ "${1:-}" = "--arch" ]; then
  case "${2:-}" in x86_64 | i686) ;; *) echo "build: --arch needs x86_64 or i686" >&2; exit 2 ;; esac
  configure "$BUILD/$2" Release -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-$2.cmake"
  cmake --build "$BUILD/$2" -j "$JOBS" --target numerabo_host numerabo_renderer
  exit 0
fi
configure "$BUILD/x86_64" Release -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-x86_64.cmake"
configure "$BUILD/i686" Release -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/toolchain-i686.cmake"
targets=()
if [ "${1:-}" = "--release" ]; then targets=(--target numerabo_host numerabo_renderer); fi
cmake --build "$BUILD/x86_64" -j "$JOBS" "${targets[@]}"
cmake --build "$BUILD/i686" -j "$JOBS" "${targets[@]}"
if [ -z "${1:-}" ]; then
  configure "$BUILD/native" Debug \
    -DNUMERABO_WIN64_DIR="$BUILD/x86_64" -DNUMERABO_WIN32_DIR="$BUILD/i686"
  cmake --build "$BUILD/native" -j "$JOBS"
fi
scripts/dist.sh >/dev/null
