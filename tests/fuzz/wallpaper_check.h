// The wallpaper's values and arithmetic: the registry's style, tile, policy
// and colour texts, any; the placement for any screen, picture and monitors'
// box; the decode reduction; the drawing of a picture of any small size
// where such a placement puts it on a small screen.
//  - A colour read is three bytes that, written back, read the same.
//  - A placement has no size or a positive one; each style keeps its
//    promise: tile and centre at the picture's size, stretch the screen,
//    fit inside the screen, fill and span over it, the last three touching
//    two sides with the picture's shape (to rounding).
//  - The reduction is one the codec offers and the largest not below the
//    size drawn.
//  - Drawing asks only for the picture's rows, in order unless tiled;
//    writes only the three colour bytes of pixels the placement covers;
//    gives each a value between the picture's least and greatest; says
//    false exactly when the reader failed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/wallpaper/wallpaper_layout.h"
#include "host/wallpaper/wallpaper_scale.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckPlacement(WallpaperFit fit, int64_t sw, int64_t sh, int64_t pw, int64_t ph,
                                  const WallpaperPlacement& p) {
  const std::string what = std::string(WallpaperFitName(fit)) + " of " + std::to_string(pw) + "x" +
                           std::to_string(ph) + " on " + std::to_string(sw) + "x" + std::to_string(sh) + ": " +
                           std::to_string(p.x) + "," + std::to_string(p.y) + " " + std::to_string(p.width) + "x" +
                           std::to_string(p.height);
  if (p.width < 0 || p.height < 0 || (p.width == 0) != (p.height == 0)) return "a negative or half size, " + what;
  const int64_t kSide = int64_t{1} << 20;
  const bool valid = sw > 0 && sh > 0 && pw > 0 && ph > 0 && sw <= kSide && sh <= kSide && pw <= kSide && ph <= kSide;
  if (!valid) return p.width == 0 ? "" : "a placement for no real screen or picture, " + what;
  if (p.width == 0) return "nothing placed, " + what;
  if (p.tiled != (fit == WallpaperFit::Tile)) return "tiled for another style, " + what;
  const bool touches = p.width == (fit == WallpaperFit::Span ? p.width : sw) || p.height == sh;
  const int64_t skew = p.width * ph - p.height * pw;
  const bool shaped = p.width == 1 || p.height == 1 || (skew < 0 ? -skew : skew) <= std::max(pw, ph);
  switch (fit) {
    case WallpaperFit::Tile:
    case WallpaperFit::Centre:
      if (p.width != pw || p.height != ph) return "not the picture's size, " + what;
      if (fit == WallpaperFit::Centre && (p.x != (sw - pw - (sw - pw < 0 ? 1 : 0)) / 2 ||
                                          p.y != (sh - ph - (sh - ph < 0 ? 1 : 0)) / 2)) {
        return "not centred, " + what;
      }
      break;
    case WallpaperFit::Stretch:
      if (p.x != 0 || p.y != 0 || p.width != sw || p.height != sh) return "not the screen, " + what;
      break;
    case WallpaperFit::Fit:
      if (p.x < 0 || p.y < 0 || p.x + p.width > sw || p.y + p.height > sh) return "not inside the screen, " + what;
      if (!touches || !shaped) return "not the picture's shape touching two sides, " + what;
      break;
    case WallpaperFit::Fill:
    case WallpaperFit::Span:
      if (p.x > 0 || p.y > 0 || p.x + p.width < sw || p.y + p.height < sh) return "not over the screen, " + what;
      if (!touches || !shaped) return "not the picture's shape touching two sides, " + what;
      break;
  }
  return "";
}

inline std::string CheckReduction(int64_t pw, int64_t ph, int64_t dw, int64_t dh) {
  const int32_t f = LargestDecodeReduction(static_cast<int32_t>(pw), static_cast<int32_t>(ph), dw, dh);
  auto fits = [&](int64_t g) { return pw > 0 && ph > 0 && (pw + g - 1) / g >= dw && (ph + g - 1) / g >= dh; };
  if (f != 1 && f != 2 && f != 4 && f != 8) return "reduction " + std::to_string(f);
  if (f > 1 && !fits(f)) return "a reduction below the size drawn";
  for (int64_t g = f * 2; g <= 8; g *= 2) {
    if (fits(g)) return "reduction " + std::to_string(f) + " where " + std::to_string(g) + " does";
  }
  return "";
}

