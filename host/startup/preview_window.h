// Numerabo_R, the small picture the display settings show in their preview
// pane.
#pragma once

#include <windows.h>

namespace numerabo {

// Embeds the preview into parent: creates it hidden, makes it a child of
// parent at (0, 0) with the parent's size, and shows it. False when the
// preview window could not be created.
bool ShowPreviewIn(HWND parent);

}  // namespace numerabo
