#!/bin/bash
# scripts/fuzz.sh [seconds] [target...]: builds the fuzz targets (the fuzz
# build of scripts/build.sh, under ${NUMERABO_BUILD:-build}/fuzz) and runs
# each for seconds (300 unless given), NUMERABO_JOBS (the number of cores)
# at a time: the test command runs them for 15 s each, this is the longer
# run by hand. Without targets named, all of tests/fuzz/*_check.h. Each run
# goes on from the corpus earlier runs grew; a finding is left in
# tests/fuzz/<target>/found/ to be committed (docs/fuzzing.md). Exits
# non-zero when any target found something or cannot run here.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
seconds=${1:-300}
case "$seconds" in '' | *[!0-9]*) echo "fuzz: seconds must be a whole number" >&2; exit 2 ;; esac
shift $(($# > 0 ? 1 : 0))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for check in tests/fuzz/*_check.h; do
    name=$(basename "$check")
    targets+=("${name%_check.h}")
  done
fi
scripts/build.sh --fuzz
if [ ! -d "$BUILD/fuzz" ]; then
  echo "fuzz: no fuzz build; install clang-14 and libclang-rt-14-dev (scripts/setup.sh does)" >&2
  exit 1
fi
# run.sh exits 77 where it cannot run, 1 on a finding: either fails here.
printf '%s\n' "${targets[@]}" |
  xargs -P "${NUMERABO_JOBS:-$(nproc)}" -I{} bash tests/fuzz/run.sh "$BUILD/fuzz" {} "$seconds"
