// Path texts of the host: the folder part of a path, the program folder,
// and the files that live beside the program.
#pragma once

#include <string>

namespace numerabo {

// The path up to its last ":" or "\", without a trailing "\":
// C:\Music\a.mp3 -> C:\Music, C:\a.mp3 -> C:, C:a.mp3 -> C:, a.mp3 -> "".
std::string FolderOf(const std::string& path);

// The path with one trailing "\" removed, if it has one.
std::string WithoutTrailingBackslash(const std::string& path);

// The folder of the program file as the platform reports program folders:
// no trailing "\", except a drive's root, which keeps it (C:\).
std::string ProgramFolderOf(const std::string& modulePath);

// Files beside the program. A root folder gives a doubled backslash
// (C:\\ぬめらぼ.ini), which is used as it is.
std::string SettingsFilePath(const std::string& programFolder);
std::string RendererFilePath(const std::string& programFolder);

}  // namespace numerabo
