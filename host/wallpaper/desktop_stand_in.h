// The user's desktop as Windows draws it without windows, for the times the
// capture cannot see it: Windows starts an idle saver on the window
// station's own "Screen-saver" desktop, whose empty surface is all a capture
// finds there.
#pragma once

#include <string>

#include "host/startup/framework/framework.h"
#include "host/wallpaper/stand_in_report.h"

namespace numerabo {

// Whether the calling thread runs on the window station's "Screen-saver"
// desktop, where Windows starts an idle saver. Desktops of other names
// (those of virtual-desktop tools, say) show the user's windows to a
// capture; a name that cannot be read counts as such a desktop.
bool OnScreenSaverDesktop();

// Fills image, already the screen's size, with the background colour and
// the wallpaper placed by the user's style. A wallpaper that is missing,
// cannot be read within its time or cannot be decoded gives Windows' own
// copy of it, or else the background colour alone. False, with the image
// untouched, when the image holds no pixels to draw into. report, where
// given, says what was drawn and why.
bool DrawDesktopStandIn(OffscreenImage& image, StandInReport* report = nullptr);

}  // namespace numerabo
