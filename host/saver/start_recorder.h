// Gathers the facts of one saver start as the saver screen goes through it,
// and writes the start's record once the renderer has started and the
// foreground has been seen.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/saver/start_record.h"
#include "host/wallpaper/desktop_stand_in.h"

namespace numerabo {

class StartRecorder {
 public:
  // The time, the build, the platform and the desktop; the steps' clock runs
  // from the process's start.
  StartRecorder();

  // Marks a step for the saver's trace and the record: the milliseconds
  // since the mark before.
  void Step(const char* name);
  void Capture(CaptureOutcome outcome) { facts_.capture = outcome; }
  void StandIn(bool drawn, const StandInReport& report);
  void RendererStarted(bool started) { facts_.rendererStarted = started; }

  // One look of the renderer watch: the renderer's window found (or null)
  // and the renderer's process (or null). Its first sight and its showing
  // are steps; the record is written as soon as the foreground is settled.
  void Watch(HWND window, HANDLE renderer);

  // The host ends: the record is written if it was not.
  void Finish();

 private:
  void Write();

  StartFacts facts_;
  uint64_t lastMarkMs_ = 0;
  uint64_t windowShownMs_ = 0;
  bool written_ = false;
};

}  // namespace numerabo
