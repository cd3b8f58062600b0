// Test helper: a picture codec for the platform's imaging component that, as
// Windows' JPEG codec does and Wine's does not, decodes at 1/2, 1/4 and 1/8
// of the size (IWICBitmapSourceTransform). A test prefix registers it for
// its own format: "NUMRDC01", width and height (32 bits each, little-endian)
// and four colours (red, green, blue) of the picture's quarters, top-left,
// top-right, bottom-left, bottom-right. Each copy of rows is logged to
// C:\reducing_codec.log as "<full|reduced> <width> <height> <first row> <rows>".
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <cstring>

#include "../com_server.h"
#include "host/wallpaper/wic_reduced_decoding.h"

namespace {

const CLSID kCodecClass = {0x6e756d72, 0x6463, 0x3031, {0x9a, 0x10, 0x27, 0x27, 0x27, 0x27, 0x27, 0x01}};
const char kMagic[8] = {'N', 'U', 'M', 'R', 'D', 'C', '0', '1'};

void Log(const char* kind, UINT width, UINT height, const WICRect& rows) {
  char line[96];
  const int length = std::snprintf(line, sizeof(line), "%s %u %u %d %d\r\n", kind, width, height, rows.Y, rows.Height);
  HANDLE file = CreateFileW(L"C:\\reducing_codec.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

class Frame final : public IWICBitmapFrameDecode, public numerabo::ReducedDecoding {
 public:
  Frame(UINT width, UINT height, const BYTE* colours) : width_(width), height_(height) {
    std::memcpy(colours_, colours, sizeof(colours_));
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapSource) ||
        IsEqualIID(iid, IID_IWICBitmapFrameDecode)) {
      *out = static_cast<IWICBitmapFrameDecode*>(this);
    } else if (IsEqualIID(iid, numerabo::kReducedDecodingInterface)) {
      *out = static_cast<numerabo::ReducedDecoding*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override {
    *width = width_, *height = height_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
    *format = GUID_WICPixelFormat24bppBGR;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
    *x = *y = 96.0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rows, UINT stride, UINT size, BYTE* buffer) override {
    return Copy("full", width_, height_, rows, stride, size, buffer);
  }
  HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override {
    return WINCODEC_ERR_UNSUPPORTEDOPERATION;
  }
  HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return WINCODEC_ERR_CODECNOTHUMBNAIL; }

  // The reduced decoding: the smallest of 1, 1/2, 1/4, 1/8 of the size
  // (rounded up) that is still at least the size asked for.
  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rows, UINT width, UINT height, WICPixelFormatGUID* format,
                                       WICBitmapTransformOptions transform, UINT stride, UINT size,
                                       BYTE* buffer) override {
    UINT w = width, h = height;
    GetClosestSize(&w, &h);
    if (w != width || h != height || transform != WICBitmapTransformRotate0 ||
        !IsEqualGUID(*format, GUID_WICPixelFormat24bppBGR)) {
      return E_INVALIDARG;
    }
    return Copy("reduced", width, height, rows, stride, size, buffer);
  }
  HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) override {
    UINT fraction = 8;
    while (fraction > 1 && ((width_ + fraction - 1) / fraction < *width || (height_ + fraction - 1) / fraction < *height)) {
      fraction /= 2;
    }
    *width = (width_ + fraction - 1) / fraction;
    *height = (height_ + fraction - 1) / fraction;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) override {
    *format = GUID_WICPixelFormat24bppBGR;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) override {
    *supported = transform == WICBitmapTransformRotate0;
    return S_OK;
  }

 private:
  HRESULT Copy(const char* kind, UINT width, UINT height, const WICRect* asked, UINT stride, UINT size, BYTE* buffer) {
    const WICRect rows = asked ? *asked : WICRect{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    if (rows.X < 0 || rows.Y < 0 || rows.Width <= 0 || rows.Height <= 0 || UINT(rows.X + rows.Width) > width ||
        UINT(rows.Y + rows.Height) > height || stride < UINT(rows.Width) * 3 ||
        size < stride * UINT(rows.Height - 1) + UINT(rows.Width) * 3) {
      return E_INVALIDARG;
    }
    Log(kind, width, height, rows);
    for (INT y = 0; y < rows.Height; ++y) {
      BYTE* out = buffer + static_cast<size_t>(stride) * y;
      const bool lower = UINT(rows.Y + y) >= height / 2;
      for (INT x = 0; x < rows.Width; ++x, out += 3) {
        const BYTE* rgb = colours_[(UINT(rows.X + x) >= width / 2) + 2 * lower];
        out[0] = rgb[2], out[1] = rgb[1], out[2] = rgb[0];
      }
    }
    return S_OK;
  }

  LONG refs_ = 1;
  UINT width_, height_;
  BYTE colours_[4][3];
};

class Decoder final : public IWICBitmapDecoder {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWICBitmapDecoder)) {
      *out = static_cast<IWICBitmapDecoder*>(this);
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
  HRESULT STDMETHODCALLTYPE QueryCapability(IStream* stream, DWORD* capability) override {
    *capability = Read(stream) ? WICBitmapDecoderCapabilityCanDecodeAllImages : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, WICDecodeOptions) override {
    return Read(stream) ? S_OK : WINCODEC_ERR_UNKNOWNIMAGEFORMAT;
  }
  HRESULT STDMETHODCALLTYPE GetContainerFormat(GUID* format) override {
    *format = kCodecClass;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDecoderInfo(IWICBitmapDecoderInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
  HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override {
    return WINCODEC_ERR_UNSUPPORTEDOPERATION;
  }
  HRESULT STDMETHODCALLTYPE GetPreview(IWICBitmapSource**) override { return WINCODEC_ERR_UNSUPPORTEDOPERATION; }
  HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return WINCODEC_ERR_CODECNOTHUMBNAIL; }
  HRESULT STDMETHODCALLTYPE GetFrameCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetFrame(UINT index, IWICBitmapFrameDecode** frame) override {
    *frame = nullptr;
    if (index != 0 || width_ == 0) return E_INVALIDARG;
    *frame = new Frame(width_, height_, colours_);
    return S_OK;
  }

 private:
  bool Read(IStream* stream) {
    BYTE header[28] = {};
    ULONG got = 0;
    LARGE_INTEGER start = {};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) || FAILED(stream->Read(header, sizeof(header), &got)) ||
        got != sizeof(header) || std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
      return false;
    }
    std::memcpy(&width_, header + 8, 4);
    std::memcpy(&height_, header + 12, 4);
    std::memcpy(colours_, header + 16, 12);
    return width_ > 0 && height_ > 0;
  }

  LONG refs_ = 1;
  UINT width_ = 0, height_ = 0;
  BYTE colours_[12] = {};
};

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return ServeClass<Decoder>(clsid, kCodecClass, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
