"""Runs one test file of the Wine suite for ctest (python3 run_file.py
test_x). When the build it is meant for cannot run on this machine (the i686
one without working emulation, or a file whose module-level
unavailable_reason() names something else it needs) it runs nothing and
exits with SKIPPED, the code ctest is told to report as a skipped test: a
test whose every case skipped itself would otherwise count as passed. Cases
that skipped themselves in a file that ran are named in one closing line,
"skipped cases: ...", which scripts/test.sh gathers into its last line.
The file's tests run on an X display of the file's own (harness.OwnDisplay),
started only once the file is known to run."""

import collections
import importlib
import sys
import unittest

import harness

SKIPPED = 77  # SKIP_RETURN_CODE in CMakeLists.txt


def main():
    reason = harness.unavailable_reason()
    if reason:
        print("skipped: the %s build cannot run here: %s" % (harness.ARCH, reason))
        return SKIPPED
    module = importlib.import_module(sys.argv[1])
    reason = getattr(module, "unavailable_reason", lambda: None)()
    if reason:
        print("skipped: %s" % reason)
        return SKIPPED
    # Its own X display, so that other files can run at the same time.
    with harness.OwnDisplay() as display:
        print("display %s" % display, flush=True)
        program = unittest.main(module=module, argv=[sys.argv[0], "-v"], exit=False)
    # A case kept for another run of the file (the other architecture or
    # code page) is that run's, not one that could not run here.
    reasons = collections.Counter(reason for _, reason in program.result.skipped
                                  if reason not in harness.OTHER_RUNS_CASE)
    if reasons:
        print("skipped cases: " + "; ".join("%d (%s)" % (n, reason) for reason, n in reasons.items()))
    return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
