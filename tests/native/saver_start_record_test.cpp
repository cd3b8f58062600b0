#include "host/saver/start_record.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace numerabo {
namespace {

// The record as a reader takes it: every line "key: value" ended by CR LF,
// no key twice. Fails the test on any other shape.
std::map<std::string, std::string> Lines(const std::string& text) {
  std::map<std::string, std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a last line without its end";
    if (end == std::string::npos) break;
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    const size_t colon = line.find(": ");
    EXPECT_NE(colon, std::string::npos) << line;
    if (colon != std::string::npos) {
      EXPECT_TRUE(lines.emplace(line.substr(0, colon), line.substr(colon + 2)).second) << "twice: " << line;
    }
    start = end + 2;
  }
  return lines;
}

StartFacts TypicalFacts() {
  StartFacts facts;
  facts.time = "2026-12-10 13:45:02";
  facts.host = "x86_64";
  facts.windows = "10.0.22631";
  facts.desktop = L"Screen-saver";
  facts.capture = CaptureOutcome::ScreenSaverDesktop;
  facts.standIn = StandInOutcome::Drawn;
  facts.standInReport.values = "control-panel";
  facts.standInReport.source = "windows-copy";
  facts.standInReport.passedOver = "wallpaper: timed out";
  facts.standInReport.wallpaper = L"\\\\server\\share\\photos\\a very long folder name\\wall.jpg";
  facts.standInReport.fit = "fill";
  facts.standInReport.reduction = 4;
  facts.standInReport.valuesMs = 12;
  facts.standInReport.readMs = 800;
  facts.standInReport.decodeMs = 140;
  facts.standInReport.drawMs = 35;
  facts.rendererStarted = true;
  for (const char* step : {"load", "captured", "stand-in", "picture-saved", "renderer-started", "music-started",
                           "renderer-window", "renderer-shown"}) {
    facts.steps.push_back({step, 1234});
  }
  facts.rendererWindowSeen = true;
  facts.rendererWindowShown = true;
  facts.foreground = Foreground::Renderer;
  return facts;
}

TEST(StartRecordTest, EachOutcomeGivesItsWordsAndOnlyTheLinesThatApply) {
  struct Case {
    CaptureOutcome capture;
    StandInOutcome standIn;
    bool windowSeen, windowShown;
    Foreground foreground;
    std::map<std::string, std::string> expected;
    std::vector<std::string> absent;
  };
  const std::vector<Case> cases = {
      {CaptureOutcome::Used, StandInOutcome::NotNeeded, true, true, Foreground::Renderer,
       {{"capture", "used"}, {"stand-in", "not-needed"}, {"foreground", "renderer"}, {"renderer-window", "shown"}},
       {"stand-in-source", "stand-in-wallpaper"}},
      {CaptureOutcome::Flat, StandInOutcome::Drawn, true, true, Foreground::Other,
       {{"capture", "flat"}, {"stand-in", "drawn"}, {"stand-in-source", "windows-copy"}, {"foreground", "other"}},
       {}},
      {CaptureOutcome::Failed, StandInOutcome::NoImage, true, true, Foreground::None,
       {{"capture", "failed"}, {"stand-in", "no-image"}, {"foreground", "none"}},
       {"stand-in-source", "stand-in-decoding"}},
      {CaptureOutcome::ScreenSaverDesktop, StandInOutcome::Drawn, true, true, Foreground::Host,
       {{"capture", "screen-saver-desktop"}, {"foreground", "host"}, {"foreground-looked-ms", "0"}},
       {}},
      // A show that never opened its window, or never showed it: nothing to
      // say of the foreground.
      {CaptureOutcome::Used, StandInOutcome::NotNeeded, false, false, Foreground::Unknown,
       {{"renderer-window", "not-seen"}, {"foreground", "unknown"}},
       {"foreground-looked-ms"}},
      {CaptureOutcome::Used, StandInOutcome::NotNeeded, true, false, Foreground::Unknown,
       {{"renderer-window", "never-shown"}, {"foreground", "unknown"}},
       {"foreground-looked-ms"}},
  };
  for (const Case& c : cases) {
    StartFacts facts = TypicalFacts();
    facts.capture = c.capture;
    facts.standIn = c.standIn;
    facts.rendererWindowSeen = c.windowSeen;
    facts.rendererWindowShown = c.windowShown;
    facts.foreground = c.foreground;
    const std::string text = StartRecordText(facts);
    SCOPED_TRACE(text);
    const auto lines = Lines(text);
    for (const auto& [key, value] : c.expected) {
      ASSERT_EQ(lines.count(key), 1u) << key;
      EXPECT_EQ(lines.at(key), value) << key;
    }
    for (const std::string& key : c.absent) EXPECT_EQ(lines.count(key), 0u) << key;
    for (const char* key : {"numerabo-start-record", "time", "host", "windows", "desktop", "renderer", "load-ms",
                            "renderer-window-ms"}) {
      EXPECT_EQ(lines.count(key), 1u) << key;
    }
  }
}

