// The bitmap reader: what it accepts, what it refuses before allocating or
// reading past its input, and a randomized run over arbitrary bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "renderer/bitmap_file.h"

namespace numerabo {
namespace {

struct BitmapLayout {
  int32_t width = 3;
  int32_t height = 2;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  bool zeroSizeImage = false;
  int64_t sizeImage = -1;      // -1: the real size of the data written
  uint32_t offBits = 54;
  int64_t pixelBytes = -1;     // -1: |height| padded rows
};

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

std::vector<uint8_t> MakeBitmap(const BitmapLayout& options) {
  const int64_t rows = options.height < 0 ? -int64_t(options.height) : options.height;
  const int64_t data = options.pixelBytes >= 0 ? options.pixelBytes
                                            : int64_t(BitmapRowStride(24, options.width > 0 ? options.width : 0)) * rows;
  std::vector<uint8_t> b(std::max<uint32_t>(options.offBits, 54) + size_t(data));
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, uint32_t(b.size()));
  Put32(b, 10, options.offBits);
  Put32(b, 14, 40);
  Put32(b, 18, uint32_t(options.width));
  Put32(b, 22, uint32_t(options.height));
  Put16(b, 26, 1);
  Put16(b, 28, options.bitCount);
  Put32(b, 30, options.compression);
  Put32(b, 34, options.zeroSizeImage ? 0 : uint32_t(options.sizeImage >= 0 ? options.sizeImage : data));
  for (size_t i = std::max<uint32_t>(options.offBits, 54); i < b.size(); ++i) b[i] = uint8_t(i * 7);
  return b;
}

BitmapStatus Read(const std::vector<uint8_t>& bytes, BitmapImage& image) {
  MemorySource source(bytes.data(), bytes.size());
  return ReadBitmap(source, image);
}

BitmapStatus Read(const BitmapLayout& options) {
  BitmapImage image;
  return Read(MakeBitmap(options), image);
}

TEST(RendererBitmapFile, ReadsPaddedRowsFromTheStatedOffset) {
  BitmapLayout options;
  options.offBits = 54 + 1024;  // a colour table, skipped with the header block
  const std::vector<uint8_t> bytes = MakeBitmap(options);
  BitmapImage image;
  ASSERT_EQ(Read(bytes, image), BitmapStatus::kOk);
  EXPECT_TRUE(image.hasSize);
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  ASSERT_EQ(image.pixelBytes, 24u);  // two rows of 9 bytes padded to 12
  EXPECT_EQ(0, std::memcmp(image.pixels.get(), bytes.data() + options.offBits, 24));
}

TEST(RendererBitmapFile, ZeroSizeImageIsComputedFromPaddedRows) {
  BitmapLayout options;
  options.width = 1023;
  options.height = 2;
  options.zeroSizeImage = true;
  EXPECT_EQ(BitmapRowStride(24, 1023), 3072u);
  BitmapImage image;
  ASSERT_EQ(Read(MakeBitmap(options), image), BitmapStatus::kOk);
  EXPECT_EQ(image.pixelBytes, 2u * 3072u);

  options.pixelBytes = 2 * 3072 - 1;  // one byte short of the last row
  EXPECT_EQ(Read(options), BitmapStatus::kTruncatedPixelData);
}

TEST(RendererBitmapFile, NegativeHeightPassesOnAsRead) {
  BitmapLayout options;
  options.height = -5;
  BitmapImage image;
  ASSERT_EQ(Read(MakeBitmap(options), image), BitmapStatus::kOk);
  EXPECT_EQ(image.height, -5);
  EXPECT_EQ(image.pixelBytes, 5u * 12u);
}

TEST(RendererBitmapFile, LargerSizeImageIsReadOnlyWhenTheFileHoldsIt) {
  BitmapLayout options;
  options.pixelBytes = 100;
  options.sizeImage = 100;
  BitmapImage image;
  ASSERT_EQ(Read(MakeBitmap(options), image), BitmapStatus::kOk);
  EXPECT_EQ(image.pixelBytes, 100u);

  options.sizeImage = 101;
  EXPECT_EQ(Read(options), BitmapStatus::kTruncatedPixelData);
  options.sizeImage = 0xFFFFFFFF;  // refused before any allocation
  EXPECT_EQ(Read(options), BitmapStatus::kTruncatedPixelData);
}

TEST(RendererBitmapFile, RefusesBrokenFileHeaders) {
  std::vector<uint8_t> bytes = MakeBitmap(BitmapLayout());
  BitmapImage image;
  EXPECT_EQ(Read(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 13), image), BitmapStatus::kShortFileHeader);
  EXPECT_EQ(Read(std::vector<uint8_t>(), image), BitmapStatus::kShortFileHeader);

