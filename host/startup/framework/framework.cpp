#include "host/startup/framework/framework.h"

#include "host/startup/files/bitmap_writer.h"
#include "host/startup/files/file_io.h"
#include "host/startup/files/path_text.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

// -- process ------------------------------------------------------------------

namespace app {

const char* const kTitle = "ぬめらぼ (ScreenSaver)";

namespace {
Pointer g_pointer = Pointer::Default;
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

std::string CommandLine() {
  const wchar_t* p = GetCommandLineW();
  if (p == nullptr) return std::string();
  // Skip the program's own path, quoted or not, then the blanks after it:
  // the path may hold anything, the arguments are the platform's switches.
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return Sjis(p);
}

std::wstring ProgramFolder() {
  // Long enough for any path the platform allows a program to start from.
  std::wstring path(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return std::wstring();
  path.resize(n);
  return ProgramFolderOf(path);
}

void EndProcess(UINT exitCode) { ExitProcess(exitCode); }

int ShowMessage(const std::string& text, UINT style, HWND owner) {
  return MessageBoxW(owner, Wide(text).c_str(), Wide(kTitle).c_str(), style);
}

int RunMessageLoop() {
  MSG msg;
  while (Form::LiveForms() > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void SetPointer(Pointer pointer) {
  g_pointer = pointer;
  SetCursor(LoadCursorA(nullptr, pointer == Pointer::Hourglass ? IDC_WAIT : IDC_ARROW));
}

Pointer CurrentPointer() { return g_pointer; }

}  // namespace app

// -- twips --------------------------------------------------------------------

namespace {

int DotsPerInch(int index) {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, index) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

int ClientPixels(HWND hwnd, bool across) {
  RECT r = {};
  GetClientRect(hwnd, &r);
  return across ? r.right : r.bottom;
}

}  // namespace

const PixelScale& ScreenScaleX() {
  static const PixelScale scale(DotsPerInch(LOGPIXELSX));
  return scale;
}

const PixelScale& ScreenScaleY() {
  static const PixelScale scale(DotsPerInch(LOGPIXELSY));
  return scale;
}

int TwipsToPixelsX(double twips) { return ScreenScaleX().Pixels(twips); }
int TwipsToPixelsY(double twips) { return ScreenScaleY().Pixels(twips); }
int ScreenWidthTwips() { return ScreenScaleX().WholeTwips(GetSystemMetrics(SM_CXSCREEN)); }
int ScreenHeightTwips() { return ScreenScaleY().WholeTwips(GetSystemMetrics(SM_CYSCREEN)); }
int ClientWidthTwipsOf(HWND hwnd) { return ScreenScaleX().WholeTwips(ClientPixels(hwnd, true)); }
int ClientHeightTwipsOf(HWND hwnd) { return ScreenScaleY().WholeTwips(ClientPixels(hwnd, false)); }

// -- persistent off-screen image ------------------------------------------------

OffscreenImage::~OffscreenImage() { Free(); }

void OffscreenImage::Free() {
  if (dc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

bool OffscreenImage::Resize(int width, int height, COLORREF background) {
  if (width < 1) width = 1;
  if (height < 1) height = 1;
  if (width == width_ && height == height_ && dc_) return true;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return false;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    DeleteObject(bitmap);
    return false;
  }
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  if (dc_) BitBlt(dc, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
  Free();
  dc_ = dc;
  bitmap_ = bitmap;
  oldBitmap_ = old;
  pixels_ = static_cast<uint8_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void OffscreenImage::Fill(COLORREF colour) {
  if (!dc_) return;
  RECT all = {0, 0, width_, height_};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

void OffscreenImage::Draw(HDC target, int x, int y) const {
  if (dc_) BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
}

bool OffscreenImage::SaveBitmap(const std::wstring& path) const {
  if (!pixels_) return false;
  GdiFlush();  // GDI may still hold drawing for the DIB section
  std::vector<uint8_t> file = EncodeBmp24(width_, height_, pixels_);
  if (file.empty()) return false;
  // Complete or not at all: a failed write (a full disk) leaves the older
  // file whole, and no reader ever finds half a bitmap.
  return ReplaceWholeFile(path, file.data(), file.size());
}

// -- forms and timers -------------------------------------------------------------

namespace {

const wchar_t* const kFormClass = L"NumeraboForm";
int g_liveForms = 0;
UINT g_nextTimerId = 1;

bool RegisterFormClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW wc = {};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = app::Instance();
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  registered = RegisterClassW(&wc) != 0;
  return registered;
}

}  // namespace

Timer::Timer(Form* owner, UINT intervalMs, std::function<void()> tick)
    : owner_(owner), id_(g_nextTimerId++), interval_(intervalMs), tick_(std::move(tick)) {
  owner_->timers_.push_back(this);
}

void Timer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Apply();
}

void Timer::SetInterval(UINT intervalMs) {
  interval_ = intervalMs;
  Apply();
}

void Timer::Apply() {
  HWND hwnd = owner_->Hwnd();
  if (!hwnd) return;  // applied when the window exists
  if (enabled_ && interval_ > 0) {
    SetTimer(hwnd, id_, interval_, nullptr);
  } else {
    KillTimer(hwnd, id_);
  }
}

Form::~Form() = default;

int Form::LiveForms() { return g_liveForms; }

bool Form::Load() {
  if (hwnd_) return true;
  if (!RegisterFormClass(&Form::WindowProc)) return false;
  RECT frame = {0, 0, options_.widthPx, options_.heightPx};
  AdjustWindowRectEx(&frame, options_.style, FALSE, options_.exStyle);
  HWND hwnd = CreateWindowExW(options_.exStyle, kFormClass, Wide(options_.caption).c_str(),
                              options_.style & ~WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, app::Instance(), this);
  if (!hwnd) return false;
  if (options_.icon) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(options_.icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(options_.icon));
  }
  if (options_.persistentImage) {
    RECT client;
    GetClientRect(hwnd, &client);
    image_.Resize(client.right, client.bottom, options_.background);
  }
  for (Timer* t : timers_) t->Apply();
  OnLoad();
  return true;
}

void Form::Show() {
  if (!hwnd_) return;
  ShowWindow(hwnd_, SW_SHOW);
  UpdateWindow(hwnd_);
}

void Form::ShowModal() {
  if (!hwnd_ && !Load()) return;
  if (!hwnd_) return;  // the load handler closed it
  modalDone_ = false;
  Show();
  MSG msg;
  while (!modalDone_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Form::Close(int unloadMode) {
  if (!hwnd_ || closing_) return;
  bool cancel = false;
  OnQueryUnload(&cancel, unloadMode);
  if (cancel) return;
  closing_ = true;
  OnUnload();
  if (hwnd_) DestroyWindow(hwnd_);
}

void Form::MoveTwips(int left, int top, int width, int height) {
  if (!hwnd_) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  int w = width < 0 ? r.right - r.left : TwipsToPixelsX(width);
  int h = height < 0 ? r.bottom - r.top : TwipsToPixelsY(height);
  MoveWindow(hwnd_, TwipsToPixelsX(left), TwipsToPixelsY(top), w, h, TRUE);
}

int Form::WidthTwips() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return ScreenScaleX().WholeTwips(r.right - r.left);
}

int Form::HeightTwips() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return ScreenScaleY().WholeTwips(r.bottom - r.top);
}

int Form::ClientWidthTwips() const { return ClientWidthTwipsOf(hwnd_); }

int Form::ClientHeightTwips() const { return ClientHeightTwipsOf(hwnd_); }

void Form::Refresh() {
  if (hwnd_) {
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
  }
}

LRESULT CALLBACK Form::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Form* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    ++g_liveForms;
  }
  if (!form) return DefWindowProcW(hwnd, message, wParam, lParam);
  return form->Handle(message, wParam, lParam);
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_PAINT:
      HandlePaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole client area
    case WM_SIZE:
      HandleSize();
      return 0;
    case WM_TIMER:
      HandleTimer(static_cast<UINT>(wParam));
      return 0;
    case WM_SETCURSOR:
      if (app::CurrentPointer() == app::Pointer::Hourglass) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      Close(0);
      return 0;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      modalDone_ = true;
      if (--g_liveForms == 0) PostQuitMessage(0);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form::HandlePaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (options_.persistentImage && image_.Dc()) {
    image_.Draw(dc, 0, 0);
  } else {
    HBRUSH brush = CreateSolidBrush(options_.background);
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
  }
  OnPaint(dc);
  EndPaint(hwnd_, &ps);
}

void Form::HandleSize() {
  if (options_.persistentImage) {
    RECT client;
    GetClientRect(hwnd_, &client);
    image_.Resize(client.right, client.bottom, options_.background);
  }
  OnResize();
}

void Form::HandleTimer(UINT id) {
  for (Timer* t : timers_) {
    if (t->id_ == id && t->enabled_ && t->tick_) {
      t->tick_();
      return;
    }
  }
}

// -- programs ------------------------------------------------------------------------

bool StartProgram(const std::wstring& path, const std::wstring& arguments, int showStyle, HANDLE* process) {
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showStyle);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  if (process) {
    *process = info.hProcess;
  } else {
    CloseHandle(info.hProcess);
  }
  return true;
}

}  // namespace numerabo
