// What any OpenGL program pays before its first frame: a 1024 x 768 pop-up
// window at the top-left corner, a context with the renderer's pixel format
// and one frame cleared to magenta. The saver benchmark measures the saver's
// own start against this one. Stays until closed.
#include <windows.h>
#include <GL/gl.h>

#include "bench/gl_context.h"

namespace {

HDC g_dc = nullptr;

void ClearFrame() {
  glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  SwapBuffers(g_dc);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      ClearFrame();
      ValidateRect(window, nullptr);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = "gl_first_frame";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, wc.lpszClassName, WS_POPUP, 0, 0, 1024, 768, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return 1;
  g_dc = GetDC(window);
  MakeGlContextCurrent(g_dc);
  ShowWindow(window, SW_SHOW);
  ClearFrame();
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
