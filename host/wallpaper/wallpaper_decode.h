// A wallpaper's bytes decoded by the platform's imaging component, at no
// less than a size the caller asks: the codec's own reduced decoding where
// it offers one (Windows' JPEG codec decodes at 1/2, 1/4 and 1/8), else the
// whole picture. Knows nothing of styles or screens: the stand-in places
// the picture first and asks for the size it draws.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace numerabo {

// A picture needing more than this at 4 bytes a pixel (64 megapixels) is
// not decoded: the stand-in goes on to the next source. A 48-megapixel
// photo still decodes whole where the codec cannot reduce it.
constexpr uint64_t kLargestDecodedBytes = uint64_t{256} << 20;

// Rows of 4-byte pixels (blue, green, red, one byte not looked at), one
// after the other.
struct DecodedPicture {
  std::vector<uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  int32_t reduction = 1;  // 1: whole; 2, 4 or 8: reduced by the codec
};

enum class DecodeOutcome {
  Decoded,
  TooLarge,     // more than kLargestDecodedBytes at the size it would be decoded
  OutOfMemory,  // its memory could not be had (a 32-bit host's address space)
  Failed,       // the codec could not decode it
};

const char* DecodeOutcomeName(DecodeOutcome outcome);

class WallpaperPicture {
 public:
  WallpaperPicture() = default;
  ~WallpaperPicture();
  WallpaperPicture(const WallpaperPicture&) = delete;
  WallpaperPicture& operator=(const WallpaperPicture&) = delete;

  // bytes must outlive the picture. False when they are no picture the
  // platform decodes.
  bool Open(const std::vector<uint8_t>& bytes);

  // The picture's own size, which the placement is made for.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  // Decodes the picture at the smallest size the codec offers that is still
  // at least drawnWidth x drawnHeight (0 x 0: whole), in one copy from the
  // codec into memory. A reduced decoding that fails is tried whole.
  DecodeOutcome Decode(int64_t drawnWidth, int64_t drawnHeight, DecodedPicture* out);

 private:
  DecodeOutcome DecodeReduced(int64_t drawnWidth, int64_t drawnHeight, DecodedPicture* out);
  DecodeOutcome DecodeWhole(DecodedPicture* out);

  IWICImagingFactory* factory_ = nullptr;
  IWICStream* stream_ = nullptr;
  IWICBitmapDecoder* decoder_ = nullptr;
  IWICBitmapFrameDecode* frame_ = nullptr;
  int32_t width_ = 0, height_ = 0;
};

}  // namespace numerabo
