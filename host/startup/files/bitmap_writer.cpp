#include "host/startup/files/bitmap_writer.h"

#include <cstring>

namespace numerabo {

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

uint32_t Bmp24Stride(int32_t width) {
  return (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
}

std::vector<uint8_t> EncodeBmp24(int32_t width, int32_t height, const uint8_t* pixels) {
  if (width <= 0 || height <= 0 || width > 65536 || height > 65536) return {};
  const uint64_t stride = Bmp24Stride(width);
  const uint64_t imageSize = stride * static_cast<uint64_t>(height);
  if (imageSize + 54 > 0xFFFFFFFFull) return {};

  std::vector<uint8_t> out(54 + imageSize, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 30, 0);
  Put32(out, 34, static_cast<uint32_t>(imageSize));
  Put32(out, 38, 3780);  // 96 dots per inch, in dots per metre
  Put32(out, 42, 3780);

  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* src = pixels + static_cast<size_t>(height - 1 - row) * width * 4;
    uint8_t* dst = out.data() + 54 + static_cast<size_t>(row) * stride;
    for (int32_t x = 0; x < width; ++x) {
      dst[x * 3] = src[x * 4];
      dst[x * 3 + 1] = src[x * 4 + 1];
      dst[x * 3 + 2] = src[x * 4 + 2];
    }
  }
  return out;
}

}  // namespace numerabo
