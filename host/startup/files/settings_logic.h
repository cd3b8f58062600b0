// Filling the shared music settings from the three keys of the settings
// file, with the repairs that keep them consistent.
#pragma once

#include <functional>
#include <string>

namespace numerabo {

extern const char* const kSettingsSection;   // "Section"
extern const char* const kKeyBgmKind;        // "BGM区分"
extern const char* const kKeyBgmRepeat;      // "BGMﾘﾋﾟｰﾄ"
extern const char* const kKeyBgmFile;        // "BGMﾌｧｲﾙ"

struct SettingsSource {
  std::function<std::string(const char* key)> read;        // "" when absent
  std::function<bool(const std::string& path)> fileExists;
  std::wstring programFolder;
};

// Sets BgmKind, BgmRepeat, BgmFile and BgmFolder. A number that cannot be
// read leaves its value as it was; kind 2 needs a file that exists.
void LoadSettingsFrom(const SettingsSource& source);

}  // namespace numerabo
