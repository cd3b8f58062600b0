// The zoom animation of the settings dialog, from and to the zoom origin
// (the pointer position the dialog was opened from).
#pragma once

#include <windows.h>

namespace numerabo {

// Animates a rectangle growing from the zoom origin to the window, and back.
void ZoomOpen(HWND window);
void ZoomClose(HWND window);

}  // namespace numerabo