TEST(StartRecordTest, ATypicalRecordIsAFewHundredBytesWithEveryStandInFact) {
  const std::string text = StartRecordText(TypicalFacts());
  EXPECT_LT(text.size(), 1024u);
  const auto lines = Lines(text);
  const std::map<std::string, std::string> expected = {
      {"desktop", "Screen-saver"},
      {"stand-in-values", "control-panel"},
      {"stand-in-passed-over", "wallpaper: timed out"},
      {"stand-in-wallpaper", "\\\\server\\share\\photos\\a very long folder name\\wall.jpg"},
      {"stand-in-fit", "fill"},
      {"stand-in-decoding", "reduced 1/4 by the codec"},
      {"stand-in-read-ms", "800"},
      {"stand-in-draw-ms", "35"},
      {"renderer", "started"},
      {"music-started-ms", "1234"},
  };
  for (const auto& [key, value] : expected) {
    ASSERT_EQ(lines.count(key), 1u) << key;
    EXPECT_EQ(lines.at(key), value) << key;
  }
}

TEST(StartRecordTest, DecodingSaysWholeReducedOrNone) {
  const std::vector<std::pair<int32_t, std::string>> cases = {
      {0, "none"}, {1, "whole"}, {2, "reduced 1/2 by the codec"}, {8, "reduced 1/8 by the codec"}};
  for (const auto& [reduction, text] : cases) {
    StartFacts facts = TypicalFacts();
    facts.standInReport.reduction = reduction;
    EXPECT_EQ(Lines(StartRecordText(facts)).at("stand-in-decoding"), text);
  }
}

// A path may hold what Shift-JIS cannot, the host's own texts are Shift-JIS,
// and a value from a broken registry may hold line ends or be of any length.
TEST(StartRecordTest, ValuesBecomeOneLineOfUtf8) {
  // The platform's form of a character outside the basic plane, in the
  // native build too.
  const std::wstring pair = {wchar_t(0xD83C), wchar_t(0xDF38)};
  const std::wstring longPath = L"C:\\" + std::wstring(kLongestRecordValue, L'x');
  // A pair across the cut: the whole pair goes, never half of it.
  const std::wstring pairAtCut = std::wstring(kLongestRecordValue - 1, L'y') + pair + L"z";
  struct Case {
    std::wstring wallpaper;
    std::string passedOver;  // Shift-JIS
    std::string wallpaperLine, passedOverLine;
  };
  const std::vector<Case> cases = {
      {L"C:\\Users\\Zo\u00EB\\\u58C1\u7D19 " + pair + L".jpg", "wallpaper: \x95\x5C\x8E\xA6\x82\xB5\x82\xC8\x82\xA2",
       u8"C:\\Users\\Zo\u00EB\\\u58C1\u7D19 \U0001F338.jpg", u8"wallpaper: \u8868\u793A\u3057\u306A\u3044"},
      {L"C:\\a\r\nfake-key: 1\tb\x7F", "shell: line\r\nbreak", "C:\\a??fake-key: 1?b?", "shell: line??break"},
      {longPath, "", "C:\\" + std::string(kLongestRecordValue - 3, 'x') + "...", "none"},
      {pairAtCut, "", std::string(kLongestRecordValue - 1, 'y') + "...", "none"},
  };
  for (const Case& c : cases) {
    StartFacts facts = TypicalFacts();
    facts.standInReport.wallpaper = c.wallpaper;
    facts.standInReport.passedOver = c.passedOver;
    const auto lines = Lines(StartRecordText(facts));
    EXPECT_EQ(lines.at("stand-in-wallpaper"), c.wallpaperLine);
    EXPECT_EQ(lines.at("stand-in-passed-over"), c.passedOverLine);
  }
  StartFacts unreadable = TypicalFacts();
  unreadable.desktop.clear();
  EXPECT_EQ(Lines(StartRecordText(unreadable)).at("desktop"), "(not readable)");
}

TEST(StartRecordTest, TheForegroundIsSettledByTheRendererOrByTime) {
  for (Foreground f : {Foreground::Unknown, Foreground::Host, Foreground::Other, Foreground::None}) {
    EXPECT_FALSE(ForegroundSettled(f, 0));
    EXPECT_FALSE(ForegroundSettled(f, kForegroundPatienceMs - 1));
    EXPECT_TRUE(ForegroundSettled(f, kForegroundPatienceMs));
  }
  EXPECT_TRUE(ForegroundSettled(Foreground::Renderer, 0));
}

}  // namespace
}  // namespace numerabo
