#include "host/startup/framework/framework_controls.h"

#include <cmath>

#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

RECT PixelsOf(int leftTw, int topTw, int widthTw, int heightTw) {
  RECT r;
  r.left = TwipsToPixelsX(leftTw);
  r.top = TwipsToPixelsY(topTw);
  r.right = r.left + TwipsToPixelsX(widthTw);
  r.bottom = r.top + TwipsToPixelsY(heightTw);
  return r;
}

int ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      return kButtonLeft;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return kButtonRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return kButtonMiddle;
  }
  return 0;
}

// The buttons held during a move, as the controls report them.
int HeldButtons(WPARAM keys) {
  int buttons = 0;
  if (keys & MK_LBUTTON) buttons |= kButtonLeft;
  if (keys & MK_RBUTTON) buttons |= kButtonRight;
  if (keys & MK_MBUTTON) buttons |= kButtonMiddle;
  return buttons;
}

int ShiftOf(WPARAM keys) {
  int shift = 0;
  if (keys & MK_SHIFT) shift |= kShiftKey;
  if (keys & MK_CONTROL) shift |= kCtrlKey;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltKey;
  return shift;
}

}  // namespace

HFONT CreateFontFrom(const FontOptions& options) {
  // The negative height asks for the character height without leading.
  const int height = -static_cast<int>(std::lround(options.points * ScreenScaleY().Dpi() / 72.0));
  return CreateFontW(height, 0, 0, 0, options.weight, FALSE, options.underline ? TRUE : FALSE, FALSE,
                     static_cast<BYTE>(options.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(options.face).c_str());
}

// -- windowless controls -------------------------------------------------------------

void WindowlessControl::Move(int leftTw, int topTw, int widthTw, int heightTw) {
  Invalidate();
  left_ = leftTw;
  top_ = topTw;
  width_ = widthTw;
  height_ = heightTw;
  Invalidate();
}

RECT WindowlessControl::PixelRect() const { return PixelsOf(left_, top_, width_, height_); }

void WindowlessControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Invalidate();
}

void WindowlessControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Invalidate();
}

void WindowlessControl::Invalidate() const {
  if (host_) host_->InvalidatePixels(PixelRect());
}

Label::~Label() {
  if (hfont_) DeleteObject(hfont_);
}

void Label::SetCaption(const std::string& caption) { SetCaptionText(Wide(caption)); }

void Label::SetCaptionText(const std::wstring& caption) {
  caption_ = caption;
  Fit();
  Invalidate();
}

void Label::SetForeColor(COLORREF colour) {
  foreColor_ = colour;
  Invalidate();
}

void Label::SetBackColor(COLORREF colour) {
  backColor_ = colour;
  Invalidate();
}

void Label::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void Label::SetFont(const FontOptions& font) {
  HFONT created = CreateFontFrom(font);
  if (!created) return;
  if (hfont_) DeleteObject(hfont_);
  hfont_ = created;
  font_ = font;
  Fit();
  Invalidate();
}

void Label::SetAlignment(Alignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void Label::SetBorder(bool border) {
  border_ = border;
  Invalidate();
}

void Label::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  Fit();
  Invalidate();
}

