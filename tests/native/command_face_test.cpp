// Face layout of the image button: frame pieces, caption place, gradient.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "host/command/face_geometry.h"

namespace numerabo {
namespace {

TEST(CommandFaceGeometry, PiecesOfTheDialogButton) {
  FaceGeometry g;
  UpdateFaceGeometry(g, 1155, 375);
  EXPECT_EQ(g.InnerWidth, 1035);
  EXPECT_EQ(g.RightX, 1095);
  EXPECT_EQ(g.InnerHeight, 255);
  EXPECT_EQ(g.BottomY, 315);
  auto p = FramePieces(g);
  // Corners are copied at their size, edges stretched along their length.
  const FacePiece expected[8] = {
      {1, 1, 60, 60, 0, 0, 60, 60},
      {60, 1, 1035, 60, 60, 1, 840, 60},
      {1095, 1, 60, 60, 900, 1, 60, 60},
      {1095, 60, 60, 255, 900, 60, 60, 255},
      {1095, 315, 60, 60, 900, 315, 60, 60},
      {60, 315, 1035, 60, 60, 315, 840, 60},
      {1, 315, 60, 60, 0, 315, 60, 60},
      {1, 60, 60, 255, 1, 60, 60, 255},
  };
  for (int i = 0; i < 8; ++i) {
    const FacePiece& a = p[i];
    const FacePiece& e = expected[i];
    EXPECT_EQ(std::tie(a.destX, a.destY, a.destWidth, a.destHeight, a.srcX, a.srcY, a.srcWidth, a.srcHeight),
              std::tie(e.destX, e.destY, e.destWidth, e.destHeight, e.srcX, e.srcY, e.srcWidth, e.srcHeight))
        << "piece " << i + 1;
  }
}

TEST(CommandFaceGeometry, PiecesCoverTheSurfaceInPixelsAndSkipTheMiddle) {
  FaceGeometry g;
  UpdateFaceGeometry(g, 615, 315);  // 41 x 21 pixels
  auto p = FramePieces(g);
  // Right column ends at the right edge, bottom row at the bottom edge.
  EXPECT_EQ(TwipsToPixels(p[2].destX) + TwipsToPixels(p[2].destWidth), 41);
  EXPECT_EQ(TwipsToPixels(p[4].destY) + TwipsToPixels(p[4].destHeight), 21);
  // The 1-twip offsets vanish; the top edge starts where the corner ends.
  EXPECT_EQ(TwipsToPixels(p[0].destX), 0);
  EXPECT_EQ(TwipsToPixels(p[1].destX), TwipsToPixels(p[0].destWidth));
  // No piece takes the middle of the picture (4..60 x 4..21 pixels).
  for (const FacePiece& q : p) {
    int sx = TwipsToPixels(q.srcX), sy = TwipsToPixels(q.srcY);
    int ex = sx + TwipsToPixels(q.srcWidth), ey = sy + TwipsToPixels(q.srcHeight);
    bool overlapsMiddle = sx < 60 && ex > 4 && sy < 21 && ey > 4;
    EXPECT_FALSE(overlapsMiddle);
    EXPECT_LE(ex, 64);
    EXPECT_LE(ey, 25);
  }
}

TEST(CommandFaceGeometry, RoundsHalvesToEven) {
  FaceGeometry g;
  UpdateFaceGeometry(g, 1000.5f, 500.5f);
  EXPECT_EQ(g.InnerWidth, 880);   // 880.5
  EXPECT_EQ(g.RightX, 940);       // 940.5
  UpdateFaceGeometry(g, 1001.5f, 500.0f);
  EXPECT_EQ(g.InnerWidth, 882);   // 881.5
}

TEST(CommandFaceGeometry, ValueOutside16BitsKeepsThePreviousOne) {
  FaceGeometry g;
  UpdateFaceGeometry(g, 1155, 375);
  UpdateFaceGeometry(g, 32850, 375);  // W - 120 fits, W - 60 does not
  EXPECT_EQ(g.InnerWidth, 32730);
  EXPECT_EQ(g.RightX, 1095);
  EXPECT_EQ(g.BottomY, 315);
}

TEST(CommandFaceGeometry, SmallSizesGiveNegativeMiddles) {
  FaceGeometry g;
  UpdateFaceGeometry(g, 90, 90);
  EXPECT_EQ(g.InnerWidth, -30);
  EXPECT_EQ(g.InnerHeight, -30);
}

TEST(CommandFaceGeometry, CaptionTop) {
  EXPECT_FLOAT_EQ(CaptionTop(375, 195), 80);
  EXPECT_FLOAT_EQ(CaptionTop(315, 195), 50);
  EXPECT_FLOAT_EQ(CaptionTop(420, 195), 102.5f);
}

TEST(CommandFaceGeometry, TwipsToPixels) {
  EXPECT_EQ(TwipsToPixels(1), 0);
  EXPECT_EQ(TwipsToPixels(60), 4);
  EXPECT_EQ(TwipsToPixels(80), 5);
  EXPECT_EQ(TwipsToPixels(1155), 77);
  EXPECT_EQ(TwipsToPixels(22.5), 2);  // 1.5 -> 2
  EXPECT_EQ(TwipsToPixels(37.5), 2);  // 2.5 -> 2
}

TEST(CommandFaceGeometry, DialogButtonAt144DotsPerInch) {
  // The 1155 x 375-twip button is 115 x 37 pixels there (toward zero), which
  // reads back as 1150 x 370 twips; the 4-pixel frame of the picture becomes
  // 6 pixels on the screen.
  FaceGeometry g;
  UpdateFaceGeometry(g, 1150, 370);
  const PixelScale s(144);
  auto p = FramePiecePixels(g, s, s);
  const int expected[8][8] = {
      {0, 0, 6, 6, 0, 0, 4, 4},          {6, 0, 103, 6, 4, 0, 56, 4},
      {109, 0, 6, 6, 60, 0, 4, 4},       {109, 6, 6, 25, 60, 4, 4, 17},
      {109, 31, 6, 6, 60, 21, 4, 4},     {6, 31, 103, 6, 4, 21, 56, 4},
      {0, 31, 6, 6, 0, 21, 4, 4},        {0, 6, 6, 25, 0, 4, 4, 17},
  };
  for (int i = 0; i < 8; ++i) {
    const PixelRect& d = p[i].dest;
    const PixelRect& r = p[i].src;
    const int* e = expected[i];
    EXPECT_EQ(std::tie(d.x, d.y, d.width, d.height, r.x, r.y, r.width, r.height),
              std::tie(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7]))
        << "piece " << i + 1;
  }
}

TEST(CommandFaceGeometry, PiecesMeetAtEveryScale) {
  for (int dpi : {96, 120, 144, 192}) {
    const PixelScale s(dpi);
    for (auto size : {std::make_pair(1155, 375), std::make_pair(615, 315)}) {
      const int w = s.Pixels(size.first), h = s.Pixels(size.second);
      FaceGeometry g;
      UpdateFaceGeometry(g, static_cast<float>(s.Twips(w)), static_cast<float>(s.Twips(h)));
      auto p = FramePiecePixels(g, s, s);
      SCOPED_TRACE(testing::Message() << dpi << " dpi, " << w << " x " << h);
      // Top row and left column start at the edge, the right column and the
      // bottom row end at it, and each edge fills the gap between corners.
      EXPECT_EQ(p[0].dest.x, 0);
      EXPECT_EQ(p[0].dest.y, 0);
      EXPECT_EQ(p[1].dest.x, p[0].dest.width);
      EXPECT_EQ(p[1].dest.x + p[1].dest.width, p[2].dest.x);
      EXPECT_EQ(p[2].dest.x + p[2].dest.width, w);
      EXPECT_EQ(p[3].dest.y, p[2].dest.height);
      EXPECT_EQ(p[3].dest.y + p[3].dest.height, p[4].dest.y);
      EXPECT_EQ(p[4].dest.y + p[4].dest.height, h);
      // Corners keep the frame's proportion to the screen: 60 twips.
      EXPECT_EQ(p[4].dest.width, s.NearestPixels(60));
      // The picture side never changes with the screen.
      for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p[i].src.x, TwipsToPixels(FramePieces(g)[i].srcX)) << i;
        EXPECT_EQ(p[i].src.width, i == 1 || i == 5 ? 56 : 4) << i;
      }
    }
  }
}

