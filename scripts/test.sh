#!/bin/bash
# The test command: installs what is missing, builds all three builds,
# prepares the Wine prefixes, and runs the native unit tests and the Wine
# suite, against the x86_64 build and (emulated) the i686 one, through ctest,
# then (on a run of everything) checks that a second build of the release
# gives the same bytes (scripts/check-reproducible.sh). Exits non-zero on any
# failure; the last line names each skipped test, and each case skipped
# inside a test that ran, with the reason.
# Extra arguments go to ctest (for example -R wine.test_preview); such a run
# leaves the reproducibility check out.
# ctest runs NUMERABO_JOBS tests at a time (default 4: the Wine tests spend
# most of their time waiting on Wine and its windows, not on the cores),
# each Wine test file on a private Xvfb display of its own. With
# NUMERABO_SHARED_DISPLAY=1 the Wine files share one display instead and go
# one at a time (beside the native tests), as the suite once ran: for
# comparison (bench/test_wall_time.sh) and for telling a fault of running
# side by side from another. Side by side, the reproducibility check runs
# beside the tests too (niced), and reports once they are done.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath -m "${NUMERABO_BUILD:-build}")
scripts/setup.sh
scripts/build.sh
scripts/wine-prefix.sh "$BUILD/native/wine/template"
if reason=$(scripts/i686-wine.sh --check); then
  reason=""
  scripts/wine-prefix.sh "$BUILD/native/wine/template-i686" i686
else
  echo "test: the 32-bit programs cannot run here, so the tests that need them will be skipped: $reason"
fi
jobs=${NUMERABO_JOBS:-4}
args=(-j "$jobs")
. scripts/xvfb.sh
reproduce_pid=""
# shellcheck disable=SC2317  # run by the trap
finish() {
  if [ -n "$reproduce_pid" ]; then kill -- -"$reproduce_pid" 2>/dev/null || true; fi
  stop_xvfb
}
trap finish EXIT
if [ "${NUMERABO_SHARED_DISPLAY:-}" = 1 ]; then
  start_xvfb
  export NUMERABO_SHARED_DISPLAY
  # One slot of the resource every Wine test takes (tests/wine/CMakeLists.txt).
  resources="$BUILD/native/one-display.json"
  echo '{"version": {"major": 1, "minor": 0}, "local": [{"x_display": [{"id": "0", "slots": 1}]}]}' >"$resources"
  args+=(--resource-spec-file "$resources")
  echo "test: Wine suite one file at a time on display $DISPLAY"
else
  unset NUMERABO_SHARED_DISPLAY
  # More tests than cores make each one slower: the waits' limits grow with
  # the share of a core each test gets (tests/wine/harness.py).
  NUMERABO_PATIENCE=${NUMERABO_PATIENCE:-$(awk -v j="$jobs" -v c="$(nproc)" 'BEGIN { print (j > c ? j / c : 1) }')}
  export NUMERABO_PATIENCE
  echo "test: $jobs tests at a time, each Wine test file on an X display of its own (waits' patience x$NUMERABO_PATIENCE)"
fi
log="$BUILD/native/test-output.log"
status=0
reproduce_log="$BUILD/native/reproduce-output.log"
if [ $# -eq 0 ] && [ -z "${NUMERABO_SHARED_DISPLAY:-}" ]; then
  # The reproducibility check's second build goes beside the tests, on the
  # cores their waits leave idle (hence nice), in a session of its own so
  # that an interrupted run ends its builds too; its report follows theirs.
  # The first build is the one made above, which the tests read.
  NUMERABO_REPRODUCE_FIRST_BUILT=1 setsid nice -n 19 scripts/check-reproducible.sh >"$reproduce_log" 2>&1 &
  reproduce_pid=$!
fi
ctest --test-dir "$BUILD/native" --output-on-failure "${args[@]}" "$@" | tee "$log" || status=$?
if [ -n "$reproduce_pid" ]; then
  wait "$reproduce_pid" || status=$?
  reproduce_pid=""
  cat "$reproduce_log"
elif [ $# -eq 0 ]; then
  scripts/check-reproducible.sh || status=$?
fi
# The last line says what did not run: a skipped test is no passed one. It
# names each skipped test with the reason it gave (in ctest's log of every
# test's output), and the cases that skipped themselves inside a test that
# ran (run_file.py's "skipped cases:" line).
last="$BUILD/native/Testing/Temporary/LastTest.log"
[ -f "$last" ] || last=/dev/null
names=$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Skipped.*/\1/p' "$log" | tr '\n' ' ')
awk -v names="$names" '
  BEGIN { n = split(names, list, " "); for (i = 1; i <= n; i++) if (list[i] != "") skipped[list[i]] = 1 }
  /^[0-9]+\/[0-9]+ Test: / { name = $3 }
  /^skipped: / && (name in skipped) && !(name in why) { why[name] = substr($0, 10) }
  /^skipped cases: / { cases = cases (cases == "" ? "" : "; ") name " " substr($0, 16) }
  END {
    count = 0; groups = 0
    for (i = 1; i <= n; i++) {
      t = list[i]; if (t == "") continue
      count++
      r = (t in why) ? why[t] : "no reason given"
      if (!(r in members)) order[++groups] = r
      members[r] = members[r] (members[r] == "" ? "" : ", ") t
    }
    line = count == 0 ? "test: no test skipped" : "test: " count " skipped:"
    for (g = 1; g <= groups; g++) line = line (g > 1 ? ";" : "") " " members[order[g]] " (" order[g] ")"
    if (cases != "") line = line "; cases skipped in tests that ran: " cases
    else if (count == 0) line = "test: nothing skipped"
    print line
  }' "$last"
exit "$status"