  std::vector<uint8_t> wrong = bytes;
  wrong[0] = 'M';
  wrong[1] = 'B';
  EXPECT_EQ(Read(wrong, image), BitmapStatus::kWrongType);
  EXPECT_FALSE(image.hasSize);  // the object's width and height stay as they were

  BitmapLayout options;
  options.offBits = 53;
  EXPECT_EQ(Read(options), BitmapStatus::kHeaderTooSmall);
  options.offBits = 14 + 12;  // an OS/2 core header
  EXPECT_EQ(Read(options), BitmapStatus::kHeaderTooSmall);
  options.offBits = 0;
  EXPECT_EQ(Read(options), BitmapStatus::kHeaderTooSmall);

  std::vector<uint8_t> far = bytes;
  Put32(far, 10, 0xFFFFFFFF);
  EXPECT_EQ(Read(far, image), BitmapStatus::kTruncatedHeaderBlock);
  EXPECT_EQ(Read(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40), image),
            BitmapStatus::kTruncatedHeaderBlock);
}

TEST(RendererBitmapFile, RefusesFormatsOtherThanUncompressed24Bit) {
  for (uint16_t bits : {0, 1, 4, 8, 16, 32, 0xFFFF}) {
    BitmapLayout options;
    options.bitCount = bits;
    options.zeroSizeImage = true;
    BitmapImage image;
    EXPECT_EQ(Read(MakeBitmap(options), image), BitmapStatus::kBadBitCount) << bits;
    EXPECT_TRUE(image.hasSize);
  }
  for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 0x80000000u}) {
    BitmapLayout options;
    options.compression = compression;
    EXPECT_EQ(Read(options), BitmapStatus::kCompressed) << compression;
  }
}

TEST(RendererBitmapFile, RefusesImpossibleDimensions) {
  const int32_t bad[][2] = {{0, 2}, {-1, 2}, {3, 0}, {INT32_MIN, 2}, {3, INT32_MIN},
                            {kMaxBitmapSide + 1, 1}, {1, kMaxBitmapSide + 1}, {1, -kMaxBitmapSide - 1},
                            {INT32_MAX, INT32_MAX}, {0x40000000, 4}};
  for (const auto& d : bad) {
    BitmapLayout options;
    options.width = d[0];
    options.height = d[1];
    options.zeroSizeImage = true;
    options.pixelBytes = 64;
    EXPECT_EQ(Read(options), BitmapStatus::kBadDimensions) << d[0] << " x " << d[1];
  }
  // The largest accepted sides still need their data in the file; the
  // missing gigabyte is noticed without allocating it.
  BitmapLayout options;
  options.width = kMaxBitmapSide;
  options.height = -kMaxBitmapSide;
  options.zeroSizeImage = true;
  options.pixelBytes = 64;
  EXPECT_EQ(Read(options), BitmapStatus::kTruncatedPixelData);
}

TEST(RendererBitmapFile, RefusesSizeImageShorterThanTheRows) {
  BitmapLayout options;  // 3 x 2 needs 24 bytes
  options.sizeImage = 18;  // 2 rows of 9 bytes, ignoring the padding
  EXPECT_EQ(Read(options), BitmapStatus::kSizeImageTooSmall);
  options.height = -2;
  EXPECT_EQ(Read(options), BitmapStatus::kSizeImageTooSmall);
  options.sizeImage = 1;
  EXPECT_EQ(Read(options), BitmapStatus::kSizeImageTooSmall);
}

