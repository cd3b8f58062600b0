#include "host/wallpaper/wallpaper_scale.h"

#include <algorithm>
#include <vector>

namespace numerabo {

namespace {

void PutColour(uint8_t* pixel, uint32_t rgb) {
  pixel[0] = static_cast<uint8_t>(rgb);
  pixel[1] = static_cast<uint8_t>(rgb >> 8);
  pixel[2] = static_cast<uint8_t>(rgb >> 16);
}

// The weights of one screen column's (or row's) picture pixels: count of
// them from first on, adding up to kOne, kept from weight on in a shared pool.
constexpr uint32_t kOne = 1u << 12;

struct Taps {
  int64_t first;
  int32_t count;
  size_t weight;
};

// Screen positions [from, to) of a picture of size pixels drawn over drawn
// positions from offset on (one axis).
//  Reduced: a screen position covers the picture's interval
//  [o * size / drawn, (o + 1) * size / drawn); each pixel weighs the part
//  of it that lies inside (all in units of 1 / drawn, so exact).
//  Enlarged (or the same size): the position's centre falls at
//  s = (o + 1/2) * size / drawn - 1/2 in the picture; the two pixels around
//  it share it linearly, and the picture's edge pixels reach to its border.
std::vector<Taps> AxisTaps(int64_t from, int64_t to, int64_t offset, int64_t drawn, int32_t size,
                           std::vector<uint16_t>& pool) {
  std::vector<Taps> taps;
  taps.reserve(static_cast<size_t>(to - from));
  const int64_t p = size;
  for (int64_t t = from; t < to; ++t) {
    const int64_t o = t - offset;
    Taps tap = {0, 0, pool.size()};
    if (drawn < p) {
      const int64_t start = o * p, end = (o + 1) * p;  // units of 1 / drawn
      tap.first = start / drawn;
      const int64_t last = (end + drawn - 1) / drawn;
      // Each weight is the step of the rounded weight of all pixels so far:
      // the sum is kOne exactly and no weight falls below 0. Rounding each
      // on its own gives up to half a unit too much a pixel, which, where
      // one screen pixel covers some hundred of them, is more than any
      // single weight could give back.
      int64_t coveredSoFar = 0;
      uint32_t given = 0;
      for (int64_t i = tap.first; i < last; ++i) {
        coveredSoFar += std::min((i + 1) * drawn, end) - std::max(i * drawn, start);
        const uint32_t upTo = static_cast<uint32_t>((coveredSoFar * kOne + p / 2) / p);
        pool.push_back(static_cast<uint16_t>(upTo - given));
        given = upTo;
      }
      tap.count = static_cast<int32_t>(last - tap.first);
    } else {
      const int64_t numerator = (2 * o + 1) * p - drawn, denominator = 2 * drawn;
      int64_t i = numerator <= 0 ? 0 : numerator / denominator;
      uint32_t next = numerator <= 0 ? 0 : static_cast<uint32_t>(((numerator % denominator) * kOne + drawn) /
                                                                  denominator);
      if (i >= p - 1) i = p - 1, next = 0;
      tap.first = i;
      if (next == 0 || next >= kOne) {
        tap.first = next >= kOne ? i + 1 : i;
        tap.count = 1;
        pool.push_back(static_cast<uint16_t>(kOne));
      } else {
        tap.count = 2;
        pool.push_back(static_cast<uint16_t>(kOne - next));
        pool.push_back(static_cast<uint16_t>(next));
      }
    }
    taps.push_back(tap);
  }
  return taps;
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

  std::vector<uint16_t> pool;
  const std::vector<Taps> columns = AxisTaps(left, right, placement.x, placement.width, pictureWidth, pool);
  const std::vector<Taps> lines = AxisTaps(top, bottom, placement.y, placement.height, pictureHeight, pool);
  const size_t visible = static_cast<size_t>(right - left);
  // Picture rows reduced across, per channel, kept while the next screen
  // row may need them too: a row that two screen rows read is reduced once.
  // Slot row % kept holds a row, each used as soon as it is made; enough
  // slots for two screen rows' rows, up to a bound (a picture many times the
  // screen's height shares few rows between screen rows).
  int32_t widest = 1;
  for (const Taps& line : lines) widest = std::max(widest, line.count);
  const size_t kept = std::min<size_t>(static_cast<size_t>(widest) * 2 + 1, 33);
  std::vector<uint32_t> across(visible * 3 * kept);
  std::vector<int64_t> held(kept, -1);        // the picture row each slot holds
  std::vector<uint64_t> sums(visible * 3);    // the screen row, weighted down the band

  const size_t sourceStride = static_cast<size_t>(pictureWidth) * 4;
  int64_t heldFirst = -1;
  int32_t heldCount = 0;
  const uint8_t* band = nullptr;
  for (int64_t y = top; y < bottom; ++y) {
    const Taps& line = lines[static_cast<size_t>(y - top)];
    // An enlarged picture asks for the same rows again: they are still held.
    if (line.first != heldFirst || line.count != heldCount) {
      band = rows(static_cast<int32_t>(line.first), line.count);
      if (!band) return false;
      heldFirst = line.first;
      heldCount = line.count;
    }
    std::fill(sums.begin(), sums.end(), 0);
    for (int32_t r = 0; r < line.count; ++r) {
      const uint32_t down = pool[line.weight + r];
      if (down == 0) continue;
      const int64_t row = line.first + r;
      const size_t slot = static_cast<size_t>(row) % kept;
      uint32_t* reduced = across.data() + slot * visible * 3;
      if (held[slot] != row) {
        const uint8_t* source = band + static_cast<size_t>(r) * sourceStride;
        for (size_t x = 0; x < visible; ++x) {
          const Taps& column = columns[x];
          const uint8_t* in = source + static_cast<size_t>(column.first) * 4;
          const uint16_t* w = &pool[column.weight];
          uint32_t b = 0, g = 0, red = 0;
          for (int32_t c = 0; c < column.count; ++c, in += 4) {
            b += w[c] * in[0];
            g += w[c] * in[1];
            red += w[c] * in[2];
          }
          reduced[x * 3] = b, reduced[x * 3 + 1] = g, reduced[x * 3 + 2] = red;
        }
        held[slot] = row;
      }
      for (size_t i = 0; i < visible * 3; ++i) sums[i] += static_cast<uint64_t>(down) * reduced[i];
    }
    uint8_t* out = target.pixels + static_cast<size_t>(y) * target.stride + static_cast<size_t>(left) * 4;
    constexpr uint64_t kHalf = uint64_t{kOne} * kOne / 2;
    for (size_t x = 0; x < visible; ++x, out += 4) {
      for (int i = 0; i < 3; ++i) out[i] = static_cast<uint8_t>((sums[x * 3 + i] + kHalf) / (uint64_t{kOne} * kOne));
    }
  }
  return true;
}

}  // namespace numerabo
