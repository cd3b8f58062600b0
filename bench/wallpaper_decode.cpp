// The saver benchmark's yardstick for the stand-in: the platform's codec
// alone decoding a picture file whole, as any program would (read from the
// file, converted to 32 bits, one copy into memory), not through the host's
// code. Prints "codec-decode-ms <ms>" and "codec-decoded-bytes <bytes>".
//   wallpaper_decode.exe <file>
#include <windows.h>
#include <shellapi.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  IWICImagingFactory* factory = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICBitmapSource* pixels = nullptr;
  UINT width = 0, height = 0;
  std::vector<BYTE> memory;
  const bool decoded =
      SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                 reinterpret_cast<void**>(&factory))) &&
      SUCCEEDED(factory->CreateDecoderFromFilename(argv[1], nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                   &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
      SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame, &pixels)) &&
      (memory.resize(size_t{width} * height * 4), true) &&
      SUCCEEDED(pixels->CopyPixels(nullptr, width * 4, static_cast<UINT>(memory.size()), memory.data()));
  QueryPerformanceCounter(&end);
  if (!decoded) return 1;
  std::printf("codec-decode-ms %.1f\ncodec-decoded-bytes %zu\n",
              (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, memory.size());
  return 0;
}
