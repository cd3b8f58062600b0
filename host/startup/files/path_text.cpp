#include "host/startup/files/path_text.h"

#include <vector>

#include "host/startup/text/sjis.h"
#include "host/startup/text/wide_text.h"

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

std::wstring ProgramFolderOf(const std::wstring& modulePath) {
  const size_t pos = modulePath.rfind(L'\\');
  if (pos == std::wstring::npos) return std::wstring();
  std::wstring folder = modulePath.substr(0, pos);
  if (folder.size() == 2 && folder[1] == L':') folder += L'\\';
  return folder;
}

std::wstring SettingsFilePath(const std::wstring& programFolder) {
  return programFolder + Wide("\\ぬめらぼ.ini");
}

std::wstring RendererFilePath(const std::wstring& programFolder) {
  return programFolder + Wide("\\ぬめらぼ.dll");
}

}  // namespace numerabo
