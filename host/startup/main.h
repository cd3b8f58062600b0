// Main: the host's start-up, run before any window exists. Decides the
// mode from the command line and does exactly one of: embed the preview,
// show the settings dialog, create the saver screen, or end.
#pragma once

namespace numerabo {

void Main();

}  // namespace numerabo
