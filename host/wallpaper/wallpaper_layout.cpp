#include "host/wallpaper/wallpaper_layout.h"

#include <algorithm>

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

}  // namespace

WallpaperFit WallpaperFitOf(const std::string& style, const std::string& tile) {
  switch (WholeNumber(style)) {
    case 2:
      return WallpaperFit::Stretch;
    case 6:
      return WallpaperFit::Fit;
    case 10:
      return WallpaperFit::Fill;
    case 22:
      return WallpaperFit::Span;
    default:
      return WholeNumber(tile) == 1 ? WallpaperFit::Tile : WallpaperFit::Centre;
  }
}

bool WallpaperFitOfPosition(int64_t position, WallpaperFit* fit) {
  static const WallpaperFit kByPosition[] = {WallpaperFit::Centre, WallpaperFit::Tile, WallpaperFit::Stretch,
                                             WallpaperFit::Fit,    WallpaperFit::Fill, WallpaperFit::Span};
  if (position < 0 || position > 5) return false;
  *fit = kByPosition[position];
  return true;
}

bool PolicyWallpaperFit(const std::string& text, WallpaperFit* fit) {
  return WallpaperFitOfPosition(WholeNumber(text), fit);
}

const char* WallpaperFitName(WallpaperFit fit) {
  switch (fit) {
    case WallpaperFit::Centre:
      return "centre";
    case WallpaperFit::Tile:
      return "tile";
    case WallpaperFit::Stretch:
      return "stretch";
    case WallpaperFit::Fit:
      return "fit";
    case WallpaperFit::Fill:
      return "fill";
    case WallpaperFit::Span:
      return "span";
  }
  return "centre";
}

WallpaperPlacement PlaceWallpaper(WallpaperFit fit, int32_t screenWidth, int32_t screenHeight,
                                  int32_t pictureWidth, int32_t pictureHeight, const MonitorsBox& monitors) {
  WallpaperPlacement place;
  int64_t sw = screenWidth, sh = screenHeight, left = 0, top = 0;
  const int64_t pw = pictureWidth, ph = pictureHeight;
  if (sw <= 0 || sh <= 0 || pw <= 0 || ph <= 0) return place;
  if (sw > kLargestSide || sh > kLargestSide || pw > kLargestSide || ph > kLargestSide) return place;
  if (fit == WallpaperFit::Span) {
    fit = WallpaperFit::Fill;
    // A box that does not hold the primary screen is no box of its monitors.
    const MonitorsBox& m = monitors;
    if (m.width > 0 && m.height > 0 && m.width <= kLargestSide && m.height <= kLargestSide && m.x <= 0 &&
        m.y <= 0 && m.x + m.width >= sw && m.y + m.height >= sh) {
      left = m.x, top = m.y, sw = m.width, sh = m.height;
    }
  }
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
    case WallpaperFit::Span:
      place.width = screenWider ? sw : RoundedAtLeastOne(pw * sh, ph);
      place.height = screenWider ? RoundedAtLeastOne(ph * sw, pw) : sh;
      break;
  }
  place.x = left + FloorHalf(sw - place.width);
  place.y = top + FloorHalf(sh - place.height);
  return place;
}

int32_t LargestDecodeReduction(int32_t pictureWidth, int32_t pictureHeight, int64_t drawnWidth, int64_t drawnHeight) {
  for (const int32_t fraction : {8, 4, 2}) {
    const int64_t width = (int64_t{pictureWidth} + fraction - 1) / fraction;
    const int64_t height = (int64_t{pictureHeight} + fraction - 1) / fraction;
    if (pictureWidth > 0 && pictureHeight > 0 && width >= drawnWidth && height >= drawnHeight) return fraction;
  }
  return 1;
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

}  // namespace numerabo
