// Every input committed for a fuzz target, its seeds and each input that ever
// failed, run through the target's own check: here under g++ with the
// native build's sanitizers, in every run of the suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/bitmap_file_check.h"
#include "tests/fuzz/command_line_check.h"
#include "tests/fuzz/decoded_rows_check.h"
#include "tests/fuzz/ini_text_check.h"
#include "tests/fuzz/mci_reply_check.h"
#include "tests/fuzz/numbers_check.h"
#include "tests/fuzz/property_bag_check.h"
#include "tests/fuzz/settings_check.h"
#include "tests/fuzz/start_record_check.h"
#include "tests/fuzz/text_check.h"
#include "tests/fuzz/wallpaper_check.h"

namespace numerabo {
namespace {

struct Target {
  const char* name;
  std::string (*check)(const uint8_t* data, size_t size);
};

const Target kTargets[] = {
    {"bitmap_file", fuzz::CheckBitmapFile},   {"command_line", fuzz::CheckCommandLine},
    {"decoded_rows", fuzz::CheckDecodedRows}, {"ini_text", fuzz::CheckIniText},
    {"mci_reply", fuzz::CheckMciReply},       {"numbers", fuzz::CheckNumbers},
    {"property_bag", fuzz::CheckPropertyBag}, {"settings", fuzz::CheckSettings},
    {"start_record", fuzz::CheckStartRecord}, {"text", fuzz::CheckText},
    {"wallpaper", fuzz::CheckWallpaper},
};

const std::filesystem::path kCorpora = NUMERABO_FUZZ_CORPORA;

std::vector<uint8_t> Bytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FuzzFindings, EveryTargetWithInputsIsReplayed) {
  std::set<std::string> known;
  for (const Target& target : kTargets) known.insert(target.name);
  size_t folders = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpora)) {
    if (!entry.is_directory()) continue;
    ++folders;
    EXPECT_TRUE(known.count(entry.path().filename().string())) << entry.path() << " has no replay here";
  }
  EXPECT_GE(folders, known.size());
}

TEST(FuzzFindings, CommittedInputsKeepTheirProperty) {
  for (const Target& target : kTargets) {
    size_t inputs = 0;
    for (const char* kind : {"seeds", "found"}) {
      const std::filesystem::path folder = kCorpora / target.name / kind;
      if (!std::filesystem::is_directory(folder)) continue;
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        const std::vector<uint8_t> bytes = Bytes(entry.path());
        EXPECT_EQ(target.check(bytes.data(), bytes.size()), "") << entry.path();
        ++inputs;
      }
    }
    EXPECT_GT(inputs, 0u) << target.name << " has no seeds";
  }
}

// The settings target writes the file with the keys' Shift-JIS bytes, which
// the fuzz build's compiler cannot give the program's literals.
TEST(FuzzFindings, SettingsTargetWritesTheProgramsKeys) {
  for (const char* key : {kKeyBgmKind, kKeyBgmRepeat, kKeyBgmFile}) EXPECT_EQ(fuzz::FileKey(key), key);
}

}  // namespace
}  // namespace numerabo
