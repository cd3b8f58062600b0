#include <gtest/gtest.h>

#include <string>

#include "host/startup/text/wide_text.h"

namespace numerabo {
namespace {

// Each kind of Shift-JIS character against its bytes, both ways. Narrow
// literals here are Shift-JIS already (the build's execution character set).
TEST(WideText, EveryKindOfShiftJisCharacterBothWays) {
  struct Case {
    const char* sjis;
    std::string bytes;
    std::wstring wide;
  };
  const Case cases[] = {
      {"C:\\Numerabo1.bmp", "C:\\Numerabo1.bmp", L"C:\\Numerabo1.bmp"},  // ASCII, backslash stays itself
      {"ﾌｧｲﾙ", "\xCC\xA7\xB2\xD9", L"\uFF8C\uFF67\uFF72\uFF99"},           // half-width katakana, one byte each
      {"ぬめらぼ", "\x82\xCA\x82\xDF\x82\xE7\x82\xDA", L"ぬめらぼ"},          // double-byte
      {"表ソ\\", "\x95\x5C\x83\x5C\x5C", L"表ソ\\"},                          // trail byte 0x5C, then a real "\"
      {"BGM区分", "BGM\x8B\xE6\x95\xAA", L"BGM区分"},
      {"～", "\x81\x60", L"\uFF5E"},                                           // the platform's own mapping of 81 60
      {"", "", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(std::string(c.sjis), c.bytes);
    EXPECT_EQ(Wide(c.bytes), c.wide);
    std::string back = "unchanged";
    ASSERT_TRUE(SjisOf(c.wide, &back));
    EXPECT_EQ(back, c.bytes);
    EXPECT_EQ(Sjis(c.wide), c.bytes);
  }
}

TEST(WideText, TextOutsideShiftJisIsDetected) {
  const std::wstring outside[] = {
      L"C:\\Users\\Zoë\\Downloads",  // Latin letter with diaeresis
      L"Beyoncé.mp3",
      L"Saver 🌸",                    // outside the basic plane
      L"Łódź",
  };
  for (const std::wstring& text : outside) {
    std::string kept = "kept";
    EXPECT_FALSE(SjisOf(text, &kept));
    EXPECT_EQ(kept, "kept");
    // Shown text gets "?" for what cannot be written, never a look-alike.
    EXPECT_NE(Sjis(text).find('?'), std::string::npos);
  }
  EXPECT_EQ(Sjis(L"Beyonc\u00E9.mp3"), "Beyonc?.mp3");  // é
}

TEST(WideText, BrokenShiftJisBecomesReplacementCharacters) {
  // A lead byte with nothing after it starts no character.
  const std::wstring wide = Wide("ab\x82");
  ASSERT_GE(wide.size(), 3u);
  EXPECT_EQ(wide.substr(0, 2), L"ab");
  EXPECT_NE(wide.back(), L'\0');
}

}  // namespace
}  // namespace numerabo
