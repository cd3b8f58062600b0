// What the user's desktop shows without windows, as the platform answers
// it: the wallpaper's file, its placement and the background colour.
#pragma once

#include <cstdint>
#include <string>

#include "host/wallpaper/wallpaper_layout.h"

namespace numerabo {

struct DesktopLook {
  std::wstring wallpaper;  // "" where the user chose a solid colour
  // The shell names no one picture (a slideshow, or pictures that differ
  // per monitor): Windows' copy of the one shown stands for it.
  bool windowsCopy = false;
  WallpaperFit fit = WallpaperFit::Centre;
  uint32_t background = 0;  // 0xRRGGBB
  const char* from = "control-panel";  // "shell", "policy" or "control-panel"
};

// Asks the shell first (Windows 8 and later: the primary monitor's picture,
// with group policy already applied; where it names no one picture,
// windowsCopy); where the shell cannot answer, group policy's values, then
// Control Panel's. Needs COM on the calling thread.
DesktopLook ReadDesktopLook();

}  // namespace numerabo
