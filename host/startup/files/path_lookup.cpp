#include "host/startup/files/path_lookup.h"

namespace numerabo {

bool FileExists(const std::wstring& path) {
  std::wstring name = path;
  if (!name.empty() && name.back() == L'\\') name.pop_back();
  if (name.empty()) return false;
  // Opening a folder needs FILE_FLAG_BACKUP_SEMANTICS, so without it a folder
  // fails to open just as a missing file does.
  HANDLE h = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetLastError(0);
    return false;
  }
  CloseHandle(h);
  return true;
}

namespace {

// One of the platform's path-form lookups, into a buffer as long as any path.
std::wstring PathForm(DWORD(WINAPI* lookup)(LPCWSTR, LPWSTR, DWORD), const std::wstring& path) {
  std::wstring form(32768, L'\0');
  const DWORD n = lookup(path.c_str(), &form[0], static_cast<DWORD>(form.size()));
  if (n == 0 || n >= form.size()) return std::wstring();
  form.resize(n);
  return form;
}

}  // namespace

std::wstring ShortPathOf(const std::wstring& path) { return PathForm(GetShortPathNameW, path); }

std::wstring LongPathOf(const std::wstring& path) { return PathForm(GetLongPathNameW, path); }

}  // namespace numerabo
