// The user's desktop as Windows draws it without windows, for the times the
// capture cannot see it: Windows starts an idle saver on the window
// station's own "Screen-saver" desktop, whose empty surface is all a capture
// finds there.
#pragma once

#include <cstdint>
#include <string>

#include "host/startup/framework/framework.h"

namespace numerabo {

// Whether the calling thread runs on the window station's "Screen-saver"
// desktop, where Windows starts an idle saver. Desktops of other names
// (those of virtual-desktop tools, say) show the user's windows to a
// capture; a name that cannot be read counts as such a desktop.
bool OnScreenSaverDesktop();

// What the stand-in took and why, for the start's record: what only a real
// Windows shows reaches the developers through it.
struct StandInReport {
  // Where the look came from: "shell", "policy" or "control-panel".
  std::string values;
  // The picture drawn: "wallpaper", "windows-copy" or "colour".
  std::string source;
  // Why the sources before it were passed over, "; " between them (for
  // example "wallpaper: timed out"); empty when the first one served.
  std::string passedOver;
  std::wstring wallpaper;  // the wallpaper's path as the look names it
  std::string fit;         // "centre", "tile", "stretch", "fit", "fill" or "span"
  int32_t reduction = 0;   // 1 decoded whole, 2, 4 or 8 reduced by the codec; 0 nothing decoded
  uint32_t valuesMs = 0, readMs = 0, decodeMs = 0, drawMs = 0;
};

// Fills image, already the screen's size, with the background colour and
// the wallpaper placed by the user's style. A wallpaper that is missing,
// cannot be read within its time or cannot be decoded gives Windows' own
// copy of it, or else the background colour alone. False, with the image
// untouched, when the image holds no pixels to draw into. report, where
// given, says what was drawn and why.
bool DrawDesktopStandIn(OffscreenImage& image, StandInReport* report = nullptr);

}  // namespace numerabo
