// Marks of the saver's steps ("load", "captured", ... "end"), for timing a
// run. The shipped host records nothing and reads no environment: only the
// saver benchmark's own build of the host installs a recorder.
#pragma once

namespace numerabo {

using StepRecorder = void (*)(const char* step);

// Installs the recorder that TraceStep hands each step to (nullptr: none).
void SetStepRecorder(StepRecorder recorder);

void TraceStep(const char* step);

}  // namespace numerabo
