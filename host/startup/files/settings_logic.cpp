#include "host/startup/files/settings_logic.h"

#include "host/startup/files/path_text.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

const char* const kSettingsSection = "Section";
const char* const kKeyBgmKind = "BGM区分";
const char* const kKeyBgmRepeat = "BGMﾘﾋﾟｰﾄ";
const char* const kKeyBgmFile = "BGMﾌｧｲﾙ";

namespace {

void ReadWholeNumber(const SettingsSource& source, const char* key, int16_t* target) {
  std::string text = source.read(key);
  if (text.empty()) {
    *target = 0;
    return;
  }
  int16_t value;
  if (ToInt16RoundedDown(text, &value)) *target = value;
}

}  // namespace

void LoadSettingsFrom(const SettingsSource& source) {
  ReadWholeNumber(source, kKeyBgmKind, &BgmKind);
  ReadWholeNumber(source, kKeyBgmRepeat, &BgmRepeat);

  std::string file = source.read(kKeyBgmFile);
  if (!file.empty() && !source.fileExists(file)) file.clear();
  BgmFile = file;
  if (BgmFile.empty() && BgmKind == 2) BgmKind = 0;

  BgmFolder = BgmFile.empty() ? source.programFolder : Wide(FolderOf(BgmFile));
}

}  // namespace numerabo
