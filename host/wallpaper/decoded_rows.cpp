#include "host/wallpaper/decoded_rows.h"

#include <cstring>

namespace numerabo {

size_t CodecStride(int32_t width, int32_t bytesPer) {
  if (width <= 0 || bytesPer <= 0) return 0;
  return (static_cast<size_t>(width) * static_cast<size_t>(bytesPer) + 3) & ~size_t{3};
}

uint64_t FourByteSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) return 0;
  const uint64_t w = static_cast<uint64_t>(width), h = static_cast<uint64_t>(height);
  if (w > UINT64_MAX / 4 / h) return 0;
  return w * h * 4;
}

bool WidenToFourBytes(uint8_t* pixels, size_t size, int32_t width, int32_t height, int32_t bytesPer) {
  if (bytesPer != 1 && bytesPer != 3 && bytesPer != 4) return false;
  const uint64_t needed = FourByteSize(width, height);
  if (!pixels || needed == 0 || needed > size) return false;
  const size_t inStride = CodecStride(width, bytesPer), outStride = static_cast<size_t>(width) * 4;
  if (bytesPer == 4) return true;  // rows of 4-byte pixels have no padding
  // Every pixel's place at 4 bytes lies at or after its place as handed
  // over (CodecStride is at most width * 4 for 1 and 3 bytes), so working
  // backwards never overwrites a pixel not yet read.
  for (int32_t y = height - 1; y >= 0; --y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * inStride;
    uint8_t* out = pixels + static_cast<size_t>(y) * outStride;
    for (int32_t x = width - 1; x >= 0; --x) {
      const uint8_t* in = row + static_cast<size_t>(x) * bytesPer;
      const uint8_t b = in[0], g = in[bytesPer == 3 ? 1 : 0], r = in[bytesPer == 3 ? 2 : 0];
      uint8_t* pixel = out + static_cast<size_t>(x) * 4;
      pixel[0] = b, pixel[1] = g, pixel[2] = r, pixel[3] = 0;
    }
  }
  return true;
}

}  // namespace numerabo
