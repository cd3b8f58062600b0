// The user's desktop as Windows draws it without windows, for the times the
// capture cannot see it: Windows starts an idle saver on the window
// station's own "Screen-saver" desktop, whose empty surface is all a capture
// finds there.
#pragma once

#include <string>

#include "host/startup/framework/framework.h"

namespace numerabo {

// Whether the calling thread runs on the user's own desktop ("Default"),
// the one a capture shows. A name that cannot be read counts as the user's:
// the capture then decides by what it found.
bool OnUsersDesktop();

// Fills image, already the screen's size, with the background colour and
// the wallpaper placed by the user's style. A wallpaper that is missing or
// cannot be decoded leaves the background colour alone. False, with the
// image untouched, when the image holds no pixels to draw into.
bool DrawDesktopStandIn(OffscreenImage& image);

}  // namespace numerabo
