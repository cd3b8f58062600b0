// The desktop as Windows draws it without windows: the background colour
// and the wallpaper placed by the user's style. Kept free of Win32 so the
// arithmetic can be tested on its own; the host reads the values from the
// registry and the picture through the platform's codecs.
//
// Pictures here are rows of 4-byte pixels, blue, green, red and one byte
// that is not looked at (a 32-bit DIB section's layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

struct PixelRows {
  uint8_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  size_t stride = 0;  // bytes from one row to the next
};

void FillPixels(const PixelRows& target, uint32_t rgb);

// Hands out count rows of the picture from row first on, each width * 4
// bytes, one after the other; valid until the next call. Null when they
// cannot be read. Asked in ascending order except where a tiled picture
// starts again from its top, so a decoder never has to hold more than the
// rows asked for.
using PictureRowReader = std::function<const uint8_t*(int32_t first, int32_t count)>;

// Draws the picture of pictureWidth x pictureHeight where placement says,
// over what target holds, smoothly as Windows draws a wallpaper: reduced,
// each screen pixel is the mean of the picture's area it covers (weighted by
// how much of each pixel it covers); enlarged, it is interpolated between
// the four nearest pixels. The picture may be a reduced decode of the one
// placed: only its own size is read here. False when the reader failed: the
// rows drawn so far stay.
bool DrawWallpaper(const PixelRows& target, int32_t pictureWidth, int32_t pictureHeight,
                   const WallpaperPlacement& placement, const PictureRowReader& rows);

// True when every pixel has the same colour, or there is no pixel at all:
// what a capture gives where it cannot see the user's desktop.
bool IsFlatPicture(const uint8_t* pixels, int32_t width, int32_t height, size_t stride);

}  // namespace numerabo
