// The saver benchmark's yardstick for the stand-in: the platform's codec
// alone decoding a picture file whole, as any program would (read from the
// file, converted to 32 bits, one copy into memory), not through the host's
// code. Prints "codec-decode-ms <ms>", "codec-decoded-bytes <bytes>" and
// "codec-peak-added-bytes <bytes>": the process's peak working set (under
// Wine its peak resident size) over its working set before the decode, the
// memory the codec takes to give the picture, the copy included.
//   wallpaper_decode.exe <file>
#include <windows.h>
// Kernel32's own K32GetProcessMemoryInfo: no psapi.dll to link.
#define PSAPI_VERSION 2
#include <psapi.h>
#include <shellapi.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  PROCESS_MEMORY_COUNTERS before = {}, after = {};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
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
  if (!decoded || !GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after))) return 1;
  std::printf("codec-decode-ms %.1f\ncodec-decoded-bytes %zu\ncodec-peak-added-bytes %zu\n",
              (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, memory.size(),
              after.PeakWorkingSetSize - before.WorkingSetSize);
  return 0;
}
