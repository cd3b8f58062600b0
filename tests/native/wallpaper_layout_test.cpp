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
}  // namespace
}  // namespace numerabo
