#include "host/wallpaper/wallpaper_layout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace numerabo {
namespace {

struct FitCase {
  std::string style;
  std::string tile;
  WallpaperFit fit;
};

TEST(WallpaperLayout, StyleAndTileTextsGiveThePlacement) {
  const FitCase cases[] = {
      {"0", "0", WallpaperFit::Centre}, {"0", "1", WallpaperFit::Tile},  {"", "1", WallpaperFit::Tile},
      {"", "", WallpaperFit::Centre},   {"2", "0", WallpaperFit::Stretch}, {"2", "1", WallpaperFit::Stretch},
      {"6", "", WallpaperFit::Fit},     {"10", "0", WallpaperFit::Fill}, {" 22 ", "0", WallpaperFit::Span},
      {"3", "0", WallpaperFit::Centre}, {"x", "1", WallpaperFit::Tile},  {"-2", "0", WallpaperFit::Centre},
      {"0", "2", WallpaperFit::Centre},
  };
  for (const FitCase& c : cases) {
    EXPECT_EQ(WallpaperFitOf(c.style, c.tile), c.fit) << "'" << c.style << "' '" << c.tile << "'";
  }
}

TEST(WallpaperLayout, ShellAndPolicyPositionsGiveThePlacement) {
  using F = WallpaperFit;
  const std::pair<std::string, F> known[] = {{"0", F::Centre}, {"1", F::Tile}, {"2", F::Stretch},
                                             {"3", F::Fit},    {"4", F::Fill}, {" 5", F::Span}};
  for (const auto& c : known) {
    WallpaperFit fit = F::Stretch;
    EXPECT_TRUE(PolicyWallpaperFit(c.first, &fit)) << c.first;
    EXPECT_EQ(fit, c.second) << c.first;
  }
  // Missing or unknown: Control Panel's value applies.
  for (const std::string bad : {"", "6", "10", "-1", "x"}) {
    WallpaperFit fit = F::Tile;
    EXPECT_FALSE(PolicyWallpaperFit(bad, &fit)) << bad;
    EXPECT_EQ(fit, F::Tile);
  }
}

struct PlaceCase {
  WallpaperFit fit;
  int32_t screenW, screenH, pictureW, pictureH;
  bool tiled;
  int64_t x, y, width, height;
};

TEST(WallpaperLayout, PlacementForEveryStyleAtUnevenSizes) {
  using F = WallpaperFit;
  const PlaceCase cases[] = {
      // Centre: the picture at its own size, cropped evenly when larger.
      {F::Centre, 1921, 1081, 100, 51, false, 910, 515, 100, 51},
      {F::Centre, 5, 3, 8, 6, false, -2, -2, 8, 6},
      {F::Centre, 5, 4, 1, 1, false, 2, 1, 1, 1},
      // Tile: its own size, from the top-left, whatever the screen.
      {F::Tile, 7, 5, 3, 2, true, 0, 0, 3, 2},
      {F::Tile, 7, 5, 9, 8, true, 0, 0, 9, 8},
      // Stretch: the whole screen.
      {F::Stretch, 1921, 1081, 3840, 2160, false, 0, 0, 1921, 1081},
      {F::Stretch, 3, 5, 1, 1, false, 0, 0, 3, 5},
      // Fit: the whole picture, aspect kept, bars on two sides.
      {F::Fit, 1920, 1080, 1000, 1000, false, 420, 0, 1080, 1080},
      {F::Fit, 1921, 1081, 3840, 2160, false, 0, 0, 1921, 1081},
      {F::Fit, 5, 9, 3, 2, false, 0, 3, 5, 3},
      {F::Fit, 5, 3, 1, 1, false, 1, 0, 3, 3},
      {F::Fit, 1920, 1080, 1, 4000, false, 959, 0, 1, 1080},
      // Fill: covers the screen, aspect kept, cropped evenly.
      {F::Fill, 1920, 1080, 1000, 1000, false, 0, -420, 1920, 1920},
      {F::Fill, 5, 3, 3, 4, false, 0, -2, 5, 7},
      {F::Fill, 3, 5, 4, 3, false, -2, 0, 7, 5},
      {F::Fill, 1920, 1080, 3840, 2160, false, 0, 0, 1920, 1080},
      {F::Fill, 1366, 768, 1, 1, false, 0, -299, 1366, 1366},
      // No picture, or no screen: nothing drawn.
      {F::Fit, 1920, 1080, 0, 5, false, 0, 0, 0, 0},
      {F::Stretch, 0, 1080, 5, 5, false, 0, 0, 0, 0},
  };
  for (const PlaceCase& c : cases) {
    const WallpaperPlacement p = PlaceWallpaper(c.fit, c.screenW, c.screenH, c.pictureW, c.pictureH);
    EXPECT_EQ((std::vector<int64_t>{p.tiled, p.x, p.y, p.width, p.height}),
              (std::vector<int64_t>{c.tiled, c.x, c.y, c.width, c.height}))
        << static_cast<int>(c.fit) << " " << c.screenW << "x" << c.screenH << " " << c.pictureW << "x" << c.pictureH;
  }
}

// Span: the picture fills the box around all monitors; the primary screen
// (0, 0 to its size) shows its part. A box that does not hold the primary
// is no box of its monitors: the screen alone, as on one monitor.
TEST(WallpaperLayout, SpanFillsTheMonitorsBoxAndThePrimaryShowsItsPart) {
  struct Case {
    MonitorsBox box;
    int32_t pictureW, pictureH;
    int64_t x, y, width, height;
  };
  const Case cases[] = {
      {{}, 1000, 1000, 0, -420, 1920, 1920},                          // one monitor: fill
      {{0, 0, 1920, 1080}, 1000, 1000, 0, -420, 1920, 1920},          // the box is the screen
      {{0, 0, 3840, 1080}, 3840, 1080, 0, 0, 3840, 1080},             // a second one right of it
      {{-1920, 0, 3840, 1080}, 3840, 1080, -1920, 0, 3840, 1080},     // left of it
      {{0, -1080, 1920, 2160}, 1000, 1000, -120, -1080, 2160, 2160},  // above it, picture square
      {{-1280, -200, 3200, 1280}, 3200, 1280, -1280, -200, 3200, 1280},  // left and higher, taller
      {{-1280, -200, 3200, 1280}, 1600, 1600, -1280, -1160, 3200, 3200},
      {{100, 0, 1920, 1080}, 1000, 1000, 0, -420, 1920, 1920},        // not holding the primary
      {{0, 0, 1000, 1080}, 1000, 1000, 0, -420, 1920, 1920},
      {{-(int64_t{1} << 40), 0, int64_t{1} << 41, 1080}, 10, 10, 0, -420, 1920, 1920},  // absurd
  };
  for (const Case& c : cases) {
    const WallpaperPlacement p = PlaceWallpaper(WallpaperFit::Span, 1920, 1080, c.pictureW, c.pictureH, c.box);
    EXPECT_EQ((std::vector<int64_t>{p.tiled, p.x, p.y, p.width, p.height}),
              (std::vector<int64_t>{false, c.x, c.y, c.width, c.height}))
        << c.box.x << "," << c.box.y << " " << c.box.width << "x" << c.box.height;
  }
  // Other styles place on the primary screen alone, whatever the box.
  const WallpaperPlacement fill = PlaceWallpaper(WallpaperFit::Fill, 1920, 1080, 1000, 1000, {-1920, 0, 3840, 1080});
  EXPECT_EQ((std::vector<int64_t>{fill.x, fill.y, fill.width}), (std::vector<int64_t>{0, -420, 1920}));
}

TEST(WallpaperLayout, TheCodecsReductionLeavesAtLeastTheSizeDrawn) {
  struct Case {
    int32_t pictureW, pictureH;
    int64_t drawnW, drawnH;
    int32_t reduction;
  };
  const Case cases[] = {
      {8000, 6000, 1920, 1440, 4},  // a phone photo filling 1080p: 2000 x 1500
      {3840, 2160, 1920, 1080, 2},  {3840, 2160, 1921, 1080, 1}, {3841, 2161, 1921, 1081, 2},
      {100, 100, 14, 13, 4},        {7, 7, 1, 1, 8},             {800, 600, 1920, 1440, 1},
      {0, 600, 1, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LargestDecodeReduction(c.pictureW, c.pictureH, c.drawnW, c.drawnH), c.reduction)
        << c.pictureW << "x" << c.pictureH << " drawn " << c.drawnW << "x" << c.drawnH;
  }
}

TEST(WallpaperLayout, BackgroundColourText) {
  uint32_t rgb = 0;
  const std::pair<std::string, uint32_t> good[] = {
      {"58 110 165", 0x3A6EA5}, {"0 0 0", 0}, {"255 255 255", 0xFFFFFF}, {" 1  2\t3 ", 0x010203}};
  for (const auto& c : good) {
    EXPECT_TRUE(ParseBackgroundColour(c.first, &rgb)) << c.first;
    EXPECT_EQ(rgb, c.second) << c.first;
  }
  rgb = 0x123456;
  for (const std::string bad : {"", "256 0 0", "1 2", "1 2 3 4", "a b c", "-1 2 3", "1,2,3", "1 2 3x"}) {
    EXPECT_FALSE(ParseBackgroundColour(bad, &rgb)) << bad;
  }
  EXPECT_EQ(rgb, 0x123456u);
}

// A picture whose every pixel tells where it came from; reads are recorded.
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

TEST(WallpaperLayout, DrawingPutsEachScreenPixelWhereThePlacementSays) {
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

TEST(WallpaperLayout, ShrinkingTakesTheMeanOfTheCoveredPixels) {
  Picture picture(4, 3);  // onto 2 x 1: columns 0-1 and 2-3, rows 0-2
  Screen screen(2, 1);
  EXPECT_TRUE(DrawWallpaper(screen.Rows(), 4, 3, PlaceWallpaper(WallpaperFit::Stretch, 2, 1, 4, 3),
                            picture.Reader()));
  EXPECT_EQ(screen.At(0, 0), (std::vector<int>{5, 10, 7}));
  EXPECT_EQ(screen.At(1, 0), (std::vector<int>{25, 10, 7}));
  EXPECT_EQ(picture.reads, (std::vector<std::pair<int32_t, int32_t>>{{0, 3}}));
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

TEST(WallpaperLayout, SmoothScalingGivesGreyNotStripesAndRampsNotSteps) {
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

TEST(WallpaperLayout, AFailedReadStopsTheDrawing) {
  Picture picture(640, 360);
  picture.failAt = 100;  // the band of rows 100 to 109
  Screen screen(64, 36);
  EXPECT_FALSE(DrawWallpaper(screen.Rows(), 640, 360, PlaceWallpaper(WallpaperFit::Fill, 64, 36, 640, 360),
                             picture.Reader()));
  EXPECT_EQ(picture.reads.back(), std::make_pair(100, 10));
}

TEST(WallpaperLayout, FlatPictures) {
  std::vector<uint8_t> pixels(3 * 16, 0);
  for (size_t i = 0; i < pixels.size(); i += 4) {
    pixels[i] = 1, pixels[i + 1] = 2, pixels[i + 2] = 3, pixels[i + 3] = static_cast<uint8_t>(i);
  }
  // Rows of 3 pixels in a stride of 4: the fourth pixel is padding.
  pixels[12] = 99;
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 3, 3, 16));  // the unused byte and the padding differ
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 1, 1, 16));
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 0, 3, 16));
  EXPECT_TRUE(IsFlatPicture(nullptr, 3, 3, 16));
  for (size_t at : {size_t{0}, size_t{16 + 4 + 1}, size_t{32 + 8 + 2}}) {
    std::vector<uint8_t> spoilt = pixels;
    spoilt[at] ^= 1;
    EXPECT_FALSE(IsFlatPicture(spoilt.data(), 3, 3, 16)) << at;
  }
}

}  // namespace
}  // namespace numerabo
