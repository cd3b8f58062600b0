#include "host/wallpaper/desktop_stand_in.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/wallpaper/wallpaper_bytes.h"
#include "host/wallpaper/wallpaper_decode.h"
#include "host/wallpaper/wallpaper_layout.h"
#include "host/wallpaper/wallpaper_values.h"

namespace numerabo {

namespace {

const wchar_t* const kScreenSaverDesktop = L"Screen-saver";
// Where Windows 8 and later keep the picture the desktop shows, whatever
// file it came from.
const wchar_t* const kTranscodedWallpaper = L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
// The stand-in adds at most a second to the start: the named file has most
// of it, Windows' local copy the rest.
constexpr uint32_t kNamedFileMs = 800;
constexpr uint32_t kAllFilesMs = 1000;

std::wstring TranscodedWallpaperFile() {
  wchar_t appData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return L"";
  return std::wstring(appData) + kTranscodedWallpaper;
}

// COM for this thread while it lives, where it was not already there.
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_;
};

// Draws the picture held in bytes over the background. A picture that does
// not decode, or fails half-way, leaves the background alone.
bool DrawPicture(const PixelRows& screen, const DesktopLook& look, const std::vector<uint8_t>& bytes,
                 bool reduce = true) {
  bool reduced = false;
  {
    WallpaperPicture picture;
    if (!picture.Open(bytes, look.fit, screen.width, screen.height, reduce)) return false;
    reduced = picture.Reduced();
    const WallpaperPlacement place =
        PlaceWallpaper(look.fit, screen.width, screen.height, picture.FullWidth(), picture.FullHeight());
    if (!place.tiled || !reduced) {
      if (DrawWallpaper(screen, picture.Width(), picture.Height(), place,
                        [&picture](int32_t first, int32_t count) { return picture.Rows(first, count); })) {
        return true;
      }
      FillPixels(screen, look.background);
    }
  }
  // A codec whose reduced decoding fails may still decode the picture whole.
  return reduced && DrawPicture(screen, look, bytes, false);
}

// The named wallpaper, else Windows' copy of it; each read bounded in time.
void DrawWallpaperFiles(const PixelRows& screen, const DesktopLook& look) {
  const ULONGLONG start = GetTickCount64();
  std::vector<uint8_t> bytes;
  if (ReadWallpaperBytes(look.wallpaper, kNamedFileMs, &bytes, kLargestWallpaperFile) ==
          WallpaperRead::Read &&
      DrawPicture(screen, look, bytes)) {
    return;
  }
  std::vector<uint8_t>().swap(bytes);
  const ULONGLONG spent = GetTickCount64() - start;
  const std::wstring copy = TranscodedWallpaperFile();
  if (copy.empty() || spent >= kAllFilesMs) return;
  if (ReadWallpaperBytes(copy, static_cast<uint32_t>(kAllFilesMs - spent), &bytes) == WallpaperRead::Read) {
    DrawPicture(screen, look, bytes);
  }
}

}  // namespace

bool OnScreenSaverDesktop() {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (!desktop || !GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name) - sizeof(wchar_t), &needed)) {
    return false;
  }
  return CompareStringOrdinal(name, -1, kScreenSaverDesktop, -1, TRUE) == CSTR_EQUAL;
}

bool DrawDesktopStandIn(OffscreenImage& image, StandInReport* report) {
  (void)report;
  uint8_t* pixels = image.Pixels();
  if (!pixels) return false;
  GdiFlush();
  const PixelRows screen = {pixels, image.Width(), image.Height(), static_cast<size_t>(image.Width()) * 4};
  ComScope com;
  DesktopLook look;
  try {
    look = ReadDesktopLook();
    FillPixels(screen, look.background);
    // A solid colour chosen names no wallpaper; Windows' copy then still
    // holds the last picture, which the user removed.
    if (!look.wallpaper.empty()) DrawWallpaperFiles(screen, look);
  } catch (const std::bad_alloc&) {
    FillPixels(screen, look.background);
  } catch (const std::length_error&) {
    FillPixels(screen, look.background);
  }
  return true;
}

}  // namespace numerabo
