// The host's thin window framework over Win32: process services, twips
// geometry, windows created hidden that run a load handler, modal and
// non-modal showing, a persistent off-screen image per window, timers on the
// user-interface thread, and saving a picture as a bitmap file. Every window
// of the host (saver screen, preview, settings dialog) derives from Form.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/startup/framework/pixel_scale.h"

namespace numerabo {

// -- process ------------------------------------------------------------------

namespace app {

extern const char* const kTitle;  // "ぬめらぼ (ScreenSaver)"

HINSTANCE Instance();
// The argument text the program was started with, without its own path.
std::string CommandLine();
// The folder holding the program file (no trailing "\" except at a root),
// as the platform names it: it may hold characters Shift-JIS has not.
std::wstring ProgramFolder();
// Ends the process at once: no handler or timer runs afterwards.
[[noreturn]] void EndProcess(UINT exitCode = 0);
// A modal message box with the application title as caption, modal to
// owner when one is given.
int ShowMessage(const std::string& text, UINT style, HWND owner = nullptr);
// Runs the message loop until the last form has gone.
int RunMessageLoop();

enum class Pointer { Default, Hourglass };
void SetPointer(Pointer pointer);
Pointer CurrentPointer();

}  // namespace app

// -- twips --------------------------------------------------------------------

// The screen's scale across and down, read once: the system's dots per inch
// stay as they are for the life of a process that declares itself aware of
// them (see the host's manifest).
const PixelScale& ScreenScaleX();
const PixelScale& ScreenScaleY();
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
int ScreenWidthTwips();
int ScreenHeightTwips();
int ClientWidthTwipsOf(HWND hwnd);
int ClientHeightTwipsOf(HWND hwnd);

// -- persistent off-screen image ------------------------------------------------

// A 32-bit top-down DIB section with its own memory DC: what a window or
// picture panel shows, kept between repaints, and what can be saved.
class OffscreenImage {
 public:
  OffscreenImage() = default;
  ~OffscreenImage();
  OffscreenImage(const OffscreenImage&) = delete;
  OffscreenImage& operator=(const OffscreenImage&) = delete;

  // Makes the image width x height pixels; what it held is kept where it fits.
  bool Resize(int width, int height, COLORREF background = RGB(0, 0, 0));
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const uint8_t* Pixels() const { return pixels_; }
  // For drawing into the memory directly; GdiFlush first, since GDI may
  // still hold drawing for it.
  uint8_t* Pixels() { return pixels_; }
  void Fill(COLORREF colour);
  void Draw(HDC target, int x, int y) const;
  // Writes the image as a 24-bit bottom-up bitmap file, completely or not at
  // all where the file system allows replacing a file by a renamed one.
  bool SaveBitmap(const std::wstring& path) const;

 private:
  void Free();
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  uint8_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// -- forms and timers -------------------------------------------------------------

class Form;

// A window timer ticking on the user-interface thread.
class Timer {
 public:
  Timer(Form* owner, UINT intervalMs, std::function<void()> tick);
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  UINT Interval() const { return interval_; }
  void SetInterval(UINT intervalMs);

 private:
  friend class Form;
  void Apply();
  Form* owner_;
  UINT id_;
  UINT interval_;
  bool enabled_ = false;
  std::function<void()> tick_;
};

struct FormOptions {
  std::string caption;
  DWORD style = WS_POPUP;
  DWORD exStyle = 0;
  int widthPx = 0;
  int heightPx = 0;
  COLORREF background = RGB(0, 0, 0);
  HICON icon = nullptr;
  bool persistentImage = false;  // keep an OffscreenImage of the client area
};

class Form {
 public:
  virtual ~Form();

  // Creates the window without showing it, then runs OnLoad.
  bool Load();
  void Show();
  // Shows the window and returns once it has closed.
  void ShowModal();
  // Runs the close handler (which may cancel), the unload handler, then
  // destroys the window.
  void Close(int unloadMode = 1);

  HWND Hwnd() const { return hwnd_; }
  OffscreenImage& Image() { return image_; }

  // Geometry in twips: outer frame position and size; client size.
  void MoveTwips(int left, int top, int width = -1, int height = -1);
  int WidthTwips() const;
  int HeightTwips() const;
  int ClientWidthTwips() const;
  int ClientHeightTwips() const;
  void Refresh();

  static int LiveForms();

 protected:
  explicit Form(FormOptions options) : options_(std::move(options)) {}

  virtual void OnLoad() {}
  virtual void OnQueryUnload(bool* cancel, int unloadMode) { (void)cancel; (void)unloadMode; }
  virtual void OnUnload() {}
  virtual void OnResize() {}
  // Paints above the persistent image (or the background colour).
  virtual void OnPaint(HDC dc) { (void)dc; }
  // Messages the form wants to see before the default handling.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    (void)message; (void)wParam; (void)lParam; (void)result;
    return false;
  }

 private:
  friend class Timer;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void HandlePaint();
  void HandleSize();
  void HandleTimer(UINT id);

  FormOptions options_;
  HWND hwnd_ = nullptr;
  OffscreenImage image_;
  std::vector<Timer*> timers_;
  bool closing_ = false;
  bool modalDone_ = false;
};

// -- programs ------------------------------------------------------------------------

// Starts the program file at path directly (not through file associations)
// with arguments (none when empty) and the given show style, without
// waiting. Keeps the process handle in *process when asked for it (the
// caller closes it).
bool StartProgram(const std::wstring& path, const std::wstring& arguments, int showStyle,
                  HANDLE* process = nullptr);

}  // namespace numerabo
