// The saver benchmark's yardstick for the stand-in: reads a picture file and
// decodes it at its full size, a band of rows at a time, through the host's
// own code, and prints "full-decode-ms <ms>" (reading included, as the
// stand-in's figure includes it) and "reduced-decoding <yes|no>": whether the
// stand-in decodes it at a fraction of its size for a 1920 x 1080 screen
// (with the codec's reduced decoding, else with its own for baseline JPEG),
// and "reduced-decode-ms <ms>", the time of that decoding alone.
//   wallpaper_decode.exe <file>
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "host/wallpaper/wallpaper_bytes.h"
#include "host/wallpaper/wallpaper_decode.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  std::vector<uint8_t> bytes;
  if (numerabo::ReadWallpaperBytes(argv[1], 60000, &bytes) != numerabo::WallpaperRead::Read) return 1;
  {
    numerabo::WallpaperPicture full;
    // Centred on a screen of its own size: drawn at full size, so decoded so.
    if (!full.Open(bytes, numerabo::WallpaperFit::Centre, 1 << 20, 1 << 20)) return 1;
    for (int32_t y = 0; y < full.Height(); y += 16) {
      if (!full.Rows(y, full.Height() - y < 16 ? full.Height() - y : 16)) return 1;
    }
  }
  QueryPerformanceCounter(&end);
  LARGE_INTEGER reducedStart, reducedEnd;
  QueryPerformanceCounter(&reducedStart);
  numerabo::WallpaperPicture drawn;
  const bool reduced = drawn.Open(bytes, numerabo::WallpaperFit::Fill, 1920, 1080) && drawn.Width() < drawn.FullWidth();
  QueryPerformanceCounter(&reducedEnd);
  std::printf("full-decode-ms %.1f\nreduced-decoding %s\nreduced-decode-ms %.1f\n",
              (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, reduced ? "yes" : "no",
              (reducedEnd.QuadPart - reducedStart.QuadPart) * 1000.0 / frequency.QuadPart);
  return 0;
}
