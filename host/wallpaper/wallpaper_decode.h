// A wallpaper decoded from its bytes in memory at about the size it is
// drawn, a band of rows at a time.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "host/wallpaper/wallpaper_layout.h"

namespace numerabo {

class WallpaperPicture {
 public:
  WallpaperPicture() = default;
  ~WallpaperPicture();
  WallpaperPicture(const WallpaperPicture&) = delete;
  WallpaperPicture& operator=(const WallpaperPicture&) = delete;

  // bytes must outlive the picture. Where the codec decodes at a fraction of
  // the size (a JPEG at 1/2, 1/4 or 1/8), the smallest fraction that is
  // still at least the size drawn for fit on a screen of screenWidth x
  // screenHeight is taken; the drawing reduces the rest smoothly. Where the
  // system's JPEG codec decodes only whole pictures (Wine's, some older
  // systems'), a baseline JPEG is decoded so by this program's own decoder. False when
  // the bytes are no picture the platform decodes. reduce false: always at
  // full size.
  bool Open(const std::vector<uint8_t>& bytes, WallpaperFit fit, int32_t screenWidth, int32_t screenHeight,
            bool reduce = true);

  // The picture's own size, which the placement is made for.
  int32_t FullWidth() const { return fullWidth_; }
  int32_t FullHeight() const { return fullHeight_; }
  // The size decoded, which the rows have.
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Reduced() const { return reduced_ != nullptr; }

  // count rows from first on as blue, green, red and a fourth byte, one
  // after the other; valid until the next call. Null when they cannot be read.
  const uint8_t* Rows(int32_t first, int32_t count);

 private:
  bool OpenReduced(int64_t drawnWidth, int64_t drawnHeight);
  bool CopyRows(int32_t first, int32_t count, uint8_t* out);

  IWICImagingFactory* factory_ = nullptr;
  IWICStream* stream_ = nullptr;
  IWICBitmapDecoder* decoder_ = nullptr;
  IWICBitmapFrameDecode* frame_ = nullptr;
  IUnknown* reduced_ = nullptr;          // the codec's own reduced decoding, when it is used
  IWICBitmapSource* pixels_ = nullptr;  // the frame converted to 32 bits, where it is in no layout read here
  WICPixelFormatGUID packedFormat_ = {};  // else the layout of the frame or of its reduced decoding
  int32_t fullWidth_ = 0, fullHeight_ = 0;
  int32_t width_ = 0, height_ = 0;
  std::vector<uint8_t> band_;
  int32_t heldFirst_ = 0, heldCount_ = 0;  // the rows band_ holds
  std::vector<uint8_t> packed_;  // rows in the frame's own layout
};

}  // namespace numerabo
