#include "host/wallpaper/wallpaper_decode.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "host/wallpaper/wic_reduced_decoding.h"

namespace numerabo {

namespace {

ReducedDecoding* AsReduced(IUnknown* object) { return static_cast<ReducedDecoding*>(object); }

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// Bytes per pixel of the formats a reduced decoding is taken in; 0 for others.
UINT PixelBytes(const WICPixelFormatGUID& format) {
  if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return 4;
  if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return 3;
  if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray)) return 1;
  return 0;
}

}  // namespace

WallpaperPicture::~WallpaperPicture() {
  Release(pixels_);
  Release(reduced_);
  Release(frame_);
  Release(decoder_);
  Release(stream_);
  Release(factory_);
}

bool WallpaperPicture::Open(const std::vector<uint8_t>& bytes, WallpaperFit fit, int32_t screenWidth,
                            int32_t screenHeight, bool reduce) {
  UINT width = 0, height = 0;
  if (bytes.empty() || bytes.size() > UINT_MAX ||
      FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory_))) ||
      FAILED(factory_->CreateStream(&stream_)) ||
      FAILED(stream_->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory_->CreateDecoderFromStream(stream_, nullptr, WICDecodeMetadataCacheOnDemand, &decoder_)) ||
      FAILED(decoder_->GetFrame(0, &frame_)) || FAILED(frame_->GetSize(&width, &height)) || width == 0 ||
      height == 0 || width > INT32_MAX / 4 || height > INT32_MAX) {
    return false;
  }
  fullWidth_ = width_ = static_cast<int32_t>(width);
  fullHeight_ = height_ = static_cast<int32_t>(height);
  const WallpaperPlacement place = PlaceWallpaper(fit, screenWidth, screenHeight, fullWidth_, fullHeight_);
  if (reduce && place.width > 0 && OpenReduced(place.width, place.height)) return true;
  // A frame in a layout read here is read as it is: a conversion costs a
  // copy of every row. Every codec converts to 32 bits (a 24-bit conversion
  // fails for some).
  WICPixelFormatGUID format = {};
  if (SUCCEEDED(frame_->GetPixelFormat(&format)) && PixelBytes(format) != 0) {
    packedFormat_ = format;
    return true;
  }
  return SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame_, &pixels_));
}

bool WallpaperPicture::OpenReduced(int64_t drawnWidth, int64_t drawnHeight) {
  ReducedDecoding* codec = nullptr;
  if (FAILED(frame_->QueryInterface(kReducedDecodingInterface, reinterpret_cast<void**>(&codec))) || !codec) {
    return false;
  }
  reduced_ = codec;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  if (SUCCEEDED(codec->GetClosestPixelFormat(&format)) && PixelBytes(format) != 0) {
    for (int32_t fraction = LargestDecodeReduction(fullWidth_, fullHeight_, drawnWidth, drawnHeight); fraction > 1;
         fraction /= 2) {
      UINT width = static_cast<UINT>((fullWidth_ + fraction - 1) / fraction);
      UINT height = static_cast<UINT>((fullHeight_ + fraction - 1) / fraction);
      if (FAILED(codec->GetClosestSize(&width, &height))) break;
      // The codec may offer another size: only a smaller one not below the
      // size drawn is worth it.
      if (width >= drawnWidth && height >= drawnHeight && (width < UINT(fullWidth_) || height < UINT(fullHeight_)) &&
          width > 0 && height > 0 && width <= UINT(fullWidth_) && height <= UINT(fullHeight_)) {
        width_ = static_cast<int32_t>(width);
        height_ = static_cast<int32_t>(height);
        packedFormat_ = format;
        return true;
      }
    }
  }
  Release(reduced_);
  return false;
}

bool WallpaperPicture::CopyRows(int32_t first, int32_t count, uint8_t* out) {
  const WICRect rows = {0, first, width_, count};
  if (pixels_) {
    const UINT stride = static_cast<UINT>(width_) * 4;
    return SUCCEEDED(pixels_->CopyPixels(&rows, stride, stride * static_cast<UINT>(count), out));
  }
  const UINT bytesPer = PixelBytes(packedFormat_);
  const size_t stride = (static_cast<size_t>(width_) * bytesPer + 3) & ~size_t{3};
  packed_.resize(stride * count);
  WICPixelFormatGUID format = packedFormat_;
  const HRESULT copied =
      reduced_ ? AsReduced(reduced_)->CopyPixels(&rows, static_cast<UINT>(width_), static_cast<UINT>(height_), &format,
                                                 WICBitmapTransformRotate0, static_cast<UINT>(stride),
                                                 static_cast<UINT>(packed_.size()), packed_.data())
               : frame_->CopyPixels(&rows, static_cast<UINT>(stride), static_cast<UINT>(packed_.size()), packed_.data());
  if (FAILED(copied)) return false;
  for (int32_t r = 0; r < count; ++r) {
    const uint8_t* in = packed_.data() + stride * r;
    if (bytesPer == 4) {
      std::memcpy(out, in, static_cast<size_t>(width_) * 4);
      out += static_cast<size_t>(width_) * 4;
      continue;
    }
    for (int32_t x = 0; x < width_; ++x, out += 4, in += bytesPer) {
      out[0] = in[0];
      out[1] = in[bytesPer == 3 ? 1 : 0];
      out[2] = in[bytesPer == 3 ? 2 : 0];
    }
  }
  return true;
}

const uint8_t* WallpaperPicture::Rows(int32_t first, int32_t count) {
  const size_t stride = static_cast<size_t>(width_) * 4;
  if (count <= 0 || first < 0 || first + count > height_ ||
      static_cast<uint64_t>(stride) * static_cast<uint64_t>(count) > UINT_MAX) {
    return nullptr;
  }
  // Rows still held from the last band are kept, so the codec is asked for
  // each row once and in order: a codec asked for a row above the last one
  // it gave may start again from the picture's top.
  int32_t kept = 0;
  if (first >= heldFirst_ && first < heldFirst_ + heldCount_) {
    kept = std::min(heldFirst_ + heldCount_ - first, count);
    std::memmove(band_.data(), band_.data() + static_cast<size_t>(first - heldFirst_) * stride, kept * stride);
  }
  heldCount_ = 0;
  band_.resize(stride * count);  // a failed allocation is the caller's to catch
  if (kept < count && !CopyRows(first + kept, count - kept, band_.data() + kept * stride)) return nullptr;
  heldFirst_ = first;
  heldCount_ = count;
  return band_.data();
}

}  // namespace numerabo
