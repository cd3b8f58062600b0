#!/bin/bash
# Configures and builds the three builds under ${NUMERABO_BUILD:-build}:
# native (unit tests, sanitizers), x86_64 and i686 (the Windows programs).
# With "--windows-only" only the two MinGW builds are made, with "--release"
# only what they ship (the two programs each, no test helpers or benchmarks).
# With "--arch x86_64" (or i686) only that architecture's two programs, for
# scripts/run.sh: no other build, no test helpers, no release files.
# A full build also makes the fuzz build (clang, libFuzzer: tests/fuzz) where
# clang's fuzzer runtime is installed, and removes it where not, so that the
# fuzz tests skip rather than run stale programs; "--fuzz" makes only that.
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

# The clang that links libFuzzer with the sanitizers, or nothing.
fuzz_compiler() {
  local cxx probe
  probe=$(mktemp -d)
  for cxx in clang++-14 clang++; do
    command -v "$cxx" >/dev/null || continue
    if echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
      "$cxx" -x c++ -fsanitize=fuzzer,address,undefined - -o "$probe/probe" 2>/dev/null; then
      echo "$cxx"
      break
    fi
  done
  rm -rf "$probe"
}

build_fuzz() {
  local cxx
  cxx=$(fuzz_compiler)
  if [ -z "$cxx" ]; then
    echo "build: no clang with libFuzzer here (packages clang-14, libclang-rt-14-dev): the fuzz tests will be skipped"
    rm -rf "$BUILD/fuzz"
    return 0
  fi
  configure "$BUILD/fuzz" RelWithDebInfo -DNUMERABO_FUZZ=ON \
    -DCMAKE_CXX_COMPILER="$(command -v "$cxx")" -DCMAKE_C_COMPILER="$(command -v "${cxx/clang++/clang}")"
  cmake --build "$BUILD/fuzz" -j "$JOBS"
}

if [ "${1:-}" = "--fuzz" ]; then
  build_fuzz
  exit 0
fi
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
    -DNUMERABO_WIN64_DIR="$BUILD/x86_64" -DNUMERABO_WIN32_DIR="$BUILD/i686" -DNUMERABO_FUZZ_DIR="$BUILD/fuzz"
  cmake --build "$BUILD/native" -j "$JOBS"
  build_fuzz
fi
scripts/dist.sh >/dev/null
