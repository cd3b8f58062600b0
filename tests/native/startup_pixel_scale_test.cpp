// Twips and pixels at the display scales the host meets.
#include <gtest/gtest.h>

#include "host/startup/framework/pixel_scale.h"

namespace numerabo {
namespace {

struct ScaleCase {
  int dpi;
  double twipsPerPixel;
  int client[2];  // the dialog's 7440 x 3645 twips client area
  int button;     // a 1155-twip button, toward zero
  int nearest;    // the same, nearest (halves to even)
};

const ScaleCase kScales[] = {
    {96, 15, {496, 243}, 77, 77},
    {120, 12, {620, 303}, 96, 96},     // 303.75, 96.25
    {144, 10, {744, 364}, 115, 116},   // 364.5, 115.5
    {168, 1440.0 / 168, {868, 425}, 134, 135},  // 425.25, 134.75; no exact double
    {192, 7.5, {992, 486}, 154, 154},  // 1440 / 192 is no whole number
    {216, 1440.0 / 216, {1116, 546}, 173, 173},  // 546.75, 173.25; no exact double
};

TEST(PixelScale, ConvertsByTheExactRatioAtEachScale) {
  for (const ScaleCase& c : kScales) {
    PixelScale s(c.dpi);
    SCOPED_TRACE(c.dpi);
    EXPECT_DOUBLE_EQ(s.Twips(1), c.twipsPerPixel);
    EXPECT_EQ(s.Pixels(7440), c.client[0]);
    EXPECT_EQ(s.Pixels(3645), c.client[1]);
    EXPECT_EQ(s.Pixels(1155), c.button);
    EXPECT_EQ(s.NearestPixels(1155), c.nearest);
    for (int px = -2000; px <= 2000; ++px) {
      // A position exactly on a pixel edge belongs to the pixel it starts,
      // even where the ratio has no exact double.
      const double twips = s.Twips(px);
      ASSERT_EQ(s.Pixels(twips), px) << px;
      ASSERT_NEAR(twips, px * 1440.0 / c.dpi, 1e-9) << px;
      if (px < 0) continue;
      // Sizes read back as whole twips give the same pixels again, and are
      // never more than a twip above the exact value.
      const int tw = s.WholeTwips(px);
      ASSERT_EQ(s.Pixels(tw), px) << px;
      ASSERT_GE(tw, s.Twips(px));
      ASSERT_LT(tw - s.Twips(px), 1.0);
    }
  }
}

TEST(PixelScale, UnknownSettingIsTheDesignScale) {
  EXPECT_EQ(PixelScale(0).Dpi(), 96);
  EXPECT_EQ(PixelScale(-120).Dpi(), 96);
  EXPECT_EQ(PixelScale(0).Pixels(1440), 96);
}

}  // namespace
}  // namespace numerabo
