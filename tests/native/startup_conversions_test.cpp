#include <gtest/gtest.h>

#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"

namespace numerabo {
namespace {

TEST(UpperCase, AsciiOnlyAndTrailBytesUntouched) {
  EXPECT_EQ(UpperCase("song.mp3"), "SONG.MP3");
  // "ａ" is 82 81, "Ａ" is 82 60; "ア" is 83 41: trail bytes are never changed.
  const std::string katakana = "ア";
  ASSERT_EQ(katakana.size(), 2u);
  EXPECT_EQ(UpperCase(katakana), katakana);
  const std::string withTrailLetter = "\x82\x61x";  // a character whose trail byte is 'a'
  EXPECT_EQ(UpperCase(withTrailLetter), "\x82\x61X");
}

TEST(LastCharacters, CountsDoubleByteCharactersOnce) {
  EXPECT_EQ(LastCharacters("a.wav", 3), "wav");
  EXPECT_EQ(LastCharacters("ab", 3), "ab");
  // None asked for: none given, rather than a read past the character list.
  EXPECT_EQ(LastCharacters("ab", 0), "");
  EXPECT_EQ(LastCharacters("", 0), "");
  EXPECT_EQ(LastCharacters("曲.ぬめら", 3), "ぬめら");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2.0);
  EXPECT_EQ(RoundHalfEven(3.5), 4.0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
  EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
  EXPECT_EQ(RoundHalfEven(2.4), 2.0);
  EXPECT_EQ(RoundHalfEven(2.6), 3.0);
  EXPECT_EQ(RoundHalfEven(0.5), 0.0);
}

TEST(NumberTexts, HashPatternAndSignedForm) {
  EXPECT_EQ(FormatHashes(0), "");
  EXPECT_EQ(FormatHashes(7), "7");
  EXPECT_EQ(FormatHashes(12), "12");
  EXPECT_EQ(FormatHashes(45), "45");
  EXPECT_EQ(FormatHashes(-3), "-3");
  EXPECT_EQ(SignedNumberText(0), " 0");
  EXPECT_EQ(SignedNumberText(2), " 2");
  EXPECT_EQ(SignedNumberText(30), " 30");
  EXPECT_EQ(SignedNumberText(-3), "-3");
  EXPECT_EQ(SignedNumberText(-32768), "-32768");
}

TEST(ParseNumber, WholeTextMustBeANumber) {
  double v = 0;
  EXPECT_TRUE(ParseNumber(" 2", &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(ParseNumber("2.9", &v));
  EXPECT_EQ(v, 2.9);
  EXPECT_TRUE(ParseNumber(" -0.5 ", &v));
  EXPECT_EQ(v, -0.5);
  EXPECT_TRUE(ParseNumber("1e3", &v));
  EXPECT_EQ(v, 1000);
  EXPECT_TRUE(ParseNumber(".5", &v));
  EXPECT_EQ(v, 0.5);
  for (const char* bad : {"", " ", "abc", "12abc", "1 2", "-", ".", "1e", "1e999", "0x10"}) {
    EXPECT_FALSE(ParseNumber(bad, &v)) << bad;
  }
}

TEST(ToInt16, RoundingDownAndToEvenWithRange) {
  int16_t v = 0;
  EXPECT_TRUE(ToInt16RoundedDown("2.9", &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(ToInt16RoundedDown("-0.5", &v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(ToInt16RoundedDown("32767.9", &v));
  EXPECT_EQ(v, 32767);
  EXPECT_FALSE(ToInt16RoundedDown("40000", &v));
  EXPECT_FALSE(ToInt16RoundedDown("-32769", &v));
  EXPECT_TRUE(ToInt16RoundedEven("2.5", &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(ToInt16RoundedEven("3.5", &v));
  EXPECT_EQ(v, 4);
  EXPECT_TRUE(ToInt16RoundedEven("-32768.4", &v));
  EXPECT_EQ(v, -32768);
  EXPECT_FALSE(ToInt16RoundedEven("32767.5", &v));  // rounds to 32768
  EXPECT_FALSE(ToInt16RoundedEven("abc", &v));
}

TEST(LeadingNumber, LenientReading) {
  EXPECT_EQ(LeadingNumber("  42"), 42);
  EXPECT_EQ(LeadingNumber("4 2x9"), 42);
  EXPECT_EQ(LeadingNumber("-7"), -7);
  EXPECT_EQ(LeadingNumber("x1"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("1.5e2"), 150);
}

}  // namespace
}  // namespace numerabo
