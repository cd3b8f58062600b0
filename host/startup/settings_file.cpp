#include "host/startup/settings_file.h"

#include <windows.h>

#include <cstring>

#include "host/startup/framework.h"
#include "host/startup/path_utils.h"
#include "host/startup/paths.h"
#include "host/startup/settings_logic.h"

namespace numerabo {

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file) {
  char buffer[256] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof(buffer), file.c_str());
  buffer[sizeof(buffer) - 1] = '\0';
  return std::string(buffer);
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::string& file) {
  // Section and key pass through fixed 128-character fields: names of up to
  // 127 characters pass whole, longer ones are cut.
  char sectionField[128] = {};
  char keyField[128] = {};
  std::strncpy(sectionField, section.c_str(), sizeof(sectionField) - 1);
  std::strncpy(keyField, key.c_str(), sizeof(keyField) - 1);
  WritePrivateProfileStringA(sectionField, keyField, value.c_str(), file.c_str());
}

std::string SettingsFile() { return SettingsFilePath(app::ProgramFolder()); }

void LoadSettings() {
  const std::string file = SettingsFile();
  SettingsSource source;
  source.read = [&file](const char* key) { return ReadSetting(kSettingsSection, key, file); };
  source.fileExists = [](const std::string& path) { return FileExists(path); };
  source.programFolder = app::ProgramFolder();
  LoadSettingsFrom(source);
}

}  // namespace numerabo
