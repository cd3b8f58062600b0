// The settings dialog's window-free rules: placement, gradients, the kind
// rule, the repeat box and what saving writes.
#include <gtest/gtest.h>

#include "host/settings/dialog_logic.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(SettingsPlacement, CentredAcrossAndAThirdDown) {
  DialogPlacement p = PlaceDialog(15360, 11520, 7530, 4020);
  EXPECT_EQ(p.left, 3915);
  EXPECT_EQ(p.top, 2500);
  // An odd difference loses its half in the division.
  EXPECT_EQ(PlaceDialog(15360 + 1, 11520, 7530, 4020).left, 3915);
}

TEST(SettingsPlacement, RoundsHalvesToEvenThenTruncatesTowardZero) {
  EXPECT_EQ(PlaceDialog(7830.5, 0, 0, 0).left, 3915);   // 7830.5 -> 7830
  EXPECT_EQ(PlaceDialog(7831.5, 0, 0, 0).left, 3916);   // 7831.5 -> 7832
  EXPECT_EQ(PlaceDialog(100, 100, 107, 110).left, -3);  // -7 \ 2, not -4
  EXPECT_EQ(PlaceDialog(100, 100, 107, 110).top, -3);   // -10 \ 3
}

TEST(SettingsGradient, WindowLoopOverTheClientHeight) {
  const float height = 3645;
  const double k = GradientK(height);
  EXPECT_EQ(GradientLineCount(height), 3646);
  EXPECT_EQ(GradientColour(0, k, GradientTint::Window), (Rgb{0, 0, 30}));
  EXPECT_EQ(GradientColour(1822, k, GradientTint::Window), (Rgb{220, 220, 250}));
  EXPECT_EQ(GradientColour(3645, k, GradientTint::Window), (Rgb{0, 0, 30}));
  // The brightest lines form a plateau centred near the middle.
  long first = -1, last = -1;
  for (long y = 0; y < GradientLineCount(height); ++y) {
    if (GradientLevel(y, k) == 220) {
      if (first < 0) first = y;
      last = y;
    }
  }
  EXPECT_NEAR((first + last) / 2.0, 1822, 1.0);
  EXPECT_LT(last - first, 200);
  // A quarter of the way down: 220 sin(pi/4) rounded.
  EXPECT_EQ(GradientLevel(911, k), 156);
}

TEST(SettingsGradient, PanelIsAGreyBand) {
  const float height = 2475;
  const double k = GradientK(height);
  EXPECT_EQ(GradientColour(0, k, GradientTint::Panel), (Rgb{30, 30, 30}));
  EXPECT_EQ(GradientColour(1237, k, GradientTint::Panel), (Rgb{250, 250, 250}));
  Rgb bottom = GradientColour(2475, k, GradientTint::Panel);
  EXPECT_EQ(bottom.red, bottom.blue);
  EXPECT_LE(bottom.red, 31);
}

TEST(SettingsGradient, EachPixelRowKeepsTheLastLineDrawnOnIt) {
  std::vector<Rgb> rows = GradientRows(3645, 243, PixelScale(96), GradientTint::Window);
  ASSERT_EQ(rows.size(), 243u);
  const double k = GradientK(3645);
  EXPECT_EQ(rows[0], GradientColour(14, k, GradientTint::Window));
  EXPECT_EQ(rows[121], (Rgb{220, 220, 250}));
  EXPECT_EQ(rows[242], GradientColour(3644, k, GradientTint::Window));
  for (int r = 1; r <= 121; ++r) EXPECT_GE(rows[r].red, rows[r - 1].red) << r;
  for (int r = 122; r < 243; ++r) EXPECT_LE(rows[r].red, rows[r - 1].red) << r;
  // More rows than lines: the rows past the last line stay black.
  std::vector<Rgb> tall = GradientRows(30, 5, PixelScale(96), GradientTint::Panel);
  EXPECT_EQ(tall[3], (Rgb{}));
}

TEST(SettingsKindRule, MarkersAndEnabledControls) {
  KindView none = ShowKind(0);
  EXPECT_TRUE(none.selected[0]);
  EXPECT_FALSE(none.selected[1] || none.selected[2]);
  EXPECT_FALSE(none.repeatEnabled || none.fileEnabled);

  KindView cd = ShowKind(1);
  EXPECT_TRUE(cd.selected[1]);
  EXPECT_FALSE(cd.selected[0] || cd.selected[2]);
  EXPECT_TRUE(cd.repeatEnabled);
  EXPECT_FALSE(cd.fileEnabled);

  KindView file = ShowKind(2);
  EXPECT_TRUE(file.selected[2]);
  EXPECT_FALSE(file.selected[0] || file.selected[1]);
  EXPECT_FALSE(file.repeatEnabled);
  EXPECT_TRUE(file.fileEnabled);

  for (int16_t odd : {int16_t(7), int16_t(-1), int16_t(3)}) {
    KindView v = ShowKind(odd);
    EXPECT_FALSE(v.selected[0] || v.selected[1] || v.selected[2]) << odd;
    EXPECT_FALSE(v.repeatEnabled || v.fileEnabled) << odd;
  }
}

TEST(SettingsRepeatBox, TextsAndList) {
  EXPECT_EQ(RepeatText(0), "");
  EXPECT_EQ(RepeatText(7), "7");
  EXPECT_EQ(RepeatText(12), "12");
  EXPECT_EQ(RepeatText(45), "45");
  EXPECT_EQ(RepeatText(-3), "-3");
  std::vector<std::string> list = RepeatListEntries();
  ASSERT_EQ(list.size(), 31u);
  EXPECT_EQ(list.front(), "");
  EXPECT_EQ(list[1], "1");
  EXPECT_EQ(list.back(), "30");
}

