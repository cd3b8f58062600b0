// The renderer's bitmap reader over any bytes. What it accepts, GLU then
// reads as |height| rows of the padded 24-bit stride: so an accepted file
// must have handed over at least that many bytes, all of them the file's own
// from bfOffBits on; a refused one hands over nothing. The same file cut one
// byte short of its pixel data is refused, and cut right after it accepted.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "renderer/bitmap_file.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline BitmapStatus ReadBitmapBytes(const uint8_t* data, size_t size, BitmapImage& image) {
  // A copy of exactly size bytes, so that the sanitizers see any read past it.
  std::vector<uint8_t> bytes(data, data + size);
  MemorySource source(bytes.data(), bytes.size());
  return ReadBitmap(source, image);
}

inline std::string CheckBitmapFile(const uint8_t* data, size_t size) {
  BitmapImage image;
  const BitmapStatus status = ReadBitmapBytes(data, size, image);
  const bool headerRead = status != BitmapStatus::kShortFileHeader && status != BitmapStatus::kWrongType &&
                          status != BitmapStatus::kHeaderTooSmall &&
                          status != BitmapStatus::kTruncatedHeaderBlock && status != BitmapStatus::kOutOfMemory;
  if (status != BitmapStatus::kOutOfMemory && image.hasSize != headerRead) return "hasSize disagrees with the status";
  if (status != BitmapStatus::kOk) {
    if (image.pixels || image.pixelBytes != 0) return "a refused file handed over pixels";
    return "";
  }
  if (!image.pixels) return "accepted without pixels";
  if (image.width < 1 || image.width > kMaxBitmapSide) return "accepted width " + std::to_string(image.width);
  const int64_t rows = image.height < 0 ? -int64_t{image.height} : image.height;
  if (rows < 1 || rows > kMaxBitmapSide) return "accepted height " + std::to_string(image.height);
  const uint64_t needed = BitmapRowStride(24, image.width) * static_cast<uint64_t>(rows);
  if (image.pixelBytes < needed) {
    return "accepted " + std::to_string(image.pixelBytes) + " pixel bytes where GLU reads " + std::to_string(needed);
  }
  const uint32_t offBits = static_cast<uint32_t>(data[10]) | static_cast<uint32_t>(data[11]) << 8 |
                           static_cast<uint32_t>(data[12]) << 16 | static_cast<uint32_t>(data[13]) << 24;
  const uint64_t end = uint64_t{offBits} + image.pixelBytes;
  if (end > size) return "accepted more pixel bytes than the file holds after bfOffBits";
  if (std::memcmp(image.pixels.get(), data + offBits, image.pixelBytes) != 0) {
    return "the pixels are not the file's bytes from bfOffBits on";
  }

  BitmapImage whole;
  if (ReadBitmapBytes(data, static_cast<size_t>(end), whole) != BitmapStatus::kOk) {
    return "refused once the bytes after the pixel data were cut off";
  }
  BitmapImage cut;
  const BitmapStatus cutStatus = ReadBitmapBytes(data, static_cast<size_t>(end - 1), cut);
  if (image.pixelBytes > 0 && cutStatus != BitmapStatus::kTruncatedPixelData) {
    return "not refused as truncated when one byte of pixel data is missing";
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
