#!/bin/bash
# run.sh FUZZ_BUILD NAME SECONDS: runs the fuzz target NAME of the fuzz build
# for SECONDS over its committed seeds and findings and the corpus it grew in
# earlier runs (FUZZ_BUILD/corpus/NAME). Exits 0 when nothing was found; 1 on
# a finding, whose input libFuzzer leaves in tests/fuzz/NAME/found/ to be
# committed and so replayed by every later run and by the native suite; 77
# (skipped) where there is no fuzz build.
set -u
build=$1 name=$2 seconds=$3
here=$(cd "$(dirname "$0")" && pwd)
program="$build/tests/fuzz/fuzz_$name"
if [ -z "$build" ] || [ ! -x "$program" ]; then
  echo "skipped: no fuzz build (scripts/build.sh makes one where clang++-14 and libFuzzer, package libclang-rt-14-dev, are installed)"
  exit 77
fi
corpus="$build/corpus/$name"
mkdir -p "$corpus" "$here/$name/found"
log="$build/corpus/$name.log"
# libFuzzer's own exit code for a finding is 77, ctest's skip: every finding
# exits 1 here.
"$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -error_exitcode=1 -timeout_exitcode=1 \
  -print_final_stats=1 -artifact_prefix="$here/$name/found/" \
  "$corpus" "$here/$name/seeds" "$here/$name/found" >"$log" 2>&1
status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ "$status" -eq 0 ]; then
  echo "fuzz $name: ${runs:-?} inputs in ${seconds} s, nothing found"
  exit 0
fi
# The report: the failed property or the sanitizer's, and where the input is.
tail -n 60 "$log"
echo "fuzz $name: FOUND a failing input after ${runs:-?} runs (exit $status); it is in tests/fuzz/$name/found/:"
echo "commit it, mend the reader, and add a native test case for it"
exit 1
