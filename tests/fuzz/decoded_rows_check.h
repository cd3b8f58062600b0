// The rows a codec hands over, any size and pixel format: the codec's row
// stride holds a row rounded up to 4 bytes; the 4-byte size is the product
// or 0; the widening reads only the buffer it is given, refuses what does
// not fit it, and leaves every pixel where the drawing reads it with the
// codec's colour (grey spread to all three bytes), nothing past it changed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/wallpaper/decoded_rows.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckDecodedRows(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const int32_t anyWidth = input.I32(), anyHeight = input.I32(), anyBytes = input.I32();
  const size_t stride = CodecStride(anyWidth, anyBytes);
  if (anyWidth > 0 && anyBytes > 0) {
    const uint64_t row = uint64_t{static_cast<uint32_t>(anyWidth)} * static_cast<uint32_t>(anyBytes);
    if (stride % 4 != 0 || stride < row || stride >= row + 4) return "a stride that is no row rounded up to 4";
  } else if (stride != 0) {
    return "a stride for no row";
  }
  const uint64_t four = FourByteSize(anyWidth, anyHeight);
  if (anyWidth > 0 && anyHeight > 0) {
    if (four != uint64_t{static_cast<uint32_t>(anyWidth)} * static_cast<uint32_t>(anyHeight) * 4) {
      return "a 4-byte size that is not the product";
    }
  } else if (four != 0) {
    return "a 4-byte size for no picture";
  }

  const int32_t width = 1 + input.Byte() % 48, height = 1 + input.Byte() % 48;
  const int32_t bytesPer = input.Byte() % 6;
  const int32_t slack = static_cast<int8_t>(input.Byte());
  const int64_t needed = int64_t{width} * height * 4;
  const size_t room = static_cast<size_t>(std::max<int64_t>(0, needed + slack));
  const std::string fill = input.Rest();
  std::vector<uint8_t> pixels(room);
  for (size_t i = 0; i < room; ++i) pixels[i] = fill.empty() ? static_cast<uint8_t>(i * 29) : fill[i % fill.size()];
  const std::vector<uint8_t> before = pixels;

  const bool widened = WidenToFourBytes(pixels.data(), pixels.size(), width, height, bytesPer);
  const bool fits = (bytesPer == 1 || bytesPer == 3 || bytesPer == 4) && static_cast<int64_t>(room) >= needed;
  if (widened != fits) return widened ? "widened into a buffer too small or from no format" : "refused a fitting picture";
  if (!widened) return pixels == before ? "" : "a refused picture was changed";
  const size_t inStride = CodecStride(width, bytesPer);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* in = before.data() + y * inStride + static_cast<size_t>(x) * bytesPer;
      const uint8_t* out = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
      const bool grey = bytesPer == 1;
      if (out[0] != in[0] || out[1] != in[grey ? 0 : 1] || out[2] != in[grey ? 0 : 2]) {
        return "pixel " + std::to_string(x) + "," + std::to_string(y) + " is not the codec's";
      }
    }
  }
  for (size_t i = static_cast<size_t>(needed); i < room; ++i) {
    if (pixels[i] != before[i]) return "a byte past the picture was changed";
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
