#include <gtest/gtest.h>

#include <map>
#include <set>

#include "host/startup/files/bitmap_writer.h"
#include "host/startup/files/path_text.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/shared_state.h"

namespace numerabo {
namespace {

TEST(FolderOf, FolderPartWithoutTrailingBackslash) {
  EXPECT_EQ(FolderOf("C:\\Music\\a.mp3"), "C:\\Music");
  EXPECT_EQ(FolderOf("C:\\a.mp3"), "C:");
  EXPECT_EQ(FolderOf("C:a.mp3"), "C:");
  EXPECT_EQ(FolderOf("a.mp3"), "");
  EXPECT_EQ(FolderOf(""), "");
}

TEST(FolderOf, TrailBytesThatLookLikeBackslashesAreNotSeparators) {
  // "表" is 95 5C and "ソ" is 83 5C in Shift-JIS.
  EXPECT_EQ(FolderOf("C:\\表\\ソ.mp3"), "C:\\表");
  EXPECT_EQ(FolderOf("C:\\ソ"), "C:");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\ソ"), "C:\\ソ");
  EXPECT_EQ(WithoutTrailingBackslash("C:\\ソ\\"), "C:\\ソ");
}

// Program paths are the platform's UTF-16: a folder Shift-JIS cannot name
// ("Zoë", "🌸", written as escapes for the test macros' own texts) works like
// any other.
TEST(ProgramFolder, RootKeepsItsBackslash) {
  EXPECT_EQ(ProgramFolderOf(L"C:\\Program Files\\Numerabo\\ぬめらぼ.scr"), L"C:\\Program Files\\Numerabo");
  EXPECT_EQ(ProgramFolderOf(L"C:\\Users\\Zo\u00EB\\Saver \U0001F338\\ぬめらぼ.scr"), L"C:\\Users\\Zo\u00EB\\Saver \U0001F338");
  EXPECT_EQ(ProgramFolderOf(L"C:\\ぬめらぼ.scr"), L"C:\\");
  EXPECT_EQ(SettingsFilePath(L"C:\\"), L"C:\\\\ぬめらぼ.ini");
  EXPECT_EQ(RendererFilePath(L"C:\\Zo\u00EB"), L"C:\\Zo\u00EB\\ぬめらぼ.dll");
}

// A settings file as a map of keys, and a set of files that exist.
struct FakeSettings {
  std::map<std::string, std::string> keys;
  std::set<std::string> files;

  void Load() {
    SettingsSource source;
    source.read = [this](const char* key) {
      auto it = keys.find(key);
      return it == keys.end() ? std::string() : it->second;
    };
    source.fileExists = [this](const std::string& path) { return files.count(path) > 0; };
    source.programFolder = L"C:\\Prog";
    LoadSettingsFrom(source);
  }
};

class LoadSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BgmKind = 0;
    BgmRepeat = 0;
    BgmFile.clear();
    BgmFolder.clear();
  }
  FakeSettings fake;
};

TEST_F(LoadSettingsTest, NoFileGivesNothing) {
  fake.Load();
  EXPECT_EQ(BgmKind, 0);
  EXPECT_EQ(BgmRepeat, 0);
  EXPECT_EQ(BgmFile, "");
  EXPECT_EQ(BgmFolder, L"C:\\Prog");
}

TEST_F(LoadSettingsTest, FileKindNeedsAnExistingFile) {
  fake.keys = {{kKeyBgmKind, " 2"}, {kKeyBgmFile, ""}};
  fake.Load();
  EXPECT_EQ(BgmKind, 0);
  EXPECT_EQ(BgmFolder, L"C:\\Prog");

  fake.keys = {{kKeyBgmKind, " 2"}, {kKeyBgmFile, "C:\\gone.mp3"}};
  fake.Load();
  EXPECT_EQ(BgmKind, 0);
  EXPECT_EQ(BgmFile, "");
  EXPECT_EQ(BgmFolder, L"C:\\Prog");

  fake.keys = {{kKeyBgmKind, " 2"}, {kKeyBgmFile, "C:\\Music\\a.mp3"}};
  fake.files = {"C:\\Music\\a.mp3"};
  fake.Load();
  EXPECT_EQ(BgmKind, 2);
  EXPECT_EQ(BgmFile, "C:\\Music\\a.mp3");
  EXPECT_EQ(BgmFolder, L"C:\\Music");
}

