#include "host/wallpaper/wallpaper_decode.h"

#include <windows.h>

#include <climits>
#include <new>
#include <stdexcept>

#include "host/wallpaper/com_object.h"
#include "host/wallpaper/decoded_rows.h"
#include "host/wallpaper/wallpaper_layout.h"
#include "host/wallpaper/wic_reduced_decoding.h"

namespace numerabo {

namespace {

// Bytes per pixel of the formats a reduced decoding is taken in; 0 for others.
int32_t PixelBytes(const WICPixelFormatGUID& format) {
  if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGR)) return 4;
  if (IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) return 3;
  if (IsEqualGUID(format, GUID_WICPixelFormat8bppGray)) return 1;
  return 0;
}

// Room for a picture of width x height at 4 bytes a pixel, within the bound
// and the one call's count of bytes.
DecodeOutcome MakeRoom(UINT width, UINT height, DecodedPicture* out) {
  const uint64_t bytes = FourByteSize(width, height);
  if (bytes == 0 || bytes > kLargestDecodedBytes || bytes > UINT_MAX) return DecodeOutcome::TooLarge;
  try {
    std::vector<uint8_t>(static_cast<size_t>(bytes)).swap(out->pixels);
  } catch (const std::bad_alloc&) {
    return DecodeOutcome::OutOfMemory;
  } catch (const std::length_error&) {
    return DecodeOutcome::OutOfMemory;
  }
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  return DecodeOutcome::Decoded;
}

}  // namespace

const char* DecodeOutcomeName(DecodeOutcome outcome) {
  switch (outcome) {
    case DecodeOutcome::Decoded:
      return "decoded";
    case DecodeOutcome::TooLarge:
      return "too large to decode";
    case DecodeOutcome::OutOfMemory:
      return "no memory to decode";
    case DecodeOutcome::Failed:
      break;
  }
  return "not decoded";
}

WallpaperPicture::~WallpaperPicture() {
  Release(frame_);
  Release(decoder_);
  Release(stream_);
  Release(factory_);
}

bool WallpaperPicture::Open(const std::vector<uint8_t>& bytes) {
  UINT width = 0, height = 0;
  if (bytes.empty() || bytes.size() > UINT_MAX ||
      FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory_))) ||
      FAILED(factory_->CreateStream(&stream_)) ||
      FAILED(stream_->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory_->CreateDecoderFromStream(stream_, nullptr, WICDecodeMetadataCacheOnDemand, &decoder_)) ||
      FAILED(decoder_->GetFrame(0, &frame_)) || FAILED(frame_->GetSize(&width, &height)) || width == 0 ||
      height == 0 || width > INT32_MAX / 4 || height > INT32_MAX / 4) {
    return false;
  }
  width_ = static_cast<int32_t>(width);
  height_ = static_cast<int32_t>(height);
  return true;
}

DecodeOutcome WallpaperPicture::Decode(int64_t drawnWidth, int64_t drawnHeight, DecodedPicture* out) {
  if (!frame_) return DecodeOutcome::Failed;
  if (drawnWidth > 0 && drawnHeight > 0) {
    const DecodeOutcome reduced = DecodeReduced(drawnWidth, drawnHeight, out);
    // A picture too large even reduced is larger whole.
    if (reduced == DecodeOutcome::Decoded || reduced == DecodeOutcome::TooLarge) return reduced;
  }
  return DecodeWhole(out);
}

DecodeOutcome WallpaperPicture::DecodeReduced(int64_t drawnWidth, int64_t drawnHeight, DecodedPicture* out) {
  ReducedDecoding* codec = nullptr;
  if (FAILED(frame_->QueryInterface(kReducedDecodingInterface, reinterpret_cast<void**>(&codec))) || !codec) {
    return DecodeOutcome::Failed;
  }
  DecodeOutcome outcome = DecodeOutcome::Failed;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const int32_t bytesPer = SUCCEEDED(codec->GetClosestPixelFormat(&format)) ? PixelBytes(format) : 0;
  for (int32_t fraction = LargestDecodeReduction(width_, height_, drawnWidth, drawnHeight);
       bytesPer != 0 && fraction > 1; fraction /= 2) {
    UINT width = static_cast<UINT>((width_ + fraction - 1) / fraction);
    UINT height = static_cast<UINT>((height_ + fraction - 1) / fraction);
    if (FAILED(codec->GetClosestSize(&width, &height))) break;
    // The codec may offer another size: only a smaller one not below the
    // size drawn is worth it.
    if (width < drawnWidth || height < drawnHeight || width == 0 || height == 0 || width > UINT(width_) ||
        height > UINT(height_) || (width == UINT(width_) && height == UINT(height_))) {
      continue;
    }
    outcome = MakeRoom(width, height, out);
    if (outcome != DecodeOutcome::Decoded) break;
    // One call for the whole picture: nothing says a codec keeps its
    // decoding state between calls, and one that decodes from the top for
    // each band would take a time growing with the square of the rows.
    const WICRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    const size_t stride = CodecStride(out->width, bytesPer);
    if (FAILED(codec->CopyPixels(&all, width, height, &format, WICBitmapTransformRotate0, static_cast<UINT>(stride),
                                 static_cast<UINT>(out->pixels.size()), out->pixels.data())) ||
        !WidenToFourBytes(out->pixels.data(), out->pixels.size(), out->width, out->height, bytesPer)) {
      outcome = DecodeOutcome::Failed;
      break;
    }
    out->reduction = fraction;
    break;
  }
  codec->Release();
  if (outcome != DecodeOutcome::Decoded) std::vector<uint8_t>().swap(out->pixels);
  return outcome;
}

DecodeOutcome WallpaperPicture::DecodeWhole(DecodedPicture* out) {
  const DecodeOutcome room = MakeRoom(static_cast<UINT>(width_), static_cast<UINT>(height_), out);
  if (room != DecodeOutcome::Decoded) return room;
  // Every codec converts to 32 bits (a 24-bit conversion fails for some).
  IWICBitmapSource* pixels = nullptr;
  const UINT stride = static_cast<UINT>(width_) * 4;
  const bool copied = SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame_, &pixels)) &&
                      SUCCEEDED(pixels->CopyPixels(nullptr, stride, static_cast<UINT>(out->pixels.size()),
                                                   out->pixels.data()));
  Release(pixels);
  if (!copied) {
    std::vector<uint8_t>().swap(out->pixels);
    return DecodeOutcome::Failed;
  }
  out->reduction = 1;
  return DecodeOutcome::Decoded;
}

}  // namespace numerabo
