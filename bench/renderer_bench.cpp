// Benchmark of the renderer's own code: frame rate of the real frame beside
// the floor of the same context doing only clear and swap, the time of the
// two texture loads, and the process's peak memory. Prints figures only.
//
// Expects the two bitmap files on drive C: and a 3840 x 2160 desktop bitmap
// as C:\Numerabo4K.bmp, the desktop of a 4K screen (bench/renderer.sh writes
// all three).
#include <windows.h>
#include <GL/gl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/gl_context.h"
#include "renderer/bitmap_texture.h"
#include "renderer/body_geometry.h"
#include "renderer/scene.h"

namespace numerabo {
int clientWidth = 1024;
int clientHeight = 768;
float frameSeconds = 0;
}  // namespace numerabo

using namespace numerabo;

namespace {

LONGLONG Now() {
  LARGE_INTEGER v;
  QueryPerformanceCounter(&v);
  return v.QuadPart;
}

double Seconds(LONGLONG ticks) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

HDC OpenWindow() {
  WNDCLASSA wc = {};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "numerabo_renderer_bench";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, wc.lpszClassName, WS_POPUP | WS_VISIBLE, 0, 0, clientWidth,
                                clientHeight, nullptr, nullptr, wc.hInstance, nullptr);
  HDC dc = GetDC(window);
  MakeGlContextCurrent(dc);
  Pump();
  return dc;
}

double LoadMilliseconds(const wchar_t* path, int repeats, bool* loaded) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    BitmapTexture texture;
    const LONGLONG start = Now();
    *loaded = texture.Load(path);
    glFinish();
    times.push_back(Seconds(Now() - start) * 1000);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Frames per second over the given time; real frames advance the animation
// by the clock, as the renderer does.
double FramesPerSecond(HDC dc, bool real, double seconds) {
  const LONGLONG start = Now();
  LONGLONG last = start;
  long frames = 0;
  while (Seconds(Now() - start) < seconds) {
    if (real) {
      const LONGLONG now = Now();
      frameSeconds = static_cast<float>(Seconds(now - last));
      last = now;
      DrawFrame();
    } else {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    SwapBuffers(dc);
    ++frames;
    if ((frames & 15) == 0) Pump();
  }
  glFinish();
  return frames / Seconds(Now() - start);
}

}  // namespace

int main() {
  HDC dc = OpenWindow();
  std::printf("GL renderer: %s, %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));

  bool bodyLoaded = false, body4kLoaded = false, sphereLoaded = false;
  const double bodyMs = LoadMilliseconds(L"C:\\Numerabo1.BMP", 5, &bodyLoaded);
  const double body4kMs = LoadMilliseconds(L"C:\\Numerabo4K.BMP", 5, &body4kLoaded);
  const double sphereMs = LoadMilliseconds(L"C:\\Numerabo2.BMP", 5, &sphereLoaded);
  std::printf("texture load, desktop bitmap 1920x1080: %.1f ms (median of 5)%s\n", bodyMs,
              bodyLoaded ? "" : "  [NOT LOADED]");
  std::printf("texture load, desktop bitmap 3840x2160: %.1f ms (median of 5)%s\n", body4kMs,
              body4kLoaded ? "" : "  [NOT LOADED]");
  std::printf("texture load, picture 512x512:          %.1f ms (median of 5)%s\n", sphereMs,
              sphereLoaded ? "" : "  [NOT LOADED]");

  InitScene(L"C:");
  FramesPerSecond(dc, false, 0.5);  // warm-up
  const double floor = FramesPerSecond(dc, false, 5);
  const double real = FramesPerSecond(dc, true, 5);
  std::printf("frames per second, clear + swap (floor): %.1f\n", floor);
  std::printf("frames per second, DrawFrame + swap:     %.1f\n", real);
  std::printf("ratio real / floor: %.2f\n", real / floor);

  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    std::printf("benchmark process peak working set: %.1f MiB, peak private: %.1f MiB\n",
                counters.PeakWorkingSetSize / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
  }
  return 0;
}