inline std::string CheckDraw(FuzzInput& input, const WallpaperPlacement& place, int32_t tw, int32_t th) {
  const size_t pad = input.Byte() % 3 * 4;
  const int32_t dw = 1 + input.Byte() % 160, dh = 1 + input.Byte() % 160;
  const uint32_t colours[2] = {input.U32(), input.U32()};
  const uint32_t pattern = input.U32();
  const uint8_t failAt = input.Byte() % 8;  // the reader's call that fails; 0: none

  const size_t stride = static_cast<size_t>(tw) * 4 + pad;
  std::vector<uint8_t> screen(stride * static_cast<size_t>(th), 0xA5);
  const std::vector<uint8_t> before = screen;
  auto pixel = [&](int32_t x, int32_t y, int c) {
    const uint32_t colour = colours[(pattern >> ((x * 7 + y * 13) % 32)) & 1];
    return static_cast<uint8_t>(colour >> (8 * c));
  };
  std::vector<uint8_t> rows;
  int calls = 0;
  int32_t lastFirst = -1;
  std::string failed;
  const bool drawn = DrawWallpaper({screen.data(), tw, th, stride}, dw, dh, place, [&](int32_t first, int32_t count) {
    if (first < 0 || count < 1 || first > dh - count) failed = "rows asked past the picture";
    if (!place.tiled && first < lastFirst) failed = "rows asked out of order";
    lastFirst = first;
    if (++calls == failAt || !failed.empty()) return static_cast<const uint8_t*>(nullptr);
    rows.assign(static_cast<size_t>(count) * dw * 4, 0x5A);
    for (int32_t r = 0; r < count; ++r) {
      for (int32_t x = 0; x < dw; ++x) {
        for (int c = 0; c < 3; ++c) rows[(static_cast<size_t>(r) * dw + x) * 4 + c] = pixel(x, first + r, c);
      }
    }
    return static_cast<const uint8_t*>(rows.data());
  });
  if (!failed.empty()) return failed;
  if (drawn != (failAt == 0 || calls < failAt)) return "the reader's failure is not told, or told without one";

  const bool sized = place.width > 0 && place.height > 0;
  const int64_t left = place.tiled ? 0 : std::max<int64_t>(0, place.x);
  const int64_t right = place.tiled ? tw : std::min<int64_t>(tw, place.x + place.width);
  const int64_t top = place.tiled ? 0 : std::max<int64_t>(0, place.y);
  const int64_t bottom = place.tiled ? th : std::min<int64_t>(th, place.y + place.height);
  for (size_t i = 0; i < screen.size(); ++i) {
    const int64_t y = static_cast<int64_t>(i / stride), x = static_cast<int64_t>(i % stride / 4);
    const size_t c = i % stride % 4;
    const bool covered = sized && c < 3 && x < tw && x >= left && x < right && y >= top && y < bottom;
    if (!covered && screen[i] != before[i]) {
      return "a byte the placement does not cover was written at " + std::to_string(x) + "," + std::to_string(y);
    }
    if (covered && drawn && screen[i] != before[i]) {
      const uint8_t low = std::min(static_cast<uint8_t>(colours[0] >> (8 * c)), static_cast<uint8_t>(colours[1] >> (8 * c)));
      const uint8_t high = std::max(static_cast<uint8_t>(colours[0] >> (8 * c)), static_cast<uint8_t>(colours[1] >> (8 * c)));
      if (screen[i] < low || screen[i] > high) return "a pixel outside the picture's colours";
    }
  }
  return "";
}

inline std::string CheckWallpaper(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const WallpaperFit fit = static_cast<WallpaperFit>(input.Byte() % 6);
  const int64_t sw = input.I32(), sh = input.I32(), pw = input.I32(), ph = input.I32();
  MonitorsBox box;
  box.x = input.I32(), box.y = input.I32(), box.width = input.I32(), box.height = input.I32();
  const int32_t tw = 1 + input.Byte() % 40, th = 1 + input.Byte() % 40;

  const WallpaperPlacement place = PlaceWallpaper(fit, static_cast<int32_t>(sw), static_cast<int32_t>(sh),
                                                  static_cast<int32_t>(pw), static_cast<int32_t>(ph), box);
  std::string failed = CheckPlacement(fit, sw, sh, pw, ph, place);
  if (failed.empty()) failed = CheckReduction(pw, ph, place.width, place.height);
  const WallpaperPlacement small = PlaceWallpaper(fit, tw, th, static_cast<int32_t>(pw), static_cast<int32_t>(ph), box);
  if (failed.empty()) failed = CheckPlacement(fit, tw, th, pw, ph, small);
  if (failed.empty()) failed = CheckDraw(input, small, tw, th);
  if (!failed.empty()) return failed;

  const std::string style = input.Text(), tile = input.Text(), policy = input.Text(), colour = input.Text();
  WallpaperFitName(WallpaperFitOf(style, tile));
  WallpaperFit byPolicy = WallpaperFit::Centre;
  if (PolicyWallpaperFit(policy, &byPolicy)) WallpaperFitName(byPolicy);
  uint32_t rgb = 0x1000000;
  if (ParseBackgroundColour(colour, &rgb)) {
    uint32_t again = 0x1000000;
    const std::string written = std::to_string(rgb >> 16) + " " + std::to_string(rgb >> 8 & 255) + " " +
                                std::to_string(rgb & 255);
    if (rgb > 0xFFFFFF || !ParseBackgroundColour(written, &again) || again != rgb) {
      return "the colour " + Shown(colour) + " does not read back as written";
    }
  } else if (rgb != 0x1000000) {
    return "a colour refused changed the value";
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
