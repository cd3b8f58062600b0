#include "host/startup/files/settings_file.h"

#include <windows.h>

#include "host/startup/files/file_io.h"
#include "host/startup/files/ini_text.h"
#include "host/startup/files/path_lookup.h"
#include "host/startup/files/path_text.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/framework/framework.h"
#include "host/startup/text/sjis.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

// The settings file is Shift-JIS on every system. Where the system's code
// page is Shift-JIS, the platform's profile calls read and write it as they
// always have; anywhere else they would decode its bytes in the wrong code
// page, so the host reads and changes the bytes itself, by the same rules.
bool ProfileCallsSpeakShiftJis() { return GetACP() == 932; }

constexpr size_t kValueBytes = 255;  // what a 256-byte reply buffer holds

// Names pass through fixed 128-character fields: up to 127 characters pass whole.
std::string NameField(const std::string& name) { return FirstBytes(name, 127); }

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::wstring& file) {
  if (ProfileCallsSpeakShiftJis()) {
    wchar_t buffer[kValueBytes + 1] = {};
    GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"", buffer, kValueBytes + 1, file.c_str());
    buffer[kValueBytes] = L'\0';
    return FirstBytes(Sjis(buffer), kValueBytes);
  }
  std::string text;
  std::string value;
  if (ReadWholeFile(file, &text) != FileRead::kRead || !IniValue(text, section, key, &value)) return std::string();
  return value;
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::wstring& file) {
  if (ProfileCallsSpeakShiftJis()) {
    return WritePrivateProfileStringW(Wide(NameField(section)).c_str(), Wide(NameField(key)).c_str(),
                                      Wide(value).c_str(), file.c_str()) != FALSE;
  }
  std::string text;
  // A missing file is an empty one. A file that is there but cannot be read
  // is left alone, as the platform's own call leaves it: writing one key over
  // it would lose every other key the user has there.
  if (ReadWholeFile(file, &text) == FileRead::kFailed) return false;
  const std::string changed = IniWithValue(text, NameField(section), NameField(key), value);
  return ReplaceWholeFile(file, changed.data(), changed.size());
}

std::wstring SettingsFile() { return SettingsFilePath(app::ProgramFolder()); }

void LoadSettings() {
  const std::wstring file = SettingsFile();
  SettingsSource source;
  source.read = [&file](const char* key) { return ReadSetting(kSettingsSection, key, file); };
  source.fileExists = [](const std::string& path) { return FileExists(Wide(path)); };
  source.programFolder = app::ProgramFolder();
  LoadSettingsFrom(source);
}

}  // namespace numerabo