TEST(RendererBitmapFile, FileNameMustFitItsField) {
  static wchar_t field[kFileNameCapacity];
  EXPECT_TRUE(CopyFileName(field, L"C:\\Numerabo1.BMP"));
  EXPECT_STREQ(field, L"C:\\Numerabo1.BMP");
  const std::wstring longest(kFileNameCapacity - 1, L'a');
  EXPECT_TRUE(CopyFileName(field, longest.c_str()));
  EXPECT_EQ(longest, field);
  EXPECT_FALSE(CopyFileName(field, std::wstring(kFileNameCapacity, L'b').c_str()));
  EXPECT_STREQ(field, L"");
  EXPECT_FALSE(CopyFileName(field, std::wstring(kFileNameCapacity * 2, L'c').c_str()));
}

// Checks what the GL upload relies on whenever the reader says yes.
void ExpectUploadIsInsideBuffer(const std::vector<uint8_t>& bytes) {
  MemorySource source(bytes.data(), bytes.size());
  BitmapImage image;
  if (ReadBitmap(source, image) != BitmapStatus::kOk) {
    ASSERT_FALSE(image.pixels);
    return;
  }
  ASSERT_TRUE(image.pixels);
  ASSERT_GT(image.width, 0);
  ASSERT_LE(image.width, kMaxBitmapSide);
  const int64_t rows = image.height < 0 ? -int64_t(image.height) : image.height;
  ASSERT_GT(rows, 0);
  ASSERT_GE(uint64_t(image.pixelBytes), BitmapRowStride(24, image.width) * uint64_t(rows));
  ASSERT_LE(image.pixelBytes, bytes.size());
  // Touch every byte GLU would read; ASan reports any outside the buffer.
  unsigned sum = 0;
  for (uint32_t i = 0; i < image.pixelBytes; ++i) sum += image.pixels[i];
  (void)sum;
}

TEST(RendererBitmapFile, RandomizedInputNeverReadsOutside) {
  std::mt19937 random(20240601);
  const uint32_t interesting[] = {0, 1, 2, 3, 4, 12, 13, 14, 24, 32, 40, 53, 54, 55, 100, 1023, 1024, 16384, 16385,
                                  0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFF0000};
  auto pick = [&]() -> uint32_t {
    return random() % 2 ? interesting[random() % (sizeof interesting / sizeof *interesting)] : uint32_t(random());
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int runs = 0;
  for (; runs < 300000 && std::chrono::steady_clock::now() < deadline; ++runs) {
    std::vector<uint8_t> bytes;
    if (runs % 4 == 0) {
      // Arbitrary bytes, sometimes with the right magic.
      bytes.resize(random() % 160);
      for (uint8_t& b : bytes) b = uint8_t(random());
      if (bytes.size() >= 2 && random() % 2) {
        bytes[0] = 'B';
        bytes[1] = 'M';
      }
    } else {
      // A plausible small file with one to three fields lied about.
      BitmapLayout options;
      options.width = int32_t(random() % 9) + 1;
      options.height = int32_t(random() % 9) - 4;
      if (options.height == 0) options.height = 1;
      options.zeroSizeImage = random() % 3 == 0;
      options.offBits = 54 + (random() % 3 == 0 ? random() % 64 : 0);
      bytes = MakeBitmap(options);
      for (int n = int(random() % 3) + 1; n > 0; --n) {
        const size_t fields[] = {10, 18, 22, 28, 30, 34};
        const size_t at = fields[random() % 6];
        if (at == 28)
          Put16(bytes, at, uint16_t(pick()));
        else
          Put32(bytes, at, pick());
      }
      if (random() % 3 == 0) bytes.resize(random() % (bytes.size() + 1));
    }
    bytes.shrink_to_fit();  // exactly sized, so ASan sees any byte beyond
    ExpectUploadIsInsideBuffer(bytes);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(runs, 1000);
}

}  // namespace
}  // namespace numerabo
