// The settings file ぬめらぼ.ini beside the program: one key read or written
// in the initialisation-file format, and LoadSettings, which
// fills the shared music settings once at start-up.
#pragma once

#include <string>

namespace numerabo {

// The value of key, cut to 255 bytes by the platform; "" when the key, the
// section or the file is missing.
std::string ReadSetting(const std::string& section, const std::string& key, const std::wstring& file);

// Writes one key, creating file, section and key as needed. False when the
// key could not be written (the file held by another program, a folder
// without write access, a file there that cannot be read); the file then
// keeps its old bytes.
bool WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                  const std::wstring& file);

// The settings file of this program.
std::wstring SettingsFile();

void LoadSettings();

}  // namespace numerabo
