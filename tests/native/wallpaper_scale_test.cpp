#include "host/wallpaper/wallpaper_scale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace numerabo {
namespace {

struct Picture {
  int32_t width, height;
  std::vector<uint8_t> pixels;
  std::vector<std::pair<int32_t, int32_t>> reads;
  int32_t failAt = -1;

  Picture(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w) * h * 4) {
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = &pixels[(static_cast<size_t>(y) * w + x) * 4];
        p[0] = static_cast<uint8_t>(x * 10);
        p[1] = static_cast<uint8_t>(y * 10);
        p[2] = 7;
        p[3] = 0xEE;
      }
    }
  }

  PictureRowReader Reader() {
    return [this](int32_t first, int32_t count) -> const uint8_t* {
      reads.emplace_back(first, count);
      if (first < 0 || count < 1 || first + count > height || first == failAt) return nullptr;
      return &pixels[static_cast<size_t>(first) * width * 4];
    };
  }
};

struct Screen {
  int32_t width, height;
  std::vector<uint8_t> pixels;
  Screen(int32_t w, int32_t h) : width(w), height(h), pixels(static_cast<size_t>(w + 1) * h * 4, 0xAB) {}
  PixelRows Rows() { return {pixels.data(), width, height, static_cast<size_t>(width + 1) * 4}; }
  // (blue, green, red) at x, y.
  std::vector<int> At(int32_t x, int32_t y) const {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * (width + 1) + x) * 4];
    return {p[0], p[1], p[2]};
  }
};

std::vector<int> From(int32_t x, int32_t y) { return {x * 10, y * 10, 7}; }
const std::vector<int> kBackground = {0x30, 0x20, 0x10};  // 0x102030 as blue, green, red

TEST(WallpaperScale, DrawingPutsEachScreenPixelWhereThePlacementSays) {
  struct DrawCase {
    WallpaperFit fit;
    int32_t screenW, screenH, pictureW, pictureH;
    // (screen x, y) -> the picture pixel it shows, or -1 for the background.
    std::vector<std::vector<int>> expect;
    int tolerance;  // an enlarged picture is interpolated: within half a pixel's step
  };
  const DrawCase cases[] = {
      // Stretched up: each picture pixel covers a block; the odd screen
      // splits its blocks as the arithmetic says.
      {WallpaperFit::Stretch, 5, 3, 2, 2, {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 1, 0}, {4, 2, 1, 1}}, 5},
      // Centred and cropped: the screen's corner shows the picture's (2, 2).
      {WallpaperFit::Centre, 5, 3, 8, 6, {{0, 0, 2, 2}, {4, 2, 6, 4}}, 0},
      // Centred and smaller: the background around it.
      {WallpaperFit::Centre, 5, 4, 1, 1, {{2, 1, 0, 0}, {0, 0, -1, -1}, {3, 1, -1, -1}, {2, 2, -1, -1}}, 0},
      // Tiled from the top-left, three columns and two rows that do not fit
      // the screen a whole number of times.
      {WallpaperFit::Tile, 7, 5, 3, 2, {{0, 0, 0, 0}, {2, 1, 2, 1}, {3, 0, 0, 0}, {6, 4, 0, 0}, {5, 3, 2, 1}}, 0},
      // Fit: bars of the background on the left and right.
      {WallpaperFit::Fit, 5, 3, 1, 1, {{0, 1, -1, -1}, {1, 1, 0, 0}, {3, 2, 0, 0}, {4, 0, -1, -1}}, 0},
      // Fill: cropped top and bottom, no background anywhere.
      {WallpaperFit::Fill, 5, 3, 3, 4, {{0, 0, 0, 1}, {4, 2, 2, 2}}, 5},
  };
  for (const DrawCase& c : cases) {
    Picture picture(c.pictureW, c.pictureH);
    Screen screen(c.screenW, c.screenH);
    FillPixels(screen.Rows(), 0x102030);
    const WallpaperPlacement place = PlaceWallpaper(c.fit, c.screenW, c.screenH, c.pictureW, c.pictureH);
    EXPECT_TRUE(DrawWallpaper(screen.Rows(), c.pictureW, c.pictureH, place, picture.Reader()));
    for (const auto& e : c.expect) {
      const std::vector<int> want = e[2] < 0 ? kBackground : From(e[2], e[3]), got = screen.At(e[0], e[1]);
      for (int i = 0; i < 3; ++i) {
        EXPECT_LE(std::abs(got[i] - want[i]), c.tolerance) << static_cast<int>(c.fit) << " at " << e[0] << "," << e[1];
      }
    }
    // The padding after each screen row is never written.
    EXPECT_EQ(screen.pixels[static_cast<size_t>(c.screenW) * 4], 0xAB);
    for (size_t i = 1; c.fit != WallpaperFit::Tile && i < picture.reads.size(); ++i) {
      EXPECT_GE(picture.reads[i].first, picture.reads[i - 1].first);
    }
  }
}