TEST(CommandGradient, ColourTextsGiveHighByteChannels) {
  uint16_t r = 1, g = 1, b = 1;
  ASSERT_TRUE(ParseGradientColour(kGradientLavender, r, g, b));
  EXPECT_EQ(r, 0xC600);
  EXPECT_EQ(g, 0xC500);
  EXPECT_EQ(b, 0xD700);
  ASSERT_TRUE(ParseGradientColour(kGradientWhite, r, g, b));
  EXPECT_EQ(r, 0xFF00);
  EXPECT_EQ(g, 0xFF00);
  EXPECT_EQ(b, 0xFF00);
  for (const char* bad : {"", "&HC6C5D", "&HC6C5DX", "#C6C5D7", "&HC6C5D700"}) {
    r = 7;
    EXPECT_FALSE(ParseGradientColour(bad, r, g, b)) << bad;
    EXPECT_EQ(r, 7);
  }
  EXPECT_FALSE(ParseGradientColour(nullptr, r, g, b));
}

TEST(CommandGradient, VerticesAndOrientation) {
  auto v = GradientVertices(77, 25, false);
  EXPECT_EQ(v[0].x, 0);
  EXPECT_EQ(v[0].y, 0);
  EXPECT_EQ(v[1].x, 76);
  EXPECT_EQ(v[1].y, 24);
  EXPECT_EQ(v[0].red, 0xFF00);
  EXPECT_EQ(v[1].red, 0xC600);
  EXPECT_EQ(v[1].blue, 0xD700);
  EXPECT_EQ(v[0].alpha, 0);
  EXPECT_EQ(v[1].alpha, 0);
  auto r = GradientVertices(77, 25, true);
  EXPECT_EQ(r[0].green, 0xC500);
  EXPECT_EQ(r[1].green, 0xFF00);
  EXPECT_EQ(r[1].x, 76);
}

}  // namespace
}  // namespace numerabo