TEST(SettingsRepeatBox, TextToTrackNumber) {
  EXPECT_EQ(RepeatFromText("2.5"), 2);
  EXPECT_EQ(RepeatFromText("3.5"), 4);
  EXPECT_EQ(RepeatFromText("45"), 45);
  EXPECT_EQ(RepeatFromText(" 7 "), 7);
  EXPECT_EQ(RepeatFromText("-3"), -3);
  EXPECT_EQ(RepeatFromText(""), 0);
  EXPECT_EQ(RepeatFromText("abc"), 0);
  EXPECT_EQ(RepeatFromText("7x"), 0);
  // The 16-bit range: its ends pass, anything past them is no track.
  EXPECT_EQ(RepeatFromText("32767"), 32767);
  EXPECT_EQ(RepeatFromText("-32768"), -32768);
  EXPECT_EQ(RepeatFromText("32767.5"), 0);
  EXPECT_EQ(RepeatFromText("40000"), 0);
  EXPECT_EQ(RepeatFromText("1e10"), 0);
  // A locale that writes fractions with a comma.
  EXPECT_EQ(RepeatFromText("3,5", ','), 4);
  EXPECT_EQ(RepeatFromText("3.5", ','), 0);
}

TEST(SettingsSave, ThreeKeysInOrderWithTheNumberForm) {
  const std::string kindKey = Bytes({0x42, 0x47, 0x4D, 0x8B, 0xE6, 0x95, 0xAA});
  const std::string repeatKey = Bytes({0x42, 0x47, 0x4D, 0xD8, 0xCB, 0xDF, 0xB0, 0xC4});
  const std::string fileKey = Bytes({0x42, 0x47, 0x4D, 0xCC, 0xA7, 0xB2, 0xD9});

  SavedSettings s = SettingsToSave(2, "3.5", "C:\\x\\a.wav");
  EXPECT_EQ(s.repeat, 4);
  ASSERT_EQ(s.entries.size(), 3u);
  EXPECT_EQ(s.entries[0], std::make_pair(kindKey, std::string(" 2")));
  EXPECT_EQ(s.entries[1], std::make_pair(repeatKey, std::string(" 4")));
  EXPECT_EQ(s.entries[2], std::make_pair(fileKey, std::string("C:\\x\\a.wav")));

  // Nothing is checked against the choices: kind 0 keeps its file, an
  // odd kind and a negative track are written as they are.
  s = SettingsToSave(0, "", "C:\\m.mp3");
  EXPECT_EQ(s.entries[0].second, " 0");
  EXPECT_EQ(s.entries[1].second, " 0");
  EXPECT_EQ(s.entries[2].second, "C:\\m.mp3");
  s = SettingsToSave(7, "-3", "");
  EXPECT_EQ(s.entries[0].second, " 7");
  EXPECT_EQ(s.entries[1].second, "-3");
  EXPECT_EQ(s.entries[2].second, "");
}

TEST(SettingsFileChooser, FilterIsOnePairEndedByADoubleNul) {
  std::string expected = Bytes({'B', 'G', 'M', 0xCC, 0xA7, 0xB2, 0xD9}) + " (MP3 WAV)";
  expected += '\0';
  expected += "*.MP3;*.WAV";
  expected += '\0';
  expected += '\0';
  EXPECT_EQ(MusicFileFilter(), expected);
  // The chooser is asked in UTF-16: the NULs that end each text must survive
  // the conversion, or the list ends after its first text.
  const std::wstring wide = Wide(MusicFileFilter());
  const std::wstring expectedWide = std::wstring(L"BGM\uFF8C\uFF67\uFF72\uFF99 (MP3 WAV)") + L'\0' +
                                    L"*.MP3;*.WAV" + L'\0' + L'\0';
  EXPECT_EQ(wide, expectedWide);
}

TEST(SettingsFileChooser, HowAChosenPathIsStored) {
  const std::wstring kanji(145, L'\u66F2');  // 曲: 2 Shift-JIS bytes each
  const std::wstring fits = L"C:\\" + kanji.substr(0, 124) + L".wa";  // 254 bytes
  const std::wstring tooLong = L"C:\\" + kanji + L"\\a.wav";             // 299 bytes in 153 characters
  const std::wstring accented = L"C:\\Musique\\\u00E9t\u00E9.wav";      // é has no Shift-JIS form
  const std::wstring shortName = L"C:\\Musique\\_T_~~2WP.WAV";
  const std::wstring none;
  struct Case {
    std::wstring path, shortForm;  // what the volume gives: a short name, none, or the path unchanged
    Storable expected;
    std::wstring stored;
  } cases[] = {
      {fits, none, Storable::kYes, fits},
      {fits + L"a", shortName, Storable::kYes, shortName},
      {accented, shortName, Storable::kYes, shortName},
      {tooLong, shortName, Storable::kYes, shortName},
      // A volume without short names gives the path back as it is.
      {tooLong, tooLong, Storable::kTooLong, L""},
      {accented, accented, Storable::kUnnameable, L""},
      // A file that is not there has no short name either.
      {tooLong, none, Storable::kTooLong, L""},
      {accented, none, Storable::kUnnameable, L""},
      {tooLong, L"C:\\" + kanji.substr(0, 130), Storable::kTooLong, L""},  // a short form too long itself
  };
  for (const Case& c : cases) {
    std::string stored = "old";
    const Storable got = StorablePath(c.path, [&c](const std::wstring&) { return c.shortForm; }, &stored);
    EXPECT_EQ(got, c.expected) << Sjis(c.path).size();
    EXPECT_EQ(stored, c.stored.empty() ? "old" : Sjis(c.stored)) << Sjis(c.path).size();
  }
}

}  // namespace
}  // namespace numerabo
