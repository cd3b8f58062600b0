// Loading the host's compiled-in artwork with the platform's own picture
// services. Every function returns null (or false) when the resource is
// missing or cannot be decoded; callers then simply show nothing.
#pragma once

#include <windows.h>

namespace numerabo {

// Decodes the RCDATA JPEG with the given id into a new 32-bit DIB section
// of the picture's size, owned by the caller.
HBITMAP LoadJpegPicture(int id);

// One of the image button's 24-bit state pictures, as a DIB section.
HBITMAP LoadButtonPicture(int id);

HICON LoadNumeraboIcon();
HCURSOR LoadPointingHand();

bool PictureSize(HBITMAP picture, int* width, int* height);

}  // namespace numerabo
