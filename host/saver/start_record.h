// The start's record: what a saver start decided and how long each step
// took, as a short text the user can attach to a report. What only a real
// Windows shows (the desktop the saver was started on, what the capture
// found there, where the stand-in's picture came from, whether the show
// reached the foreground) reaches the developers this way. Win32-free: the
// saver screen gathers the facts, host/saver/start_record_file.cpp writes
// the text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/wallpaper/stand_in_report.h"

namespace numerabo {

// What became of the desktop capture.
enum class CaptureOutcome {
  Used,                // it showed the user's screen and was kept
  Failed,              // the platform's calls failed
  ScreenSaverDesktop,  // taken on Windows' own empty desktop, so not looked at
  Flat,                // one colour all over: no desktop to see
};

// Whose window was in the foreground when the record looked.
enum class Foreground {
  Unknown,   // the renderer's window was never seen shown
  Renderer,  // one of the renderer's
  Host,      // one of the host's own
  Other,     // another program's
  None,      // no window at all
};

enum class StandInOutcome {
  NotNeeded,  // the capture was used
  Drawn,
  NoImage,  // there were no pixels to draw into
};

// One step of the start, as the saver's step marks name it, and the
// milliseconds since the mark before it (for the first, since the process
// started).
struct StartStep {
  std::string name;
  uint32_t ms = 0;
};

struct StartFacts {
  std::string time;       // local time of the start, "YYYY-MM-DD hh:mm:ss"
  std::string host;       // the build: "x86_64" or "i686"
  std::string windows;    // the platform's version, as the program finds it
  std::wstring desktop;   // the thread desktop's name; "" when it could not be read
  CaptureOutcome capture = CaptureOutcome::Failed;
  StandInOutcome standIn = StandInOutcome::NotNeeded;
  StandInReport standInReport;  // when it was drawn
  bool rendererStarted = false;
  std::vector<StartStep> steps;
  bool rendererWindowSeen = false;
  bool rendererWindowShown = false;
  Foreground foreground = Foreground::Unknown;
  uint32_t foregroundLookedMs = 0;  // after the window was shown
};

// The record is written once the renderer's window has come to the
// foreground, or this long after the window was shown without it (or
// as the host ends, should the show end sooner): a window shown may become
// the foreground a moment later, and the record says which it was.
constexpr uint32_t kForegroundPatienceMs = 2000;
bool ForegroundSettled(Foreground foreground, uint64_t msSinceWindowShown);

// The longest value in UTF-16 units; longer ones (a wallpaper value of a
// broken registry, say) are cut and end in "...".
constexpr size_t kLongestRecordValue = 1024;

// The record's text: UTF-8, one "key: value" line each, CR LF between lines
// for Notepad of every Windows version. UTF-8 because the wallpaper's path
// may hold characters Shift-JIS has no form for, and the record is read on
// other systems. A value never spans lines: a control character in it
// becomes "?".
std::string StartRecordText(const StartFacts& facts);

}  // namespace numerabo
