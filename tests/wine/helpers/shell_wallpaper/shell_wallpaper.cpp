// Test helper: an in-process server of the shell's desktop wallpaper class
// (CLSID_DesktopWallpaper), which Wine lacks, for a test prefix to register.
// It answers the primary monitor's wallpaper, the position and the
// background colour from C:\shell_wallpaper.txt, three lines and a fourth
// that may be missing:
//   <path, or an empty line for a solid colour>
//   <DESKTOP_WALLPAPER_POSITION number>
//   <R G B>
//   <"detached-first": a detached monitor listed before the primary, whose
//    wallpaper is C:\detached.png; "slideshow": no one picture, S_FALSE
//    with an empty path, as for a slideshow or pictures per monitor>
// Without that file every question fails, as a shell that cannot answer.
#include <windows.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "../com_server.h"

namespace {

const CLSID kDesktopWallpaperClass = {0xc2cf3110, 0x460e, 0x4fc1, {0xb9, 0xd0, 0x8a, 0x1c, 0x0c, 0x9c, 0xc4, 0xbd}};
const IID kDesktopWallpaperInterface = {0xb92b56a9, 0x8b55, 0x4e14, {0x9a, 0x89, 0x01, 0x99, 0xbb, 0xb6, 0xf9, 0x3b}};
const wchar_t kMonitor[] = L"\\\\?\\DISPLAY#TEST#1";
const wchar_t kDetached[] = L"\\\\?\\DISPLAY#TEST#0";

struct Answers {
  wchar_t path[1024];
  int position;
  int r, g, b;
  char mode[32];
};

bool ReadAnswers(Answers* answers) {
  FILE* file = _wfopen(L"C:\\shell_wallpaper.txt", L"rb");
  if (!file) return false;
  char line[1024] = {};
  bool ok = std::fgets(line, sizeof(line), file) != nullptr;
  line[std::strcspn(line, "\r\n")] = 0;
  MultiByteToWideChar(CP_UTF8, 0, line, -1, answers->path, 1024);
  ok = ok && std::fscanf(file, "%d %d %d %d", &answers->position, &answers->r, &answers->g, &answers->b) == 4;
  answers->mode[0] = 0;
  if (ok && std::fscanf(file, "%31s", answers->mode) != 1) answers->mode[0] = 0;
  std::fclose(file);
  return ok;
}

wchar_t* TaskText(const wchar_t* text) {
  const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
  wchar_t* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
  if (copy) std::memcpy(copy, text, bytes);
  return copy;
}

class Wallpaper final : public IDesktopWallpaper {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kDesktopWallpaperInterface)) {
      *out = static_cast<IDesktopWallpaper*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetWallpaper(LPCWSTR monitor, LPWSTR* wallpaper) override {
    Answers a;
    if (!ReadAnswers(&a)) return E_FAIL;
    if (std::strcmp(a.mode, "slideshow") == 0) {
      *wallpaper = TaskText(L"");
      return *wallpaper ? S_FALSE : E_OUTOFMEMORY;
    }
    const bool detached = DetachedFirst(a) && monitor && std::wcscmp(monitor, kDetached) == 0;
    if (monitor && !detached && std::wcscmp(monitor, kMonitor) != 0) return E_FAIL;
    *wallpaper = TaskText(detached ? L"C:\\detached.png" : a.path);
    return *wallpaper ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetMonitorDevicePathAt(UINT index, LPWSTR* monitor) override {
    Answers a;
    const bool two = ReadAnswers(&a) && DetachedFirst(a);
    if (index >= (two ? 2u : 1u)) return E_INVALIDARG;
    *monitor = TaskText(two && index == 0 ? kDetached : kMonitor);
    return *monitor ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE GetMonitorDevicePathCount(UINT* count) override {
    Answers a;
    *count = ReadAnswers(&a) && DetachedFirst(a) ? 2 : 1;
    return S_OK;
  }
  // A detached monitor, as Windows answers for one: S_FALSE and an empty
  // rectangle.
  HRESULT STDMETHODCALLTYPE GetMonitorRECT(LPCWSTR monitor, RECT* area) override {
    if (monitor && std::wcscmp(monitor, kDetached) == 0) {
      SetRectEmpty(area);
      return S_FALSE;
    }
    SetRect(area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBackgroundColor(COLORREF* colour) override {
    Answers a;
    if (!ReadAnswers(&a)) return E_FAIL;
    *colour = RGB(a.r, a.g, a.b);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPosition(DESKTOP_WALLPAPER_POSITION* position) override {
    Answers a;
    if (!ReadAnswers(&a)) return E_FAIL;
    *position = static_cast<DESKTOP_WALLPAPER_POSITION>(a.position);
    return S_OK;
  }
  // Nothing is changed through this server.
  HRESULT STDMETHODCALLTYPE SetWallpaper(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetBackgroundColor(COLORREF) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPosition(DESKTOP_WALLPAPER_POSITION) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSlideshow(IShellItemArray*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSlideshow(IShellItemArray**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS, UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSlideshowOptions(DESKTOP_SLIDESHOW_OPTIONS*, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AdvanceSlideshow(LPCWSTR, DESKTOP_SLIDESHOW_DIRECTION) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStatus(DESKTOP_SLIDESHOW_STATE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Enable(WINBOOL) override { return E_NOTIMPL; }

 private:
  static bool DetachedFirst(const Answers& a) { return std::strcmp(a.mode, "detached-first") == 0; }

  LONG refs_ = 1;
};

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return ServeClass<Wallpaper>(clsid, kDesktopWallpaperClass, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
