// Timestamps of the saver's steps, for measuring a run from outside. Written
// only when the environment variable NUMERABO_TRACE names a log file; each
// call appends one line "<system time in 100 ns units since 1601> <step>".
// System time rather than a performance counter, so that the figures line up
// with the clock of whoever reads the log.
#pragma once

namespace numerabo {

void TraceStep(const char* step);

}  // namespace numerabo
