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
// no trailing "\", except a drive's root, which keeps it (C:\). Program
// paths are the platform's UTF-16: a folder may hold any character.
std::wstring ProgramFolderOf(const std::wstring& modulePath);

// Files beside the program. A root folder gives a doubled backslash
// (C:\\ぬめらぼ.ini), which is used as it is.
std::wstring SettingsFilePath(const std::wstring& programFolder);
std::wstring RendererFilePath(const std::wstring& programFolder);

}  // namespace numerabo
