#include "host/startup/path_utils.h"

#include "host/startup/paths.h"
#include "host/startup/shared_state.h"

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

namespace {

RECT OriginRect() {
  RECT r;
  r.left = r.right = ZoomOriginX;
  r.top = r.bottom = ZoomOriginY;
  return r;
}

}  // namespace

// A failed GetWindowRect leaves the animation out instead of animating from
// or to whatever the rectangle happened to hold.
void ZoomOpen(HWND window) {
  RECT to = {};
  if (!GetWindowRect(window, &to)) return;
  RECT from = OriginRect();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomClose(HWND window) {
  RECT from = {};
  if (!GetWindowRect(window, &from)) return;
  RECT to = OriginRect();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

}  // namespace numerabo
