#include "host/saver/desktop_stand_in.h"

#include <windows.h>
#include <shlobj.h>
#include <wincodec.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "host/saver/wallpaper_layout.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

const wchar_t* const kUsersDesktop = L"Default";
const wchar_t* const kDesktopKey = L"Control Panel\\Desktop";
const wchar_t* const kColoursKey = L"Control Panel\\Colors";
// Where Windows 8 and later keep the picture the desktop shows, whatever
// file it came from.
const wchar_t* const kTranscodedWallpaper = L"\\Microsoft\\Windows\\Themes\\TranscodedWallpaper";
constexpr uint32_t kBlack = 0;

// A value of HKCU\<key> as text: a string as it is, a number in decimal,
// "" when it is missing. They hold only digits and blanks, which every code
// page writes alike.
std::string UserValue(const wchar_t* key, const wchar_t* name) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return "";
  DWORD type = 0;
  wchar_t text[64] = {};
  DWORD size = sizeof(text) - sizeof(wchar_t);  // room for the NUL a stored text may lack
  const LONG result = RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return "";
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD number = 0;
    std::memcpy(&number, text, sizeof(number));
    return std::to_string(number);
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return "";
  return Sjis(std::wstring(text, wcsnlen(text, size / sizeof(wchar_t))));
}

// The files that may hold the wallpaper, the first that decodes wins: the
// one the platform names, then the copy Windows keeps of the one it shows.
std::vector<std::wstring> WallpaperFiles() {
  std::vector<std::wstring> files;
  wchar_t path[1024] = {};
  if (SystemParametersInfoW(SPI_GETDESKWALLPAPER, ARRAYSIZE(path) - 1, path, 0) && path[0]) files.push_back(path);
  wchar_t appData[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) {
    files.push_back(std::wstring(appData) + kTranscodedWallpaper);
  }
  return files;
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

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// A wallpaper file opened with the platform's codecs, read a band of rows at
// a time as blue, green, red and alpha, the one layout every codec converts
// to (a 24-bit conversion fails for some of them). Only the rows asked for
// are held here.
class WallpaperPicture {
 public:
  WallpaperPicture() = default;
  ~WallpaperPicture() {
    Release(pixels_);
    Release(frame_);
    Release(decoder_);
    Release(factory_);
  }
  WallpaperPicture(const WallpaperPicture&) = delete;
  WallpaperPicture& operator=(const WallpaperPicture&) = delete;

  bool Open(const std::wstring& path) {
    if (!factory_ && FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IWICImagingFactory, reinterpret_cast<void**>(&factory_)))) {
      return false;
    }
    Release(pixels_);
    Release(frame_);
    Release(decoder_);
    UINT width = 0, height = 0;
    if (FAILED(factory_->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder_)) ||
        FAILED(decoder_->GetFrame(0, &frame_)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame_, &pixels_)) ||
        FAILED(pixels_->GetSize(&width, &height)) || width == 0 || height == 0 || width > INT32_MAX / 4 ||
        height > INT32_MAX) {
      return false;
    }
    width_ = static_cast<int32_t>(width);
    height_ = static_cast<int32_t>(height);
    return true;
  }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  const uint8_t* Rows(int32_t first, int32_t count) {
    const size_t stride = static_cast<size_t>(width_) * 4;
    if (count <= 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(count) > UINT_MAX) return nullptr;
    try {
      band_.resize(stride * count);
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
    const WICRect rows = {0, first, width_, count};
    if (FAILED(pixels_->CopyPixels(&rows, static_cast<UINT>(stride), static_cast<UINT>(band_.size()), band_.data()))) {
      return nullptr;
    }
    return band_.data();
  }

 private:
  IWICImagingFactory* factory_ = nullptr;
  IWICBitmapDecoder* decoder_ = nullptr;
  IWICBitmapFrameDecode* frame_ = nullptr;
  IWICBitmapSource* pixels_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<uint8_t> band_;
};

}  // namespace

bool OnUsersDesktop() {
  HDESK desktop = GetThreadDesktop(GetCurrentThreadId());
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (!desktop || !GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name) - sizeof(wchar_t), &needed)) {
    return true;
  }
  return CompareStringOrdinal(name, -1, kUsersDesktop, -1, TRUE) == CSTR_EQUAL;
}

bool DrawDesktopStandIn(OffscreenImage& image) {
  uint8_t* pixels = image.Pixels();
  if (!pixels) return false;
  GdiFlush();
  const PixelRows screen = {pixels, image.Width(), image.Height(), static_cast<size_t>(image.Width()) * 4};

  uint32_t background = kBlack;
  ParseBackgroundColour(UserValue(kColoursKey, L"Background"), &background);
  FillPixels(screen, background);

  const WallpaperFit fit =
      WallpaperFitOf(UserValue(kDesktopKey, L"WallpaperStyle"), UserValue(kDesktopKey, L"TileWallpaper"));
  ComScope com;
  WallpaperPicture picture;
  for (const std::wstring& file : WallpaperFiles()) {
    if (!picture.Open(file)) continue;
    const WallpaperPlacement place = PlaceWallpaper(fit, screen.width, screen.height, picture.Width(),
                                                    picture.Height());
    const bool drawn = DrawWallpaper(screen, picture.Width(), picture.Height(), place,
                                     [&picture](int32_t first, int32_t count) { return picture.Rows(first, count); });
    // A picture that fails half-way is no wallpaper: the colour alone.
    if (!drawn) FillPixels(screen, background);
    break;
  }
  return true;
}

}  // namespace numerabo
