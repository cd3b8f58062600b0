// The wallpaper drawn onto the screen's pixels once it is placed and
// decoded: smoothly, as Windows draws it. Win32-free, tested natively.
//
// Pictures here are rows of 4-byte pixels, blue, green, red and one byte
// that is not looked at (a 32-bit DIB section's layout).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "host/wallpaper/wallpaper_layout.h"

namespace numerabo {

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

}  // namespace numerabo
