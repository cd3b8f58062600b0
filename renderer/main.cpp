// The renderer program: one pop-up window with an OpenGL context, a message
// loop that repaints whenever the queue is empty, and a clock from the
// performance counter. Escape or a close request ends it.
#include <windows.h>
#include <shellapi.h>
#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "renderer/body_geometry.h"
#include "renderer/scene.h"

namespace numerabo {

int clientWidth = 0;
int clientHeight = 0;
float frameSeconds = 0;

namespace {

const char kWindowClass[] = "ぬめらぼ_VC";  // the host finds us by this title
// Where the host wrote the bitmaps when it gave no folder.
const wchar_t kDefaultBitmapFolder[] = L"C:";
const int kWindowWidth = 1024;
const int kWindowHeight = 768;
const int kExitNoContext = 1;

struct Renderer {
  bool isActive = false;
  unsigned char keyDown[256] = {};
  HDC windowDC = nullptr;
  HGLRC renderContext = nullptr;
  bool contextFailed = false;
  LONGLONG counterFrequency = 0;
  LONGLONG counterStart = 0;
  float elapsedSeconds = 0;
};
Renderer renderer;

void DebugPrint(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  // vsnprintf always terminates, even when the text would not fit.
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  // Plain ASCII, the same bytes in every code page: the narrow call is exact.
  OutputDebugStringA(buffer);
}

// The window's name, Shift-JIS in the program and UTF-16 for the platform:
// converted with code page 932 itself, whatever the system's code page is.
std::wstring WindowName() {
  wchar_t name[64] = {};
  MultiByteToWideChar(932, 0, kWindowClass, -1, name, 64);
  return name;
}

// The folder the host names as the renderer's one argument, or the root of
// C where it names none.
std::wstring BitmapFolder() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring folder = arguments && count >= 2 && arguments[1][0] ? arguments[1] : kDefaultBitmapFolder;
  if (arguments) LocalFree(arguments);
  return folder;
}

const PIXELFORMATDESCRIPTOR& PixelFormatDescriptor(HDC dc) {
  static PIXELFORMATDESCRIPTOR descriptor;
  static bool built = false;
  if (!built) {
    descriptor = PIXELFORMATDESCRIPTOR{};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = static_cast<BYTE>(GetDeviceCaps(dc, BITSPIXEL));
    descriptor.cDepthBits = 16;
    descriptor.iLayerType = PFD_MAIN_PLANE;
    built = true;
  }
  return descriptor;
}

// True when a format was found and set.
bool SetupPixelFormat(HDC dc) {
  const PIXELFORMATDESCRIPTOR& descriptor = PixelFormatDescriptor(dc);
  const int index = ChoosePixelFormat(dc, &descriptor);
  DebugPrint("PixelFormat Selected: %d\nBPP: %d\n", index, GetDeviceCaps(dc, BITSPIXEL));
  return SetPixelFormat(dc, index, &descriptor) && index != 0;
}

void ResizeViewport(int width, int height) { glViewport(0, 0, width, height ? height : 1); }

void ReleaseContext() {
  wglMakeCurrent(renderer.windowDC, nullptr);
  if (renderer.renderContext) wglDeleteContext(renderer.renderContext);
  renderer.renderContext = nullptr;
}

// Without a context nothing would ever be drawn and the window would sit
// unpainted over the screen; creation is refused instead.
LRESULT OnCreate(HWND window) {
  renderer.windowDC = GetDC(window);
  const bool formatSet = SetupPixelFormat(renderer.windowDC);
  if (formatSet) renderer.renderContext = wglCreateContext(renderer.windowDC);
  if (!renderer.renderContext || !wglMakeCurrent(renderer.windowDC, renderer.renderContext)) {
    renderer.contextFailed = true;
    return -1;
  }
  return 0;
}

void OnDestroy() {
  ReleaseContext();
  PostQuitMessage(0);
}

void OnSize(LPARAM lParam) {
  clientWidth = LOWORD(lParam);
  clientHeight = HIWORD(lParam);
  ResizeViewport(clientWidth, clientHeight);
}

void OnPaint(HWND window) {
  ShowCursor(FALSE);
  if (!renderer.isActive) return;

  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const float t = CounterSeconds(renderer.counterStart, now.QuadPart, renderer.counterFrequency);
  frameSeconds = t - renderer.elapsedSeconds;
  renderer.elapsedSeconds = t;

  if (renderer.keyDown[VK_ESCAPE]) {
    // The window stays until the process ends; only the context goes now.
    renderer.isActive = false;
    ReleaseContext();
    PostQuitMessage(0);
    ShowCursor(TRUE);
    return;
  }
  DrawFrame();
  SwapBuffers(renderer.windowDC);
  ValidateRect(window, nullptr);
}

// A key message can be posted by anyone with any wParam; only real key codes
// have a flag.
void OnKey(WPARAM key, unsigned char down) {
  if (key < sizeof renderer.keyDown) renderer.keyDown[key] = down;
}

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SIZE: OnSize(lParam); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_KEYDOWN: OnKey(wParam, 1); return 0;
    case WM_KEYUP: OnKey(wParam, 0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

int Run(HINSTANCE instance) {
  renderer.isActive = false;

  const std::wstring name = WindowName();
  WNDCLASSW windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = RendererWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name.c_str();
  if (!RegisterClassW(&windowClass)) return 0;

  HWND window = CreateWindowExW(0, name.c_str(), name.c_str(), WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr,
                                instance, nullptr);
  if (!window) return renderer.contextFailed ? kExitNoContext : 0;

  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  // The show is started by another process: Windows leaves a new window
  // behind the foreground unless it is brought there, and only the window
  // with the keyboard sees Escape. The host has allowed it.
  SetForegroundWindow(window);
  SetFocus(window);

  LARGE_INTEGER value;
  QueryPerformanceFrequency(&value);
  renderer.counterFrequency = value.QuadPart;
  QueryPerformanceCounter(&value);
  renderer.counterStart = value.QuadPart;

  if (!InitScene(BitmapFolder())) return 0;
  renderer.isActive = true;

  MSG msg = {};
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
  while (msg.message != WM_QUIT) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } else {
      InvalidateRect(window, nullptr, FALSE);
    }
  }
  renderer.isActive = false;
  return static_cast<int>(msg.wParam);
}

}  // namespace
}  // namespace numerabo

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return numerabo::Run(instance); }
