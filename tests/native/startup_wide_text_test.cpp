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

// UTF-8 for files read outside the program. A character outside the basic
// plane is a surrogate pair on Windows and one unit in the native build:
// both give its four bytes. A surrogate without its pair gives U+FFFD.
TEST(WideText, Utf8OfEveryLengthAndOfBrokenPairs) {
  const std::wstring pair = sizeof(wchar_t) == 2 ? std::wstring{wchar_t(0xD83C), wchar_t(0xDF38)} : L"\U0001F338";
  const std::wstring lowAlone(1, wchar_t(0xDF38));
  const std::wstring highAtEnd = std::wstring(L"a") + wchar_t(0xD83C);
  const std::wstring highThenLetter = std::wstring(1, wchar_t(0xD83C)) + L"b";
  struct Case {
    std::wstring wide;
    std::string utf8;
  };
  const Case cases[] = {
      {L"", ""},
      {L"C:\\wall.jpg", "C:\\wall.jpg"},
      {L"Zo\u00EB", u8"Zo\u00EB"},                 // two bytes
      {L"\u58C1\u7D19", u8"\u58C1\u7D19"},         // 壁紙, three bytes
      {L"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},  // the edges
      {pair, "\xF0\x9F\x8C\xB8"},
      {lowAlone, "\xEF\xBF\xBD"},
      {highAtEnd, "a\xEF\xBF\xBD"},
      {highThenLetter, "\xEF\xBF\xBD" "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8(c.wide), c.utf8);
  }
}

}  // namespace
}  // namespace numerabo