void Label::Fit() {
  if (!autoSize_) return;
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  HGDIOBJ old = hfont_ ? SelectObject(dc, hfont_) : nullptr;
  RECT r = {0, 0, 0, 0};
  // An empty caption still takes one line's height.
  DrawTextW(dc, caption_.empty() ? L" " : caption_.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  if (caption_.empty()) r.right = 0;
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int border = border_ ? 2 : 0;
  Move(LeftTw(), TopTw(), ScreenScaleX().WholeTwips(r.right + border), ScreenScaleY().WholeTwips(r.bottom + border));
}

void Label::Paint(HDC dc) {
  RECT r = PixelRect();
  if (!transparent_) {
    HBRUSH brush = CreateSolidBrush(backColor_);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  if (border_) {
    HBRUSH frame = CreateSolidBrush(RGB(0, 0, 0));
    FrameRect(dc, &r, frame);
    DeleteObject(frame);
    InflateRect(&r, -1, -1);
  }
  if (caption_.empty()) return;
  HGDIOBJ oldFont = hfont_ ? SelectObject(dc, hfont_) : nullptr;
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, Enabled() ? foreColor_ : GetSysColor(COLOR_GRAYTEXT));
  UINT format = DT_NOPREFIX | DT_WORDBREAK;
  if (alignment_ == Alignment::Center) format |= DT_CENTER;
  if (alignment_ == Alignment::Right) format |= DT_RIGHT;
  DrawTextW(dc, caption_.c_str(), -1, &r, format);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
}

void ImageControl::SetPicture(HBITMAP picture) {
  picture_ = picture;
  Invalidate();
}

void ImageControl::Paint(HDC dc) {
  if (!picture_) return;
  BITMAP info = {};
  if (!GetObjectA(picture_, sizeof(info), &info)) return;
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  HGDIOBJ old = SelectObject(source, picture_);
  RECT r = PixelRect();
  BitBlt(dc, r.left, r.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void Shape::SetBorderColor(COLORREF colour) {
  borderColor_ = colour;
  Invalidate();
}

void Shape::Paint(HDC dc) {
  RECT r = PixelRect();
  HBRUSH brush = CreateSolidBrush(borderColor_);
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
}

// -- the host of windowless controls ---------------------------------------------------

template <class T>
T* ControlHost::Add() {
  controls_.push_back(std::unique_ptr<WindowlessControl>(new T(this)));
  return static_cast<T*>(controls_.back().get());
}

Label* ControlHost::AddLabel() { return Add<Label>(); }
ImageControl* ControlHost::AddImage() { return Add<ImageControl>(); }
Shape* ControlHost::AddShape() { return Add<Shape>(); }

void ControlHost::Paint(HDC dc) {
  for (const auto& control : controls_) {
    if (control->Visible()) control->Paint(dc);
  }
}

void ControlHost::InvalidatePixels(const RECT& r) const {
  if (window_) InvalidateRect(window_, &r, FALSE);
}

WindowlessControl* ControlHost::ControlAt(POINT p) const {
  // The last added lies on top.
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    WindowlessControl* c = it->get();
    if (!c->Visible() || !c->Enabled() || !c->TakesPointer()) continue;
    RECT r = c->PixelRect();
    if (PtInRect(&r, p)) return c;
  }
  return nullptr;
}

void ControlHost::Deliver(WindowlessControl* control, const PointerHandler& handler, int button,
                          int shift, POINT p) const {
  if (!handler) return;
  RECT r = control->PixelRect();
  handler(button, shift, static_cast<float>(ScreenScaleX().Twips(p.x - r.left)),
          static_cast<float>(ScreenScaleY().Twips(p.y - r.top)));
}

bool ControlHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  POINT p = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  switch (message) {
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      // The second press of a double click is no press of its own: a label
      // raised its Click for the first one and raises nothing more now (else
      // the home-page link would open the page twice). Only its release is
      // reported.
      if (!captured_ && !ControlAt(p)) return false;
      *result = 0;
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      WindowlessControl* c = captured_ ? captured_ : ControlAt(p);
      if (!c) return false;
      if (!captured_) {
        captured_ = c;
        leftDownOnCaptured_ = false;
        SetCapture(window_);
      }
      const int button = ButtonOf(message);
      if (button == kButtonLeft) leftDownOnCaptured_ = true;
      // The handler may close the window and with it this host.
      Deliver(c, c->MouseDown, button, ShiftOf(wParam), p);
      *result = 0;
      return true;
    }
    case WM_MOUSEMOVE: {
      WindowlessControl* c = captured_ ? captured_ : ControlAt(p);
      if (!c) return false;
      Deliver(c, c->MouseMove, HeldButtons(wParam), ShiftOf(wParam), p);
      *result = 0;
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      WindowlessControl* c = captured_ ? captured_ : ControlAt(p);
      if (!c) return false;
      const int button = ButtonOf(message);
      RECT r = c->PixelRect();
      const bool click = button == kButtonLeft && c == captured_ && leftDownOnCaptured_ && PtInRect(&r, p);
      if (button == kButtonLeft) leftDownOnCaptured_ = false;
      if (HeldButtons(wParam) == 0 && captured_) {
        captured_ = nullptr;
        ReleaseCapture();
      }
      Deliver(c, c->MouseUp, button, ShiftOf(wParam), p);
      if (click && c->Click) c->Click();
      *result = 0;
      return true;
    }
    case WM_CAPTURECHANGED:
      captured_ = nullptr;
      leftDownOnCaptured_ = false;
      return false;
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT || app::CurrentPointer() != app::Pointer::Default) return false;
      POINT cursor;
      if (!GetCursorPos(&cursor) || !ScreenToClient(window_, &cursor)) return false;
      WindowlessControl* c = ControlAt(cursor);
      if (!c || !c->Pointer()) return false;
      SetCursor(c->Pointer());
      *result = TRUE;
      return true;
    }
  }
  return false;
}

