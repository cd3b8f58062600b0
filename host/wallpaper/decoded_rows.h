// The rows a codec hands over, made into the one layout the drawing reads:
// 4 bytes a pixel (blue, green, red, one not looked at), rows one after the
// other. Win32-free, so that it is tested and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>

namespace numerabo {

// Bytes from one row to the next as a codec writes rows of bytesPer-byte
// pixels: rounded up to 4, as the platform's bitmaps have them.
size_t CodecStride(int32_t width, int32_t bytesPer);

// Bytes of a picture of width x height at 4 bytes a pixel; 0 when either
// side is not positive or the product does not fit 64 bits.
uint64_t FourByteSize(int64_t width, int64_t height);

// pixels holds height rows of width pixels of bytesPer bytes (1: grey,
// 3: blue, green, red, 4: as drawn) at CodecStride apart, in a buffer of
// at least width * height * 4 bytes; on return it holds them at 4 bytes a
// pixel, rows width * 4 apart. Done in place, from the last pixel back, so
// that a reduced picture needs no second buffer. False, nothing changed,
// for any other bytesPer or a size that does not fit.
bool WidenToFourBytes(uint8_t* pixels, size_t size, int32_t width, int32_t height, int32_t bytesPer);

}  // namespace numerabo
