#include "renderer/bitmap_file.h"

#include <cstring>
#include <cwchar>
#include <new>

namespace numerabo {
namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t I32(const uint8_t* p) {
  uint32_t u = U32(p);
  int32_t value;
  std::memcpy(&value, &u, sizeof value);
  return value;
}

// Allocation without zeroing: every byte is overwritten by the read at once,
// and a desktop-sized picture is several megabytes.
std::unique_ptr<uint8_t[]> Allocate(uint32_t size) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size ? size : 1]);
}

}  // namespace

uint64_t BitmapRowStride(uint32_t bitCount, int64_t width) {
  return (static_cast<uint64_t>(bitCount) * static_cast<uint64_t>(width) + 31) / 32 * 4;
}

BitmapStatus ReadBitmap(ByteSource& source, BitmapImage& image) {
  image.pixels.reset();
  image.pixelBytes = 0;

  uint8_t fileHeader[kBitmapFileHeaderSize];
  if (source.Read(fileHeader, sizeof fileHeader) < sizeof fileHeader) return BitmapStatus::kShortFileHeader;
  if (U16(fileHeader) != kBitmapType) return BitmapStatus::kWrongType;

  // Everything between the file header and the pixel data is read as one
  // block; it has to hold at least the information header we take fields from.
  const uint32_t offBits = U32(fileHeader + 10);
  if (offBits < kBitmapFileHeaderSize + kBitmapInfoHeaderSize) return BitmapStatus::kHeaderTooSmall;
  const uint32_t blockSize = offBits - kBitmapFileHeaderSize;
  if (blockSize > source.Remaining()) return BitmapStatus::kTruncatedHeaderBlock;
  std::unique_ptr<uint8_t[]> block = Allocate(blockSize);
  if (!block) return BitmapStatus::kOutOfMemory;
  if (source.Read(block.get(), blockSize) < blockSize) return BitmapStatus::kTruncatedHeaderBlock;

  image.width = I32(block.get() + 4);
  image.height = I32(block.get() + 8);
  image.hasSize = true;
  const uint16_t bitCount = U16(block.get() + 14);
  const uint32_t compression = U32(block.get() + 16);
  uint32_t sizeImage = U32(block.get() + 20);

  // The upload is always 24-bit blue-green-red, uncompressed.
  if (bitCount != 24) return BitmapStatus::kBadBitCount;
  if (compression != 0) return BitmapStatus::kCompressed;

  const int64_t rows = image.height < 0 ? -static_cast<int64_t>(image.height) : image.height;
  if (image.width <= 0 || rows == 0 || image.width > kMaxBitmapSide || rows > kMaxBitmapSide)
    return BitmapStatus::kBadDimensions;
  const uint64_t needed = BitmapRowStride(bitCount, image.width) * static_cast<uint64_t>(rows);
  if (needed > UINT32_MAX) return BitmapStatus::kBadDimensions;

  // GLU reads |height| padded rows whatever biSizeImage says, so a smaller
  // stated size would let it run past the buffer. A larger one is read as
  // stated, if the file really holds it.
  if (sizeImage == 0) {
    sizeImage = static_cast<uint32_t>(needed);
  } else if (sizeImage < needed) {
    return BitmapStatus::kSizeImageTooSmall;
  }
  if (sizeImage > source.Remaining()) return BitmapStatus::kTruncatedPixelData;

  std::unique_ptr<uint8_t[]> pixels = Allocate(sizeImage);
  if (!pixels) return BitmapStatus::kOutOfMemory;
  if (source.Read(pixels.get(), sizeImage) < sizeImage) return BitmapStatus::kTruncatedPixelData;
  image.pixels = std::move(pixels);
  image.pixelBytes = sizeImage;
  return BitmapStatus::kOk;
}

bool CopyFileName(wchar_t (&field)[kFileNameCapacity], const wchar_t* name) {
  const size_t length = std::wcslen(name);
  if (length >= kFileNameCapacity) {
    field[0] = L'\0';
    return false;
  }
  std::wmemcpy(field, name, length + 1);
  return true;
}

uint32_t MemorySource::Read(void* buffer, uint32_t size) {
  const size_t available = size_ - position_;
  const size_t count = size < available ? size : available;
  if (count) std::memcpy(buffer, data_ + position_, count);
  position_ += count;
  return static_cast<uint32_t>(count);
}

}  // namespace numerabo