void DrawLineTwips(HDC dc, double x1Tw, double y1Tw, double x2Tw, double y2Tw, COLORREF colour) {
  if (!dc) return;
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  int oldRop = SetROP2(dc, R2_COPYPEN);
  MoveToEx(dc, TwipsToPixelsX(x1Tw), TwipsToPixelsY(y1Tw), nullptr);
  LineTo(dc, TwipsToPixelsX(x2Tw), TwipsToPixelsY(y2Tw));
  SetROP2(dc, oldRop);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// -- picture panel -----------------------------------------------------------------------

namespace {
const wchar_t* const kPanelClass = L"NumeraboPicturePanel";
}

PicturePanel::~PicturePanel() {
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool PicturePanel::Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw, COLORREF background) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &PicturePanel::WindowProc;
    wc.hInstance = app::Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kPanelClass;
    registered = RegisterClassW(&wc) != 0;
    if (!registered) return false;
  }
  background_ = background;
  RECT r = PixelsOf(leftTw, topTw, widthTw, heightTw);
  hwnd_ = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, r.left,
                          r.top, r.right - r.left, r.bottom - r.top, parent, nullptr, app::Instance(), this);
  if (!hwnd_) return false;
  controls_.Attach(hwnd_);
  RECT client;
  GetClientRect(hwnd_, &client);
  image_.Resize(client.right, client.bottom, background_);
  return true;
}

int PicturePanel::ClientWidthTw() const { return ClientWidthTwipsOf(hwnd_); }

int PicturePanel::ClientHeightTw() const { return ClientHeightTwipsOf(hwnd_); }

void PicturePanel::Line(double x1Tw, double y1Tw, double x2Tw, double y2Tw, COLORREF colour) {
  DrawLineTwips(image_.Dc(), x1Tw, y1Tw, x2Tw, y2Tw, colour);
}

void PicturePanel::Refresh() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK PicturePanel::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* panel = static_cast<PicturePanel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
  }
  auto* panel = reinterpret_cast<PicturePanel*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!panel || !panel->hwnd_) return DefWindowProcW(hwnd, message, wParam, lParam);
  return panel->Handle(message, wParam, lParam);
}

LRESULT PicturePanel::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (controls_.HandleMessage(message, wParam, lParam, &result)) return result;
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      image_.Draw(dc, 0, 0);
      controls_.Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE: {
      RECT client;
      GetClientRect(hwnd_, &client);
      image_.Resize(client.right, client.bottom, background_);
      return 0;
    }
    case WM_SETCURSOR:
      if (app::CurrentPointer() == app::Pointer::Hourglass) {
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      // Notices of the boxes on the panel belong to the window that holds it.
      return SendMessageW(GetParent(hwnd_), message, wParam, lParam);
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      hwnd_ = nullptr;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// -- editable drop-down box -----------------------------------------------------------------

DropDownBox::~DropDownBox() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (hfont_) DeleteObject(hfont_);
}

bool DropDownBox::Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw, int listRows) {
  RECT r = PixelsOf(leftTw, topTw, widthTw, heightTw);
  const int closed = r.bottom - r.top;
  hwnd_ = CreateWindowExW(0, L"COMBOBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                          r.left, r.top, r.right - r.left, closed + closed * listRows, parent, nullptr,
                          app::Instance(), nullptr);
  if (!hwnd_) return false;
  // The closed box keeps the designed height whatever its font.
  SendMessageW(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), closed > 6 ? closed - 6 : closed);
  return true;
}

void DropDownBox::SetText(const std::string& text) {
  if (hwnd_) SetWindowTextW(hwnd_, Wide(text).c_str());
}

std::string DropDownBox::Text() const {
  if (!hwnd_) return std::string();
  int length = GetWindowTextLengthW(hwnd_);
  if (length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(hwnd_, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return Sjis(text);
}

void DropDownBox::AddItem(const std::string& item) {
  if (hwnd_) SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

int DropDownBox::ItemCount() const {
  if (!hwnd_) return 0;
  LRESULT n = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
  return n < 0 ? 0 : static_cast<int>(n);
}

std::string DropDownBox::Item(int index) const {
  if (!hwnd_) return std::string();
  LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return std::string();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return Sjis(text);
}

void DropDownBox::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool DropDownBox::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

void DropDownBox::SetFont(const FontOptions& font) {
  HFONT created = CreateFontFrom(font);
  if (!created || !hwnd_) {
    if (created) DeleteObject(created);
    return;
  }
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(created), TRUE);
  if (hfont_) DeleteObject(hfont_);
  hfont_ = created;
}

}  // namespace numerabo
