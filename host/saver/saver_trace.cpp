#include "host/saver/saver_trace.h"

namespace numerabo {

namespace {

StepRecorder g_recorder = nullptr;

}  // namespace

void SetStepRecorder(StepRecorder recorder) { g_recorder = recorder; }

void TraceStep(const char* step) {
  if (g_recorder) g_recorder(step);
}

}  // namespace numerabo
