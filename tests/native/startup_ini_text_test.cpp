#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "host/startup/files/ini_text.h"

namespace numerabo {
namespace {

// Shift-JIS trail bytes that look like ASCII: "ア" 83 41 ("A"), "ヂ" 83 61
// ("a"), "ゾ" 83 5D ("]"), "ソ" 83 5C and "表" 95 5C ("\").
TEST(IniValue, ReadsByThePlatformRules) {
  struct Case {
    const char* text;
    const char* section;
    const char* key;
    bool found;
    const char* value;
  };
  const Case cases[] = {
      {"[Section]\r\nKey= 2\r\n", "section", "KEY", true, "2"},
      {"  [ Section ]  \r\n\t Key \t=\t v a \t\r\n", " Section ", " Key ", true, "v a"},
      {"[Section]\r\nKey= \" x \" \r\n", "Section", "Key", true, " x "},
      {"[Section]\r\nKey='y'\r\n", "Section", "Key", true, "y"},
      {"[Section]\r\nKey=\"z'\r\n", "Section", "Key", true, "\"z'"},
      {"[Section]\r\nKey=\"\r\n", "Section", "Key", true, "\""},
      {"[Section]\r\nKey=\r\n", "Section", "Key", true, ""},
      {"[Section]\r\n;Key=1\r\n", "Section", "Key", false, ""},
      {"[Section]\r\n ;Key=1\r\nKey=2\r\n", "Section", "Key", true, "2"},
      {"[Section]\r\nKey=1\r\nkey=2\r\n", "Section", "Key", true, "1"},
      {"[Section]\r\nA=1\r\n[Section]\r\nKey=2\r\n", "Section", "Key", false, ""},
      {"[Other]\r\nKey=1\r\n[Section]\r\nA=2\r\n", "Section", "Key", false, ""},
      {"Key=1\r\n[Section]\r\n", "Section", "Key", false, ""},
      {"[Section]\nKey=lf\n", "Section", "Key", true, "lf"},
      {"[Section]\rKey=cr\r", "Section", "Key", true, "cr"},
      {"[Section]\r\n\r\nKey=last", "Section", "Key", true, "last"},
      {"[Section\r\nKey=open", "Section", "Key", true, "open"},
      {"[Section]Key=1\r\n", "Section", "Key", false, ""},
      {"[Section]\r\nKey\r\n", "Section", "Key", false, ""},
      {"", "Section", "Key", false, ""},
      {"[Section]\r\n", "Section", "Key", false, ""},
      {"[Other]\r\nKey=1\r\n", "Section", "Key", false, ""},
      {"[ゾ]\r\nKey=1\r\n", "ゾ", "Key", true, "1"},
      {"[Section]\r\nヂ=1\r\n", "Section", "ア", false, ""},
      {"[Section]\r\nxヂ=1\r\n", "Section", "Xヂ", true, "1"},
      {"[Section]\r\nソ表=C:\\ソ\\表\r\n", "Section", "ソ表", true, "C:\\ソ\\表"},
      {"[Section]\r\nBGMﾌｧｲﾙ=C:\\x\\a.wav\r\n", "section", "bgmﾌｧｲﾙ", true, "C:\\x\\a.wav"},
  };
  for (const Case& c : cases) {
    std::string value = "unchanged";
    EXPECT_EQ(IniValue(c.text, c.section, c.key, &value), c.found) << c.text;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

// A damaged file: the value ends at its first NUL, as the platform's reply does.
TEST(IniValue, EndsAtTheFirstNulByte) {
  using namespace std::string_literals;
  const std::string text = "[Section]\r\nA=C:\\a.wav\0junk\r\nB=\"q\0x\"\r\nC=\0\r\n"s;
  const std::pair<const char*, const char*> cases[] = {{"A", "C:\\a.wav"}, {"B", "q"}, {"C", ""}};
  for (const auto& c : cases) {
    std::string value;
    ASSERT_TRUE(IniValue(text, "Section", c.first, &value)) << c.first;
    EXPECT_EQ(value, c.second) << c.first;
  }
}

TEST(IniValue, CutTo255BytesBetweenCharacters) {
  struct Case {
    std::string value;
    size_t length;
  };
  const Case cases[] = {
      {std::string(255, 'a'), 255},
      {std::string(300, 'a'), 255},
      {std::string(254, 'a') + "あ", 254},
      {std::string(253, 'a') + "あ", 255},
      {"\"" + std::string(254, 'a') + "あ\"", 254},
  };
  for (const Case& c : cases) {
    std::string value;
    ASSERT_TRUE(IniValue("[Section]\r\nKey=" + c.value + "\r\n", "Section", "Key", &value));
    EXPECT_EQ(value.size(), c.length);
    EXPECT_EQ(value.find('"'), std::string::npos);
  }
}

TEST(IniWithValue, ChangesOnlyTheKeysLine) {
  struct Case {
    const char* text;
    const char* key;
    const char* value;
    const char* expected;
  };
  const Case cases[] = {
      {"", "Key", "v", "[Section]\r\nKey=v\r\n"},
      {"[A]\r\nx=1\r\n\r\n[Section]\r\nKey=1\r\n; note\r\n\r\n[B]\r\ny=2\r\n", "New", " 2",
       "[A]\r\nx=1\r\n\r\n[Section]\r\nKey=1\r\nNew= 2\r\n; note\r\n\r\n[B]\r\ny=2\r\n"},
      {"[Section]\r\n\r\n[B]\r\n", "Key", "v", "[Section]\r\nKey=v\r\n\r\n[B]\r\n"},
      {"; head\r\n[A]\r\nKey=a\r\n\r\n[section]\r\n;Key=c\r\n  kEY = old \r\n\r\nKey=dup\r\n[B]\r\nKey=b\r\n", "KEY",
       " 2", "; head\r\n[A]\r\nKey=a\r\n\r\n[section]\r\n;Key=c\r\nkEY= 2\r\n\r\nKey=dup\r\n[B]\r\nKey=b\r\n"},
      {"[Section]\nA=1\nKey=old\nB=2\n", "key", "new", "[Section]\nA=1\nKey=new\nB=2\n"},
      {"[Section]\nA=1\n", "B", "v", "[Section]\nA=1\nB=v\r\n"},
      {"[Section]\r\nA=1", "B", "v", "[Section]\r\nA=1\r\nB=v\r\n"},
      {"[Section]\r\nKey=1", "Key", "2", "[Section]\r\nKey=2\r\n"},
      {"[Other]\r\nA=1", "Key", "v", "[Other]\r\nA=1\r\n[Section]\r\nKey=v\r\n"},
      {"[Other]\r\nA=1\r\n\r\n", "Key", "v", "[Other]\r\nA=1\r\n\r\n[Section]\r\nKey=v\r\n"},
      {"[ゾ]\r\n[Section]\r\nア=1\r\n", "ヂ", "2", "[ゾ]\r\n[Section]\r\nア=1\r\nヂ=2\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IniWithValue(c.text, "Section", c.key, c.value), c.expected) << c.text;
  }
}

TEST(IniRoundTrip, TheThreeSettingsKeys) {
  std::string text;
  text = IniWithValue(text, "Section", "BGM区分", " 2");
  text = IniWithValue(text, "Section", "BGMﾘﾋﾟｰﾄ", " 0");
  text = IniWithValue(text, "Section", "BGMﾌｧｲﾙ", "C:\\x\\a.wav");
  EXPECT_EQ(text, "[Section]\r\nBGM区分= 2\r\nBGMﾘﾋﾟｰﾄ= 0\r\nBGMﾌｧｲﾙ=C:\\x\\a.wav\r\n");
  // Writing the same values again leaves the bytes as they are.
  EXPECT_EQ(IniWithValue(text, "Section", "BGM区分", " 2"), text);

  std::string value;
  ASSERT_TRUE(IniValue(text, "Section", "BGM区分", &value));
  EXPECT_EQ(value, "2");
  ASSERT_TRUE(IniValue(text, "Section", "BGMﾘﾋﾟｰﾄ", &value));
  EXPECT_EQ(value, "0");
  ASSERT_TRUE(IniValue(text, "Section", "BGMﾌｧｲﾙ", &value));
  EXPECT_EQ(value, "C:\\x\\a.wav");
}

}  // namespace
}  // namespace numerabo
