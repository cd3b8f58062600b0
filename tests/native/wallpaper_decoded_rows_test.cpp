#include "host/wallpaper/decoded_rows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace numerabo {
namespace {

// Rows as a codec hands them over (1, 3 or 4 bytes a pixel, rows padded to
// 4 bytes) become 4-byte pixels in the same buffer, for every width that
// pads differently.
TEST(WallpaperDecodedRows, RowsOfEveryPixelSizeWidenInPlace) {
  for (const int32_t bytesPer : {1, 3, 4}) {
    for (int32_t width = 1; width <= 6; ++width) {
      const int32_t height = 3;
      const size_t inStride = CodecStride(width, bytesPer);
      std::vector<uint8_t> buffer(static_cast<size_t>(width) * height * 4, 0xEE);
      for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          for (int32_t c = 0; c < bytesPer; ++c) {
            buffer[y * inStride + x * bytesPer + c] = static_cast<uint8_t>(y * 64 + x * 8 + c);
          }
        }
      }
      ASSERT_TRUE(WidenToFourBytes(buffer.data(), buffer.size(), width, height, bytesPer));
      for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          const uint8_t* p = &buffer[(static_cast<size_t>(y) * width + x) * 4];
          const uint8_t base = static_cast<uint8_t>(y * 64 + x * 8);
          const uint8_t expected[3] = {base, static_cast<uint8_t>(bytesPer == 1 ? base : base + 1),
                                       static_cast<uint8_t>(bytesPer == 1 ? base : base + 2)};
          EXPECT_EQ((std::vector<uint8_t>(p, p + 3)), (std::vector<uint8_t>(expected, expected + 3)))
              << bytesPer << " bytes, width " << width << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(WallpaperDecodedRows, SizesThatDoNotFitAreRefused) {
  std::vector<uint8_t> buffer(64);
  EXPECT_FALSE(WidenToFourBytes(buffer.data(), buffer.size(), 4, 5, 3));  // needs 80 bytes
  EXPECT_FALSE(WidenToFourBytes(buffer.data(), buffer.size(), 2, 2, 2));  // no such pixel size
  EXPECT_FALSE(WidenToFourBytes(buffer.data(), buffer.size(), 0, 2, 3));
  EXPECT_FALSE(WidenToFourBytes(nullptr, 64, 2, 2, 3));
  EXPECT_EQ(FourByteSize(8000, 6000), uint64_t{192000000});
  EXPECT_EQ(FourByteSize(-1, 5), 0u);
  EXPECT_EQ(FourByteSize(INT64_MAX, INT64_MAX), 0u);
  EXPECT_EQ(CodecStride(5, 3), 16u);
}

}  // namespace
}  // namespace numerabo