TEST(WallpaperScale, ShrinkingTakesTheMeanOfTheCoveredPixels) {
  Picture picture(4, 3);  // onto 2 x 1: columns 0-1 and 2-3, rows 0-2
  Screen screen(2, 1);
  EXPECT_TRUE(DrawWallpaper(screen.Rows(), 4, 3, PlaceWallpaper(WallpaperFit::Stretch, 2, 1, 4, 3),
                            picture.Reader()));
  EXPECT_EQ(screen.At(0, 0), (std::vector<int>{5, 10, 7}));
  EXPECT_EQ(screen.At(1, 0), (std::vector<int>{25, 10, 7}));
  EXPECT_EQ(picture.reads, (std::vector<std::pair<int32_t, int32_t>>{{0, 3}}));
}

// Where one screen pixel takes in some hundred picture pixels, each one's
// share rounded up (25.6 to 26 of 4096 for 160) once added up to more than
// the whole, and the pixel came out a wrong colour.
TEST(WallpaperScale, ShrinkingManyPixelsIntoOneKeepsTheirColour) {
  for (const int32_t size : {160, 1000, 4095}) {
    Picture picture(size, 2);
    for (size_t i = 0; i < picture.pixels.size(); i += 4) {
      picture.pixels[i] = 200, picture.pixels[i + 1] = 100, picture.pixels[i + 2] = 50;
    }
    Screen screen(1, 1);
    WallpaperPlacement place;
    place.width = place.height = 1;
    EXPECT_TRUE(DrawWallpaper(screen.Rows(), size, 2, place, picture.Reader()));
    EXPECT_EQ(screen.At(0, 0), (std::vector<int>{200, 100, 50})) << size;
  }
}

// A picture of single-pixel squares, black and white.
struct Checkerboard : Picture {
  Checkerboard(int32_t w, int32_t h) : Picture(w, h) {
    for (size_t i = 0; i < pixels.size(); i += 4) {
      const size_t n = i / 4;
      const uint8_t v = ((n % w) + (n / w)) % 2 ? 255 : 0;
      pixels[i] = pixels[i + 1] = pixels[i + 2] = v;
    }
  }
};

TEST(WallpaperScale, SmoothScalingGivesGreyNotStripesAndRampsNotSteps) {
  // Reduced by 1.5 either way, every screen pixel takes in a bit of both
  // colours: grey within what 1.5 pixels can leave uneven (a pick of
  // single pixels gives black and white stripes).
  Checkerboard board(300, 300);
  Screen reduced(200, 200);
  EXPECT_TRUE(DrawWallpaper(reduced.Rows(), 300, 300, PlaceWallpaper(WallpaperFit::Stretch, 200, 200, 300, 300),
                            board.Reader()));
  long total = 0;
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 0; x < 200; ++x) {
      const std::vector<int> p = reduced.At(x, y);
      EXPECT_NEAR(p[0], 128, 16) << x << "," << y;
      ASSERT_EQ(p[0], p[1]);
      total += p[0];
    }
  }
  EXPECT_NEAR(total / (200.0 * 200.0), 127.5, 1.0);
  // Enlarged: a black and a white pixel become a ramp across the middle.
  Checkerboard pair(2, 1);
  Screen wide(8, 1);
  EXPECT_TRUE(DrawWallpaper(wide.Rows(), 2, 1, PlaceWallpaper(WallpaperFit::Stretch, 8, 1, 2, 1), pair.Reader()));
  std::vector<int> ramp;
  for (int32_t x = 0; x < 8; ++x) ramp.push_back(wide.At(x, 0)[0]);
  EXPECT_EQ(ramp, (std::vector<int>{0, 0, 32, 96, 159, 223, 255, 255})) << ::testing::PrintToString(ramp);
}

TEST(WallpaperScale, AFailedReadStopsTheDrawing) {
  Picture picture(640, 360);
  picture.failAt = 100;  // the band of rows 100 to 109
  Screen screen(64, 36);
  EXPECT_FALSE(DrawWallpaper(screen.Rows(), 640, 360, PlaceWallpaper(WallpaperFit::Fill, 64, 36, 640, 360),
                             picture.Reader()));
  EXPECT_EQ(picture.reads.back(), std::make_pair(100, 10));
}

}  // namespace
}  // namespace numerabo
