// The window framework's controls: windowless labels, images and shapes that
// a container paints over its persistent image and hit-tests for the
// pointer; the picture panel, a child window with its own persistent image
// and windowless children; and the editable drop-down box. Geometry is in
// twips relative to the container, as everywhere in the host's windows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/startup/framework/framework.h"

namespace numerabo {

// -- fonts -----------------------------------------------------------------------

struct FontOptions {
  std::string face;
  double points = 9.0;
  int weight = FW_NORMAL;
  int charset = DEFAULT_CHARSET;
  bool underline = false;
};

// A GDI font of that size at the screen's resolution: 9.75 points is a
// character height of 13 pixels at 96 dpi. The caller deletes it.
HFONT CreateFontFrom(const FontOptions& options);

// -- pointer events ----------------------------------------------------------------

// Buttons and shift state as the controls report them.
constexpr int kButtonLeft = 1;
constexpr int kButtonRight = 2;
constexpr int kButtonMiddle = 4;
constexpr int kShiftKey = 1;
constexpr int kCtrlKey = 2;
constexpr int kAltKey = 4;

// button, shift, x and y in twips relative to the control.
using PointerHandler = std::function<void(int button, int shift, float x, float y)>;

// -- windowless controls -------------------------------------------------------------

class ControlHost;

class WindowlessControl {
 public:
  virtual ~WindowlessControl() = default;
  WindowlessControl(const WindowlessControl&) = delete;
  WindowlessControl& operator=(const WindowlessControl&) = delete;

  void Move(int leftTw, int topTw, int widthTw, int heightTw);
  int LeftTw() const { return left_; }
  int TopTw() const { return top_; }
  int WidthTw() const { return width_; }
  int HeightTw() const { return height_; }
  RECT PixelRect() const;

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // The pointer shape over the control; nullptr keeps the container's.
  void SetPointer(HCURSOR cursor) { pointer_ = cursor; }
  HCURSOR Pointer() const { return pointer_; }

  // Only labels and images take the pointer; a shape lets it through.
  virtual bool TakesPointer() const { return true; }
  virtual void Paint(HDC dc) = 0;

  PointerHandler MouseDown;
  PointerHandler MouseMove;
  PointerHandler MouseUp;
  // A left press and release on the control.
  std::function<void()> Click;

 protected:
  explicit WindowlessControl(ControlHost* host) : host_(host) {}
  void Invalidate() const;
  ControlHost* host_;

 private:
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  HCURSOR pointer_ = nullptr;
};

class Label : public WindowlessControl {
 public:
  enum class Alignment { Left, Center, Right };

  explicit Label(ControlHost* host) : WindowlessControl(host) {}
  ~Label() override;

  // The caption in the host's Shift-JIS, or as the platform gives a path:
  // a file name may hold characters Shift-JIS has not.
  void SetCaption(const std::string& caption);
  void SetCaptionText(const std::wstring& caption);
  const std::wstring& CaptionText() const { return caption_; }
  void SetForeColor(COLORREF colour);
  COLORREF ForeColor() const { return foreColor_; }
  void SetBackColor(COLORREF colour);
  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  void SetFont(const FontOptions& font);
  const FontOptions& Font() const { return font_; }
  HFONT FontHandle() const { return hfont_; }
  void SetAlignment(Alignment alignment);
  // A one-pixel line around the text.
  void SetBorder(bool border);
  bool Border() const { return border_; }
  // Keeps the label as large as its caption in one line.
  void SetAutoSize(bool autoSize);
  bool AutoSize() const { return autoSize_; }

  void Paint(HDC dc) override;

 private:
  void Fit();

  std::wstring caption_;
  COLORREF foreColor_ = RGB(0, 0, 0);
  COLORREF backColor_ = RGB(255, 255, 255);
  bool transparent_ = false;
  FontOptions font_;
  HFONT hfont_ = nullptr;
  Alignment alignment_ = Alignment::Left;
  bool border_ = false;
  bool autoSize_ = false;
};

// A picture drawn at its own size at the control's top-left corner. The
// picture is shared, never owned: images copy each other's pictures.
class ImageControl : public WindowlessControl {
 public:
  explicit ImageControl(ControlHost* host) : WindowlessControl(host) {}
  void SetPicture(HBITMAP picture);
  HBITMAP Picture() const { return picture_; }
  void Paint(HDC dc) override;

 private:
  HBITMAP picture_ = nullptr;
};

// A rectangle outline.
class Shape : public WindowlessControl {
 public:
  explicit Shape(ControlHost* host) : WindowlessControl(host) {}
  void SetBorderColor(COLORREF colour);
  bool TakesPointer() const override { return false; }
  void Paint(HDC dc) override;

 private:
  COLORREF borderColor_ = RGB(0, 0, 0);
};

// The windowless controls of one window: paints them in the order they were
// added and gives pointer messages to the topmost one under the pointer. A
// press captures the pointer for its control until the last button is up.
class ControlHost {
 public:
  ControlHost() = default;
  ControlHost(const ControlHost&) = delete;
  ControlHost& operator=(const ControlHost&) = delete;

  void Attach(HWND window) { window_ = window; }
  HWND Window() const { return window_; }

  Label* AddLabel();
  ImageControl* AddImage();
  Shape* AddShape();

  void Paint(HDC dc);
  // Mouse and pointer-shape messages; true when a control took the message.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  void InvalidatePixels(const RECT& r) const;

 private:
  template <class T>
  T* Add();
  WindowlessControl* ControlAt(POINT p) const;
  void Deliver(WindowlessControl* control, const PointerHandler& handler, int button, int shift,
               POINT p) const;

  HWND window_ = nullptr;
  std::vector<std::unique_ptr<WindowlessControl>> controls_;
  WindowlessControl* captured_ = nullptr;
  bool leftDownOnCaptured_ = false;
};

// Draws a one-pixel line in plain copy mode, coordinates in twips.
void DrawLineTwips(HDC dc, double x1Tw, double y1Tw, double x2Tw, double y2Tw, COLORREF colour);

// -- picture panel -----------------------------------------------------------------------

// A child window that shows its persistent image with its windowless controls
// above it. Child windows placed on it (buttons, boxes) are clipped out.
class PicturePanel {
 public:
  PicturePanel() = default;
  ~PicturePanel();
  PicturePanel(const PicturePanel&) = delete;
  PicturePanel& operator=(const PicturePanel&) = delete;

  bool Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw, COLORREF background);
  HWND Hwnd() const { return hwnd_; }
  OffscreenImage& Image() { return image_; }
  ControlHost& Controls() { return controls_; }
  int ClientWidthTw() const;
  int ClientHeightTw() const;
  void Line(double x1Tw, double y1Tw, double x2Tw, double y2Tw, COLORREF colour);
  void Refresh();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  COLORREF background_ = RGB(0, 0, 0);
  OffscreenImage image_;
  ControlHost controls_;
};

// -- editable drop-down box -----------------------------------------------------------------

class DropDownBox {
 public:
  DropDownBox() = default;
  ~DropDownBox();
  DropDownBox(const DropDownBox&) = delete;
  DropDownBox& operator=(const DropDownBox&) = delete;

  // The height is that of the closed box; the list opens below it.
  bool Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw, int listRows = 10);
  HWND Hwnd() const { return hwnd_; }

  void SetText(const std::string& text);
  std::string Text() const;
  void AddItem(const std::string& item);
  int ItemCount() const;
  std::string Item(int index) const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetFont(const FontOptions& font);

 private:
  HWND hwnd_ = nullptr;
  HFONT hfont_ = nullptr;
};

}  // namespace numerabo
