// IWICBitmapSourceTransform, which MinGW's headers lack: a codec's decoding
// at another size, format or orientation (Windows' JPEG codec decodes at
// 1/2, 1/4 and 1/8 this way). Declared in a named namespace on purpose: in
// an unnamed one the compiler may conclude that no object of this type can
// exist in the file and drop the calls made through it.
#pragma once

#include <windows.h>
#include <wincodec.h>

namespace numerabo {

const IID kReducedDecodingInterface = {0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

struct ReducedDecoding : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rows, UINT width, UINT height, WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride, UINT size,
                                               BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};

}  // namespace numerabo
