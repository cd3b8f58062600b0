#include "host/saver/wallpaper_layout.h"

#include <algorithm>
#include <vector>

namespace numerabo {

namespace {

// Sizes beyond this are no screen or picture the platform hands out; they
// are refused so that the products below stay well inside 64 bits.
constexpr int64_t kLargestSide = int64_t{1} << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A whole number of at most nine digits between blanks, or -1.
int64_t WholeNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  int64_t value = 0;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 9) {
    value = value * 10 + (text[i] - '0');
    ++i;
    ++digits;
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  return digits > 0 && i == text.size() ? value : -1;
}

// Half of value, rounded down also for a negative one, so that a picture
// larger than the screen shifts the same way as a smaller one.
int64_t FloorHalf(int64_t value) { return value >= 0 ? value / 2 : -((-value + 1) / 2); }

// numerator / denominator to the nearest whole number, at least 1.
int64_t RoundedAtLeastOne(int64_t numerator, int64_t denominator) {
  return std::max<int64_t>(1, (2 * numerator + denominator) / (2 * denominator));
}

void PutColour(uint8_t* pixel, uint32_t rgb) {
  pixel[0] = static_cast<uint8_t>(rgb);
  pixel[1] = static_cast<uint8_t>(rgb >> 8);
  pixel[2] = static_cast<uint8_t>(rgb >> 16);
}

// The picture's columns (or rows) [first, end) that one screen column (or
// row) covers, at an offset within the placed rectangle of drawn size.
struct Span {
  int64_t first;
  int64_t end;
};

Span Covered(int64_t offset, int64_t drawn, int32_t picture) {
  const int64_t first = offset * picture / drawn;
  return {first, std::max(first + 1, (offset + 1) * picture / drawn)};
}

bool DrawTiled(const PixelRows& target, int32_t pictureWidth, int32_t pictureHeight,
               const PictureRowReader& rows) {
  for (int32_t y = 0; y < target.height; ++y) {
    const uint8_t* source = rows(y % pictureHeight, 1);
    if (!source) return false;
    uint8_t* out = target.pixels + static_cast<size_t>(y) * target.stride;
    for (int32_t x = 0; x < target.width; ++x) {
      const uint8_t* in = source + static_cast<size_t>(x % pictureWidth) * 4;
      out[x * 4] = in[0];
      out[x * 4 + 1] = in[1];
      out[x * 4 + 2] = in[2];
    }
  }
  return true;
}

}  // namespace

WallpaperFit WallpaperFitOf(const std::string& style, const std::string& tile) {
  switch (WholeNumber(style)) {
    case 2:
      return WallpaperFit::Stretch;
    case 6:
      return WallpaperFit::Fit;
    case 10:
    case 22:
      return WallpaperFit::Fill;
    default:
      return WholeNumber(tile) == 1 ? WallpaperFit::Tile : WallpaperFit::Centre;
  }
}

WallpaperPlacement PlaceWallpaper(WallpaperFit fit, int32_t screenWidth, int32_t screenHeight,
                                  int32_t pictureWidth, int32_t pictureHeight) {
  WallpaperPlacement place;
  const int64_t sw = screenWidth, sh = screenHeight, pw = pictureWidth, ph = pictureHeight;
  if (sw <= 0 || sh <= 0 || pw <= 0 || ph <= 0) return place;
  if (sw > kLargestSide || sh > kLargestSide || pw > kLargestSide || ph > kLargestSide) return place;
  // The screen is relatively wider than the picture when sw / sh > pw / ph.
  const bool screenWider = sw * ph > sh * pw;
  switch (fit) {
    case WallpaperFit::Tile:
      place.tiled = true;
      place.width = pw;
      place.height = ph;
      return place;
    case WallpaperFit::Stretch:
      place.width = sw;
      place.height = sh;
      return place;
    case WallpaperFit::Centre:
      place.width = pw;
      place.height = ph;
      break;
    case WallpaperFit::Fit:  // the whole picture, touching two sides
      place.width = screenWider ? RoundedAtLeastOne(pw * sh, ph) : sw;
      place.height = screenWider ? sh : RoundedAtLeastOne(ph * sw, pw);
      break;
    case WallpaperFit::Fill:  // the whole screen, cropping two sides
      place.width = screenWider ? sw : RoundedAtLeastOne(pw * sh, ph);
      place.height = screenWider ? RoundedAtLeastOne(ph * sw, pw) : sh;
      break;
  }
  place.x = FloorHalf(sw - place.width);
  place.y = FloorHalf(sh - place.height);
  return place;
}