TEST_F(LoadSettingsTest, CdKindStaysWithAMissingFile) {
  fake.keys = {{kKeyBgmKind, " 1"}, {kKeyBgmRepeat, " 3"}, {kKeyBgmFile, "C:\\gone.wav"}};
  fake.Load();
  EXPECT_EQ(BgmKind, 1);
  EXPECT_EQ(BgmRepeat, 3);
  EXPECT_EQ(BgmFile, "");
}

TEST_F(LoadSettingsTest, NumbersThatCannotBeReadKeepZero) {
  for (const char* text : {"abc", "40000", "-40000", "1x"}) {
    SetUp();
    fake.keys = {{kKeyBgmKind, text}, {kKeyBgmRepeat, text}};
    fake.Load();
    EXPECT_EQ(BgmKind, 0) << text;
    EXPECT_EQ(BgmRepeat, 0) << text;
  }
}

TEST_F(LoadSettingsTest, NumbersRoundDownAndAcceptBlanks) {
  fake.keys = {{kKeyBgmKind, "7"}, {kKeyBgmRepeat, "2.9"}};
  fake.Load();
  EXPECT_EQ(BgmKind, 7);
  EXPECT_EQ(BgmRepeat, 2);
  fake.keys = {{kKeyBgmKind, " 1 "}, {kKeyBgmRepeat, "-0.5"}};
  fake.Load();
  EXPECT_EQ(BgmKind, 1);
  EXPECT_EQ(BgmRepeat, -1);
}

TEST_F(LoadSettingsTest, RootFolderFile) {
  fake.keys = {{kKeyBgmKind, " 2"}, {kKeyBgmFile, "C:\\a.mp3"}};
  fake.files = {"C:\\a.mp3"};
  fake.Load();
  EXPECT_EQ(BgmFolder, L"C:");
}

TEST(BitmapWriter, OddWidthsArePaddedAndRowsGoBottomUp) {
  // 3 x 2 pixels, top row red, bottom row blue (B, G, R, X in memory).
  const uint8_t pixels[] = {0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0,
                            255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
  std::vector<uint8_t> file = EncodeBmp24(3, 2, pixels);
  ASSERT_EQ(file.size(), 54u + 2 * 12);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(file[10], 54);
  EXPECT_EQ(file[14], 40);
  EXPECT_EQ(file[18], 3);
  EXPECT_EQ(file[22], 2);
  EXPECT_EQ(file[28], 24);
  EXPECT_EQ(file[30], 0);
  EXPECT_EQ(file[34], 24);
  // The first stored row is the bottom one (blue), then 3 padding bytes.
  EXPECT_EQ(file[54], 255);
  EXPECT_EQ(file[56], 0);
  EXPECT_EQ(file[54 + 9], 0);
  EXPECT_EQ(file[54 + 12 + 2], 255);  // top row red
  EXPECT_EQ(Bmp24Stride(1), 4u);
  EXPECT_EQ(Bmp24Stride(1023), 3072u);
  EXPECT_EQ(Bmp24Stride(4), 12u);
}

TEST(BitmapWriter, RefusesEmptySizes) {
  uint8_t pixel[4] = {};
  EXPECT_TRUE(EncodeBmp24(0, 1, pixel).empty());
  EXPECT_TRUE(EncodeBmp24(1, -1, pixel).empty());
}

}  // namespace
}  // namespace numerabo
