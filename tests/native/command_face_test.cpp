// Face layout of the image button: frame pieces, caption place, gradient.
#include <gtest/gtest.h>

#include <tuple>

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
