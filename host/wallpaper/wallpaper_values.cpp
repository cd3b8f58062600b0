#include "host/wallpaper/wallpaper_values.h"

#include <windows.h>
#include <shobjidl.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "host/startup/text/wide_text.h"
#include "host/wallpaper/com_object.h"

namespace numerabo {

namespace {

const wchar_t* const kDesktopKey = L"Control Panel\\Desktop";
const wchar_t* const kColoursKey = L"Control Panel\\Colors";
const wchar_t* const kPolicyKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
// The longest path the platform hands out.
constexpr DWORD kLongestText = 32768;

// CLSID_DesktopWallpaper and IID_IDesktopWallpaper, spelled out here so that
// no import library has to carry them.
const CLSID kDesktopWallpaperClass = {0xc2cf3110, 0x460e, 0x4fc1, {0xb9, 0xd0, 0x8a, 0x1c, 0x0c, 0x9c, 0xc4, 0xbd}};
const IID kDesktopWallpaperInterface = {0xb92b56a9, 0x8b55, 0x4e14, {0x9a, 0x89, 0x01, 0x99, 0xbb, 0xb6, 0xf9, 0x3b}};

// A value of HKCU\<key>: a string as it is (environment variables expanded
// in an expandable one), a number in decimal, "" when it is missing.
std::wstring UserValue(const wchar_t* key, const wchar_t* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return L"";
  DWORD type = 0, size = 0;
  std::wstring text;
  if (RegQueryValueExW(opened, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size <= kLongestText * 2) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');  // room for the NUL a stored text may lack
    if (RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof(number));
        text = std::to_wstring(number);
      } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
        text.assign(data.data(), wcsnlen(data.data(), size / sizeof(wchar_t)));
      }
      if (type == REG_EXPAND_SZ) {
        std::vector<wchar_t> expanded(kLongestText, L'\0');
        const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), kLongestText);
        if (length > 0 && length <= kLongestText) text = expanded.data();
      }
    }
  }
  RegCloseKey(opened);
  return text;
}

// Style numbers and colours hold only digits and blanks, which every code
// page writes alike.
std::string UserNumbers(const wchar_t* key, const wchar_t* name) { return Sjis(UserValue(key, name)); }

// The primary monitor's rectangle as Windows counts it.
RECT PrimaryMonitorArea() {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info)) {
    SetRect(&info.rcMonitor, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  }
  return info.rcMonitor;
}

// The shell's wallpaper of the primary monitor. The shell counts detached
// monitors too: their rectangle comes with S_FALSE, or empty, and they are
// passed over. Where no monitor is the primary's, the first attached one's
// wallpaper, else the shell's one answer for all. An answer of S_FALSE with
// no path means no one picture: Windows' copy stands for it.
bool PrimaryMonitorWallpaper(IDesktopWallpaper* shell, DesktopLook* look) {
  const RECT primaryArea = PrimaryMonitorArea();
  UINT count = 0;
  std::wstring chosen;
  if (SUCCEEDED(shell->GetMonitorDevicePathCount(&count))) {
    for (UINT i = 0; i < count && i < 64; ++i) {
      LPWSTR monitor = nullptr;
      if (FAILED(shell->GetMonitorDevicePathAt(i, &monitor)) || !monitor) continue;
      RECT area = {};
      const bool attached = shell->GetMonitorRECT(monitor, &area) == S_OK && !IsRectEmpty(&area);
      const bool primary = attached && EqualRect(&area, &primaryArea);
      if (primary || (attached && chosen.empty())) chosen = monitor;
      CoTaskMemFree(monitor);
      if (primary) break;
    }
  }
  LPWSTR path = nullptr;
  const HRESULT answer = shell->GetWallpaper(chosen.empty() ? nullptr : chosen.c_str(), &path);
  if (FAILED(answer)) {
    CoTaskMemFree(path);
    return false;
  }
  look->wallpaper = path ? path : L"";
  look->windowsCopy = answer == S_FALSE && look->wallpaper.empty();
  CoTaskMemFree(path);
  return true;
}

bool AskTheShell(DesktopLook* look) {
  IDesktopWallpaper* shell = nullptr;
  if (FAILED(CoCreateInstance(kDesktopWallpaperClass, nullptr, CLSCTX_ALL, kDesktopWallpaperInterface,
                              reinterpret_cast<void**>(&shell))) || !shell) {
    return false;
  }
  DesktopLook answer;
  DESKTOP_WALLPAPER_POSITION position = DWPOS_CENTER;
  COLORREF colour = 0;
  const bool answered = PrimaryMonitorWallpaper(shell, &answer) &&
                        SUCCEEDED(shell->GetPosition(&position)) &&
                        WallpaperFitOfPosition(position, &answer.fit) &&
                        SUCCEEDED(shell->GetBackgroundColor(&colour));
  Release(shell);
  if (!answered) return false;
  answer.background = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  answer.from = "shell";
  *look = answer;
  return true;
}

}  // namespace

DesktopLook ReadDesktopLook() {
  DesktopLook look;
  if (AskTheShell(&look)) return look;
  ParseBackgroundColour(UserNumbers(kColoursKey, L"Background"), &look.background);
  look.wallpaper = UserValue(kPolicyKey, L"Wallpaper");
  if (!look.wallpaper.empty()) look.from = "policy";
  if (look.wallpaper.empty()) {
    wchar_t path[1024] = {};
    if (SystemParametersInfoW(SPI_GETDESKWALLPAPER, ARRAYSIZE(path) - 1, path, 0)) look.wallpaper = path;
  }
  if (PolicyWallpaperFit(UserNumbers(kPolicyKey, L"WallpaperStyle"), &look.fit)) {
    look.from = "policy";
  } else {
    look.fit = WallpaperFitOf(UserNumbers(kDesktopKey, L"WallpaperStyle"), UserNumbers(kDesktopKey, L"TileWallpaper"));
  }
  return look;
}

}  // namespace numerabo