bool ParseBackgroundColour(const std::string& text, uint32_t* rgb) {
  uint32_t value = 0;
  size_t i = 0;
  for (int part = 0; part < 3; ++part) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    const int64_t number = WholeNumber(text.substr(start, i - start));
    if (number < 0 || number > 255) return false;
    value = (value << 8) | static_cast<uint32_t>(number);
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i != text.size()) return false;
  *rgb = value;
  return true;
}

void FillPixels(const PixelRows& target, uint32_t rgb) {
  if (!target.pixels) return;
  for (int32_t y = 0; y < target.height; ++y) {
    uint8_t* row = target.pixels + static_cast<size_t>(y) * target.stride;
    for (int32_t x = 0; x < target.width; ++x) PutColour(row + x * 4, rgb);
  }
}

bool DrawWallpaper(const PixelRows& target, int32_t pictureWidth, int32_t pictureHeight,
                   const WallpaperPlacement& placement, const PictureRowReader& rows) {
  if (!target.pixels || target.width <= 0 || target.height <= 0 || pictureWidth <= 0 || pictureHeight <= 0 ||
      placement.width <= 0 || placement.height <= 0) {
    return true;
  }
  if (placement.tiled) return DrawTiled(target, pictureWidth, pictureHeight, rows);

  const int64_t left = std::max<int64_t>(0, placement.x);
  const int64_t right = std::min<int64_t>(target.width, placement.x + placement.width);
  const int64_t top = std::max<int64_t>(0, placement.y);
  const int64_t bottom = std::min<int64_t>(target.height, placement.y + placement.height);
  if (left >= right || top >= bottom) return true;

  std::vector<Span> columns;
  columns.reserve(static_cast<size_t>(right - left));
  for (int64_t x = left; x < right; ++x) columns.push_back(Covered(x - placement.x, placement.width, pictureWidth));

  const size_t sourceStride = static_cast<size_t>(pictureWidth) * 4;
  Span held = {-1, -1};
  const uint8_t* band = nullptr;
  for (int64_t y = top; y < bottom; ++y) {
    const Span span = Covered(y - placement.y, placement.height, pictureHeight);
    // An enlarged picture asks for the same rows again: they are still held.
    if (span.first != held.first || span.end != held.end) {
      band = rows(static_cast<int32_t>(span.first), static_cast<int32_t>(span.end - span.first));
      if (!band) return false;
      held = span;
    }
    uint8_t* out = target.pixels + static_cast<size_t>(y) * target.stride + static_cast<size_t>(left) * 4;
    for (const Span& column : columns) {
      uint64_t sum[3] = {0, 0, 0};
      for (int64_t r = 0; r < span.end - span.first; ++r) {
        const uint8_t* in = band + static_cast<size_t>(r) * sourceStride + static_cast<size_t>(column.first) * 4;
        for (int64_t c = column.first; c < column.end; ++c, in += 4) {
          sum[0] += in[0];
          sum[1] += in[1];
          sum[2] += in[2];
        }
      }
      const uint64_t count = static_cast<uint64_t>((span.end - span.first) * (column.end - column.first));
      for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>((sum[i] + count / 2) / count);
      out += 4;
    }
  }
  return true;
}

bool IsFlatPicture(const uint8_t* pixels, int32_t width, int32_t height, size_t stride) {
  if (!pixels || width <= 0 || height <= 0) return true;
  const uint8_t b = pixels[0], g = pixels[1], r = pixels[2];
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x, row += 4) {
      if (row[0] != b || row[1] != g || row[2] != r) return false;
    }
  }
  return true;
}

}  // namespace numerabo
