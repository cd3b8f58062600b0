// A texture object loaded from a bitmap file: one OpenGL texture name, and
// the whole mipmap chain built from a 24-bit Windows bitmap by GLU.
#pragma once

#include <cstdint>

#include "renderer/bitmap_file.h"

namespace numerabo {

class BitmapTexture {
 public:
  // No GL call: the two instances are built before any context exists.
  BitmapTexture() = default;
  ~BitmapTexture();
  BitmapTexture(const BitmapTexture&) = delete;
  BitmapTexture& operator=(const BitmapTexture&) = delete;

  // A fresh texture name with repeat wrapping and mipmap filtering, left
  // bound. False when fileName does not fit; the name is made all the same.
  bool Create(const wchar_t* fileName);
  // Create, then read the file and upload it. True when an image went to
  // the mipmap builder.
  bool Load(const wchar_t* fileName);
  void Bind() const;
  void Release();

  int32_t Width() const { return width; }
  int32_t Height() const { return height; }
  uint32_t Handle() const { return handle; }

 private:
  wchar_t fileName[kFileNameCapacity] = {};
  uint32_t handle = 0;  // texture name + 1; 0 holds nothing
  int32_t width = 0;
  int32_t height = 0;
};

extern BitmapTexture bodyTexture;    // the desktop picture, on the body
extern BitmapTexture sphereTexture;  // the built-in picture, on the sphere

}  // namespace numerabo
