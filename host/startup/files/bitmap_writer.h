// Writing a picture as a Windows bitmap file: the 14-byte file header, the
// 40-byte information header (positive height, 24 bits, no compression) and
// the rows bottom-up, blue-green-red, each padded to a multiple of 4 bytes.
// That is exactly the layout the renderer reads.
#pragma once

#include <cstdint>
#include <vector>

namespace numerabo {

// Row stride of a 24-bit row of width pixels.
uint32_t Bmp24Stride(int32_t width);

// pixels: width x height, 4 bytes a pixel (blue, green, red, unused), top row
// first, as a 32-bit top-down DIB section holds them. Empty result when the
// size is not positive or would not fit a bitmap file.
std::vector<uint8_t> EncodeBmp24(int32_t width, int32_t height, const uint8_t* pixels);

}  // namespace numerabo
