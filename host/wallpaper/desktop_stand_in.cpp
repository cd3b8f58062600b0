#include "host/wallpaper/desktop_stand_in.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/wallpaper/com_object.h"
#include "host/wallpaper/wallpaper_bytes.h"
#include "host/wallpaper/wallpaper_decode.h"
#include "host/wallpaper/wallpaper_layout.h"
#include "host/wallpaper/wallpaper_scale.h"
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

uint32_t MsSince(ULONGLONG start) { return static_cast<uint32_t>(GetTickCount64() - start); }

void Passed(StandInReport* report, const char* what, const char* why) {
  if (!report->passedOver.empty()) report->passedOver += "; ";
  report->passedOver += what;
  report->passedOver += ": ";
  report->passedOver += why;
}

const char* ReadName(WallpaperRead read) {
  switch (read) {
    case WallpaperRead::Read:
      return "read";
    case WallpaperRead::Missing:
      return "missing or unreadable";
    case WallpaperRead::TooLarge:
      return "file too large";
    case WallpaperRead::NotLocal:
      return "not on a local disk";
    case WallpaperRead::TimedOut:
      return "no answer in time";
  }
  return "missing or unreadable";
}

// The box around all monitors in the image's pixels, the primary's
// top-left at 0, 0. The image has the primary screen's size in real pixels;
// the metrics are scaled to it should the process see scaled ones.
MonitorsBox AllMonitors(int32_t imageWidth, int32_t imageHeight) {
  const int64_t screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
  MonitorsBox box;
  if (screenWidth <= 0 || screenHeight <= 0) return box;
  box.x = int64_t{GetSystemMetrics(SM_XVIRTUALSCREEN)} * imageWidth / screenWidth;
  box.y = int64_t{GetSystemMetrics(SM_YVIRTUALSCREEN)} * imageHeight / screenHeight;
  box.width = int64_t{GetSystemMetrics(SM_CXVIRTUALSCREEN)} * imageWidth / screenWidth;
  box.height = int64_t{GetSystemMetrics(SM_CYVIRTUALSCREEN)} * imageHeight / screenHeight;
  return box;
}

// Draws the picture held in bytes over the background: placed first, then
// decoded at no less than the size drawn, then scaled. Null when drawn,
// else why not (the background is then left alone).
const char* DrawPicture(const PixelRows& screen, const DesktopLook& look, const std::vector<uint8_t>& bytes,
                        StandInReport* report) {
  const ULONGLONG start = GetTickCount64();
  DecodedPicture decoded;
  WallpaperPlacement place;
  {
    WallpaperPicture picture;
    if (!picture.Open(bytes)) return "not a picture";
    place = PlaceWallpaper(look.fit, screen.width, screen.height, picture.Width(), picture.Height(),
                           AllMonitors(screen.width, screen.height));
    if (place.width <= 0) return "no size to draw";
    // A tiled picture is drawn at its own size.
    const DecodeOutcome outcome =
        place.tiled ? picture.Decode(0, 0, &decoded) : picture.Decode(place.width, place.height, &decoded);
    if (outcome != DecodeOutcome::Decoded) return DecodeOutcomeName(outcome);
  }
  report->reduction = decoded.reduction;
  report->decodeMs = MsSince(start);
  const ULONGLONG drawing = GetTickCount64();
  const size_t stride = static_cast<size_t>(decoded.width) * 4;
  DrawWallpaper(screen, decoded.width, decoded.height, place, [&decoded, stride](int32_t first, int32_t) {
    return decoded.pixels.data() + static_cast<size_t>(first) * stride;
  });
  report->drawMs = MsSince(drawing);
  return nullptr;
}

// One file's picture, read within timeoutMs; false, with the background
// alone, when it gave none.
bool DrawFile(const PixelRows& screen, const DesktopLook& look, const std::wstring& path, uint32_t timeoutMs,
              const char* name, StandInReport* report) {
  const ULONGLONG start = GetTickCount64();
  std::vector<uint8_t> bytes;
  const WallpaperRead read = ReadWallpaperBytes(path, timeoutMs, &bytes);
  report->readMs = MsSince(start);
  const char* why = read == WallpaperRead::Read ? DrawPicture(screen, look, bytes, report) : ReadName(read);
  if (!why) {
    report->source = name;
    return true;
  }
  Passed(report, name, why);
  FillPixels(screen, look.background);
  return false;
}

// The named wallpaper, else Windows' copy of it; each read bounded in time.
void DrawWallpaperFiles(const PixelRows& screen, const DesktopLook& look, StandInReport* report) {
  const ULONGLONG start = GetTickCount64();
  if (look.windowsCopy) {
    Passed(report, "wallpaper", "the shell names no one picture");
  } else if (DrawFile(screen, look, look.wallpaper, kNamedFileMs, "wallpaper", report)) {
    return;
  }
  const uint32_t spent = MsSince(start);
  const std::wstring copy = TranscodedWallpaperFile();
  if (copy.empty() || spent >= kAllFilesMs) {
    Passed(report, "windows-copy", copy.empty() ? "no folder for it" : "no time left");
    return;
  }
  DrawFile(screen, look, copy, kAllFilesMs - spent, "windows-copy", report);
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
  uint8_t* pixels = image.Pixels();
  if (!pixels) return false;
  GdiFlush();
  const PixelRows screen = {pixels, image.Width(), image.Height(), static_cast<size_t>(image.Width()) * 4};
  StandInReport own;
  if (!report) report = &own;
  *report = StandInReport();
  report->source = "colour";
  ComScope com;
  DesktopLook look;
  try {
    const ULONGLONG start = GetTickCount64();
    look = ReadDesktopLook();
    report->valuesMs = MsSince(start);
    report->values = look.from;
    report->wallpaper = look.wallpaper;
    report->fit = WallpaperFitName(look.fit);
    FillPixels(screen, look.background);
    // A solid colour chosen names no wallpaper; Windows' copy then still
    // holds the last picture, which the user removed.
    if (!look.wallpaper.empty() || look.windowsCopy) {
      DrawWallpaperFiles(screen, look, report);
    } else {
      Passed(report, "wallpaper", "none named");
    }
  } catch (const std::bad_alloc&) {
    FillPixels(screen, look.background);
    report->source = "colour";
    Passed(report, "picture", "no memory");
  } catch (const std::length_error&) {
    FillPixels(screen, look.background);
    report->source = "colour";
    Passed(report, "picture", "no memory");
  }
  return true;
}

}  // namespace numerabo
