#!/bin/bash
# The test command: installs what is missing, builds all three builds,
# prepares the Wine prefixes, and runs the native unit tests and the Wine
# suite, against the x86_64 build and (emulated) the i686 one, through ctest
# on a private Xvfb display, then (on a run of everything) checks that a
# second build of the release gives the same bytes
# (scripts/check-reproducible.sh). Exits non-zero on any failure; the last
# line names each skipped test, and each case skipped inside a test that
# ran, with the reason.
# Extra arguments go to ctest (for example -R wine.test_preview); such a run
# leaves the reproducibility check out.
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
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
echo "test: Wine suite on display $DISPLAY"
log="$BUILD/native/test-output.log"
status=0
ctest --test-dir "$BUILD/native" --output-on-failure -j "${NUMERABO_JOBS:-2}" "$@" | tee "$log" || status=$?
if [ $# -eq 0 ]; then
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
