#!/bin/bash
# Times the test command both ways and prints the figures (fails nothing):
# first the way it ran before each Wine test file had a display of its own
# (NUMERABO_SHARED_DISPLAY=1: one display, the Wine files one at a time,
# ctest -j NUMERABO_SERIAL_JOBS, default 2, so native tests beside them as
# then), then as it runs now (each file on its own display, ctest -j
# NUMERABO_JOBS or scripts/test.sh's default). For each: the wall time, the
# share of the cores left idle (idle and iowait jiffies over all, from
# /proc/stat, across the run) and whether it passed; then the ratio of the
# two wall times.
#   bench/test_wall_time.sh [ctest arguments]
# With no arguments both runs are the whole test command (reproducibility
# check included); with arguments (e.g. -R 'wine\.test_(settings|music)')
# both run that ctest subset. Everything is built and prepared once before
# the first run, so that neither run pays for it. Use a quiet machine: the
# idle share shows how much of it the runs had.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")

# Jiffies of all cores: "total idle" (idle + iowait) from the cpu line.
jiffies() {
  awk '$1 == "cpu" { t = 0; for (i = 2; i <= 9; i++) t += $i; print t, $5 + $6; exit }' /proc/stat
}

# run LABEL ENV... -- ARGS: one run of scripts/test.sh; sets the figures.
results=()
run() {
  local label=$1 log=$BUILD/bench-test-$2.log
  shift 2
  local envs=()
  while [ "$1" != -- ]; do envs+=("$1"); shift; done
  shift
  local t0 i0 t1 i1 start end status=0
  read -r t0 i0 < <(jiffies)
  start=$(date +%s.%N)
  env "${envs[@]}" scripts/test.sh "$@" >"$log" 2>&1 || status=$?
  end=$(date +%s.%N)
  read -r t1 i1 < <(jiffies)
  local wall idle
  wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.0f", b - a }')
  idle=$(awk -v t=$((t1 - t0)) -v i=$((i1 - i0)) 'BEGIN { printf "%.0f", (t > 0 ? 100 * i / t : 0) }')
  results+=("$wall")
  printf 'bench: %s: %s s wall, cores %s %% idle, %s (log %s)\n' "$label" "$wall" "$idle" \
    "$([ "$status" = 0 ] && echo passed || echo "FAILED ($status)")" "$log"
  # How the run went about it, and its last line: what it skipped.
  { grep -m 1 '^test: .*at a time' "$log"; tail -n 1 "$log"; } | sed 's/^/bench:   /'
}

echo "bench: preparing (setup, builds, Wine prefixes); log $BUILD/bench-test-prepare.log"
# A ctest run of no test: everything scripts/test.sh does before and around it.
mkdir -p "$BUILD"
scripts/test.sh -R '^no test has this name$' >"$BUILD/bench-test-prepare.log" 2>&1 ||
  { tail -n 20 "$BUILD/bench-test-prepare.log"; echo "bench: the preparation failed"; exit 1; }

serial_jobs=${NUMERABO_SERIAL_JOBS:-2}
run "one display, Wine files one at a time (-j $serial_jobs)" serial \
  NUMERABO_SHARED_DISPLAY=1 NUMERABO_JOBS="$serial_jobs" -- "$@"
run "a display per file, side by side" parallel \
  NUMERABO_SHARED_DISPLAY= -- "$@"
awk -v s="${results[0]}" -v p="${results[1]}" \
  'BEGIN { printf "bench: side by side / one at a time = %.2f of the wall time (%d s / %d s)\n", (s > 0 ? p / s : 0), p, s }'
