#include "host/saver/thread_desktop.h"

#include <windows.h>

#include <vector>

namespace numerabo {

std::wstring ThreadDesktopName() {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  if (!desktop) return std::wstring();
  DWORD needed = 0;
  GetUserObjectInformationW(desktop, UOI_NAME, nullptr, 0, &needed);
  if (needed < sizeof(wchar_t)) return std::wstring();
  // Whole characters and room for the end mark, whatever the byte count says.
  std::vector<wchar_t> name(needed / sizeof(wchar_t) + 1, L'\0');
  if (!GetUserObjectInformationW(desktop, UOI_NAME, name.data(),
                                 static_cast<DWORD>((name.size() - 1) * sizeof(wchar_t)), &needed)) {
    return std::wstring();
  }
  return std::wstring(name.data());
}

}  // namespace numerabo
