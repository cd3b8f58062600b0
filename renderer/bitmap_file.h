// Reading a bitmap file into memory, without any platform or GL call, so that
// the same rules run in the renderer and in the native tests.
//
// The renderer uploads whatever this accepts straight into gluBuild2DMipmaps
// as 24-bit blue-green-red rows padded to 4 bytes. Everything GLU would read
// is therefore checked here before a byte is allocated: a file that lies
// about itself is refused the same way a short file is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace numerabo {

// Where the bytes come from: the open file in the renderer, a buffer in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to size bytes into buffer; returns how many arrived.
  virtual uint32_t Read(void* buffer, uint32_t size) = 0;
  // Bytes left between the current position and the end. Used to refuse a
  // length the file cannot hold before allocating room for it.
  virtual uint64_t Remaining() const = 0;
};

constexpr uint32_t kBitmapFileHeaderSize = 14;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint16_t kBitmapType = 0x4D42;  // "BM"
// GLU scales an oversized image down to the context's maximum texture size,
// but it first holds the whole image and a scaled copy in memory. Beyond this
// side length no real desktop or picture exists, and only a broken or hostile
// file would ask for one.
constexpr int32_t kMaxBitmapSide = 16384;
// fileName holds a path of up to 32767 UTF-16 units, the longest the
// platform's wide file calls take, and the terminating NUL: the bitmaps may
// lie in a folder of the user's own, whose path has no short bound.
constexpr size_t kFileNameCapacity = 32768;

enum class BitmapStatus {
  kOk,
  kShortFileHeader,       // fewer than 14 bytes
  kWrongType,             // not "BM"
  kHeaderTooSmall,        // bfOffBits leaves no room for the information header
  kTruncatedHeaderBlock,  // the file ends before bfOffBits
  kBadBitCount,           // anything but 24 bits per pixel
  kCompressed,            // any compression
  kBadDimensions,         // width <= 0, height == 0, or a side beyond the bound
  kSizeImageTooSmall,     // biSizeImage smaller than the rows GLU will read
  kTruncatedPixelData,    // the file ends before the pixel data does
  kOutOfMemory,
};

struct BitmapImage {
  bool hasSize = false;  // width and height were read from the header
  int32_t width = 0;
  int32_t height = 0;    // negative for top-down rows, passed on as read
  uint32_t pixelBytes = 0;
  std::unique_ptr<uint8_t[]> pixels;
};

// Bytes per row of a 24-bit image, each row padded to a multiple of 4.
uint64_t BitmapRowStride(uint32_t bitCount, int64_t width);

// Reads file header, header block and pixel data from source, three reads in
// that order. On kOk image holds the pixels; otherwise image.pixels is empty
// and image.hasSize tells whether width and height were taken from the file.
BitmapStatus ReadBitmap(ByteSource& source, BitmapImage& image);

// Copies name into a fileName field of kFileNameCapacity characters. A name
// that does not fit leaves the field empty and returns false.
bool CopyFileName(wchar_t (&field)[kFileNameCapacity], const wchar_t* name);

// A source over bytes already in memory.
class MemorySource : public ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint32_t Read(void* buffer, uint32_t size) override;
  uint64_t Remaining() const override { return size_ - position_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

}  // namespace numerabo
