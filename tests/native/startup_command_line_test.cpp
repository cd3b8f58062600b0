#include <gtest/gtest.h>

#include "host/startup/command_line.h"

namespace numerabo {
namespace {

TEST(SwitchOf, SecondCharacterUpperCased) {
  EXPECT_EQ(SwitchOf("/s"), "S");
  EXPECT_EQ(SwitchOf("/S"), "S");
  EXPECT_EQ(SwitchOf("-s"), "S");
  EXPECT_EQ(SwitchOf("xs"), "S");
  EXPECT_EQ(SwitchOf("/p 1234"), "P");
  EXPECT_EQ(SwitchOf("/c:1234"), "C");
  EXPECT_EQ(SwitchOf("/a"), "A");
}

TEST(SwitchOf, ShortLinesHaveNoSwitch) {
  EXPECT_EQ(SwitchOf(""), "");
  EXPECT_EQ(SwitchOf("s"), "");
}

TEST(SwitchOf, DoubleByteCharactersCountAsOne) {
  // "ぬs": the first character is two bytes; the switch is still "S".
  EXPECT_EQ(SwitchOf("ぬs"), "S");
  // A double-byte second character is taken whole and not upper-cased.
  EXPECT_EQ(SwitchOf("/ぬ"), "ぬ");
}

int32_t Parent(const std::string& line) {
  int32_t handle = -77;
  EXPECT_TRUE(PreviewParentOf(line, &handle)) << line;
  return handle;
}

TEST(PreviewParentOf, ReadsFromTheFourthCharacter) {
  EXPECT_EQ(Parent("/p 1234"), 1234);
  EXPECT_EQ(Parent("/p:1234"), 1234);
  EXPECT_EQ(Parent("/P1234"), 234);  // the third character is skipped whatever it is
  EXPECT_EQ(Parent("/c:1234"), 1234);
}

TEST(PreviewParentOf, BlanksAreSkippedAndReadingStopsAtText) {
  EXPECT_EQ(Parent("/p    1234"), 1234);
  EXPECT_EQ(Parent("/p 12 34"), 1234);
  EXPECT_EQ(Parent("/p 1234abc"), 1234);
  EXPECT_EQ(Parent("/p\t56"), 56);
}

TEST(PreviewParentOf, NoNumberGivesZero) {
  EXPECT_EQ(Parent("/p"), 0);
  EXPECT_EQ(Parent("/p "), 0);
  EXPECT_EQ(Parent("/p abc"), 0);
  EXPECT_EQ(Parent("/p -"), 0);
}

TEST(PreviewParentOf, FractionsRoundHalvesToEven) {
  EXPECT_EQ(Parent("/p 12.5"), 12);
  EXPECT_EQ(Parent("/p 13.5"), 14);
  EXPECT_EQ(Parent("/p 7.49"), 7);
}

TEST(PreviewParentOf, NumbersBeyondThirtyTwoBitsFail) {
  int32_t handle = 99;
  EXPECT_FALSE(PreviewParentOf("/p 4294967296", &handle));
  EXPECT_FALSE(PreviewParentOf("/p 2147483648", &handle));
  EXPECT_EQ(handle, 99);
  EXPECT_EQ(Parent("/p 2147483647"), 2147483647);
  EXPECT_EQ(Parent("/p -2147483648"), -2147483647 - 1);
}

}  // namespace
}  // namespace numerabo
