// Stands in for the renderer in the saver tests: a renderer that needs three
// seconds before its window opens. Then it shows a window with the
// renderer's class and title until Escape or a close request ends it.
#include <windows.h>

namespace {

const char* const kTitle = "ぬめらぼ_VC";

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main() {
  Sleep(3000);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = kTitle;
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, kTitle, kTitle, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                              nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
