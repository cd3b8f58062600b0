#include "host/startup/paths.h"

#include <vector>

#include "host/startup/sjis.h"

namespace numerabo {

namespace {

// Byte offset of the last single-byte character that is one of chars, or npos.
size_t LastOf(const std::string& text, const char* chars) {
  size_t found = std::string::npos;
  for (size_t start : CharacterStarts(text)) {
    bool single = !IsSjisLeadByte(static_cast<unsigned char>(text[start])) || start + 1 == text.size();
    if (!single) continue;
    for (const char* c = chars; *c; ++c) {
      if (text[start] == *c) found = start;
    }
  }
  return found;
}

bool EndsWithBackslash(const std::string& text) {
  std::vector<size_t> starts = CharacterStarts(text);
  return !starts.empty() && text.size() - starts.back() == 1 && text.back() == '\\';
}

}  // namespace

std::string FolderOf(const std::string& path) {
  size_t pos = LastOf(path, ":\\");
  if (pos == std::string::npos) return std::string();
  return WithoutTrailingBackslash(path.substr(0, pos + 1));
}

std::string WithoutTrailingBackslash(const std::string& path) {
  if (EndsWithBackslash(path)) return path.substr(0, path.size() - 1);
  return path;
}

std::string ProgramFolderOf(const std::string& modulePath) {
  size_t pos = LastOf(modulePath, "\\");
  if (pos == std::string::npos) return std::string();
  std::string folder = modulePath.substr(0, pos);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

std::string SettingsFilePath(const std::string& programFolder) {
  return programFolder + "\\ぬめらぼ.ini";
}

std::string RendererFilePath(const std::string& programFolder) {
  return programFolder + "\\ぬめらぼ.dll";
}

}  // namespace numerabo
