// Where the wallpaper goes: the user's style as the registry texts and the
// shell's numbers say it, the placement of the picture on the screen, and
// the background colour. Win32-free, so that the arithmetic is tested on
// its own; the host reads the values from the registry and the shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace numerabo {

// WallpaperStyle with TileWallpaper, as HKCU\Control Panel\Desktop keeps
// them: 0 centre (tiled from the top-left when TileWallpaper is 1),
// 2 stretch, 6 fit, 10 fill, 22 span (one picture filling the box around
// all monitors, each showing its part).
enum class WallpaperFit { Centre, Tile, Stretch, Fit, Fill, Span };

const char* WallpaperFitName(WallpaperFit fit);

// The two registry texts (either may be empty: the value is missing). A
// style the platform does not define counts as centre, its default.
WallpaperFit WallpaperFitOf(const std::string& style, const std::string& tile);

// The other numbering of the same choice, that of the shell's answer
// (DESKTOP_WALLPAPER_POSITION) and of group policy's WallpaperStyle:
// 0 centre, 1 tile, 2 stretch, 3 fit, 4 fill, 5 span. False, fit untouched,
// for any other number.
bool WallpaperFitOfPosition(int64_t position, WallpaperFit* fit);

// The policy's WallpaperStyle as the registry text holds it; false (fit
// untouched) when it is missing or no position, so that Control Panel's
// value applies.
bool PolicyWallpaperFit(const std::string& text, WallpaperFit* fit);

// Where the picture goes on the screen: its rectangle at the size it is
// drawn, which may reach past the screen (a centred or filling picture is
// cropped). A tiled picture repeats its own size from the top-left.
struct WallpaperPlacement {
  bool tiled = false;
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;   // 0: nothing is drawn
  int64_t height = 0;
};

// The box around all monitors, in the primary screen's pixels with the
// primary's top-left at 0, 0 (a monitor left of or above it makes x or y
// negative). Empty: the primary screen alone.
struct MonitorsBox {
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;
};

// The placement on the primary screen of screenWidth x screenHeight. Span
// fills the monitors' box, of which the primary shows its part; with no box
// it fills the screen.
WallpaperPlacement PlaceWallpaper(WallpaperFit fit, int32_t screenWidth, int32_t screenHeight,
                                  int32_t pictureWidth, int32_t pictureHeight, const MonitorsBox& monitors = {});

// The largest reduction (8, 4 or 2; 1 for none) at which a codec that
// decodes at 1/2, 1/4 or 1/8 of the size (rounding up) still gives at least
// the size drawn, so that the smooth reduction does the rest.
int32_t LargestDecodeReduction(int32_t pictureWidth, int32_t pictureHeight, int64_t drawnWidth, int64_t drawnHeight);

// "R G B" as HKCU\Control Panel\Colors keeps Background; each a number from
// 0 to 255, separated by blanks. Sets rgb to 0xRRGGBB; false (rgb
// untouched) for anything else.
bool ParseBackgroundColour(const std::string& text, uint32_t* rgb);

}  // namespace numerabo
