#include "host/command/command.h"

#include <windowsx.h>

#include <cmath>

#include "host/resources/pictures.h"
#include "host/resources/resource_ids.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {
namespace {

const wchar_t kClassName[] = L"NumeraboCommand";
const UINT_PTR kHoverTimer = 1;
const UINT kHoverIntervalMs = 100;
// Never seen: gradient and frame cover the whole surface.
const COLORREF kClearColour = RGB(0xFF, 0xFF, 0xFF);

bool RegisterCommandClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return true;
  WNDCLASSW wc = {};
  // No CS_DBLCLKS: a quick second click is a second press, not a double click.
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return registered;
}

// A stored colour: 0x00BBGGRR, or with the top bit set one of the
// platform's system colours by index.
COLORREF ToColorRef(int32_t colour) {
  uint32_t c = static_cast<uint32_t>(colour);
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFFu;
}

// Places on the surface: the nearest pixel at the screen's scale.
int SurfaceX(double twips) { return ScreenScaleX().NearestPixels(twips); }
int SurfaceY(double twips) { return ScreenScaleY().NearestPixels(twips); }

int ShiftState(WPARAM keys) {
  int shift = 0;
  if (keys & MK_SHIFT) shift |= 1;
  if (keys & MK_CONTROL) shift |= 2;
  if (GetKeyState(VK_MENU) < 0) shift |= 4;
  return shift;
}

int ButtonsHeld(WPARAM keys) {
  int b = 0;
  if (keys & MK_LBUTTON) b |= kLeftButton;
  if (keys & MK_RBUTTON) b |= kRightButton;
  if (keys & MK_MBUTTON) b |= kMiddleButton;
  return b;
}

}  // namespace

// -- fonts and pictures ----------------------------------------------------------

FontDesc FontDescFromHandle(HFONT font) {
  LOGFONTW lf = {};
  if (font == nullptr || GetObjectW(font, sizeof lf, &lf) == 0) return DesignFont();
  FontDesc d;
  d.face = Sjis(lf.lfFaceName);
  int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  // Points in quarter steps, as font sizes are usually given.
  d.size = static_cast<float>(std::round(height * 72.0 / ScreenScaleY().Dpi() * 4) / 4);
  if (d.size <= 0) d.size = DesignFont().size;
  d.weight = lf.lfWeight ? static_cast<int>(lf.lfWeight) : 400;
  d.charset = lf.lfCharSet;
  d.italic = lf.lfItalic != 0;
  d.underline = lf.lfUnderline != 0;
  return d;
}

HFONT CreateFontFromDesc(const FontDesc& font) {
  int height = -static_cast<int>(std::lround(font.size * ScreenScaleY().Dpi() / 72.0));
  return CreateFontW(height, 0, 0, 0, font.weight, font.italic, font.underline, FALSE,
                     static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(font.face).c_str());
}

HBITMAP FacePicture(Face face) {
  static HBITMAP pictures[7] = {};
  static bool tried[7] = {};
  int ids[7] = {0, IDB_BUTTON_NORMAL, IDB_BUTTON_HIGHLIGHT, IDB_BUTTON_PRESSED,
                IDB_BUTTON_SELECTED, IDB_BUTTON_HIGHLIGHT_SELECT, IDB_BUTTON_DISABLE};
  int i = static_cast<int>(face);
  if (i <= 0 || i > 6) return nullptr;
  if (!tried[i]) {
    tried[i] = true;
    // Kept for the life of the process, like the rest of the artwork.
    pictures[i] = LoadButtonPicture(ids[i]);
  }
  return pictures[i];
}

// -- creation --------------------------------------------------------------------

Command* Command::Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw,
                         const std::string& storedProperties, HFONT ambientFont, int id) {
  if (!RegisterCommandClass(&Command::WindowProc)) return nullptr;
  Command* c = new Command();
  c->SetAmbientFont(FontDescFromHandle(ambientFont));
  // Placed like every other control of the holding window.
  HWND hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, TwipsToPixelsX(leftTw),
                              TwipsToPixelsY(topTw), TwipsToPixelsX(widthTw), TwipsToPixelsY(heightTw), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), c);
  if (hwnd == nullptr) {
    delete c;
    return nullptr;
  }
  c->ReadProperties(PropertyBag(storedProperties));
  return c;
}

Command::~Command() {
  if (captionFont_) DeleteObject(captionFont_);
}

void Command::Move(int leftTw, int topTw, int widthTw, int heightTw) {
  MoveWindow(hwnd_, TwipsToPixelsX(leftTw), TwipsToPixelsY(topTw), TwipsToPixelsX(widthTw), TwipsToPixelsY(heightTw),
             TRUE);
}

std::string Command::StoredProperties() {
  PropertyBag bag;
  WriteProperties(bag);
  return bag.Text();
}

// -- window procedure ----------------------------------------------------------------

LRESULT CALLBACK Command::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Command* self = reinterpret_cast<Command*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Command*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete self;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->Handle(message, wParam, lParam);
}

LRESULT Command::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything it shows
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SIZE:
      OnSize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnButtonDown(kLeftButton, wParam);
      return 0;
    case WM_RBUTTONDOWN:
      OnButtonDown(kRightButton, wParam);
      return 0;
    case WM_MBUTTONDOWN:
      OnButtonDown(kMiddleButton, wParam);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(kLeftButton, wParam);
      return 0;
    case WM_RBUTTONUP:
      OnButtonUp(kRightButton, wParam);
      return 0;
    case WM_MBUTTONUP:
      OnButtonUp(kMiddleButton, wParam);
      return 0;
    case WM_MOUSEMOVE:
      PointerMove(ButtonsHeld(wParam), ShiftState(wParam));
      return 0;
    case WM_SETFOCUS:
      GotFocus();
      return 0;
    case WM_KILLFOCUS:
      LostFocus();
      return 0;
    case WM_TIMER:
      if (wParam == kHoverTimer) OnHoverTimer();
      return 0;
    case WM_DESTROY:
      if (timerStarted_) KillTimer(hwnd_, kHoverTimer);
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

// -- handlers ----------------------------------------------------------------------------

void Command::OnSize(int widthPx, int heightPx) {
  surface_.Resize(widthPx, heightPx, kClearColour);
  composed_.Resize(widthPx, heightPx, kClearColour);
  Resized(static_cast<float>(ScreenScaleX().Twips(widthPx)), static_cast<float>(ScreenScaleY().Twips(heightPx)));
}

void Command::OnButtonDown(int button, WPARAM keys) {
  if (button == kLeftButton) {
    // Only the left button takes focus and holds the pointer, so that its
    // release reaches the control even after the pointer has left it; a
    // right or middle release elsewhere is not ours.
    if (State().Enabled && GetFocus() != hwnd_) SetFocus(hwnd_);
    SetCapture(hwnd_);
  }
  PointerDown(button, ShiftState(keys));
}

void Command::OnButtonUp(int button, WPARAM keys) {
  if (button == kLeftButton && GetCapture() == hwnd_) ReleaseCapture();
  // Last: Click may close the holding window and with it this control.
  PointerUp(button, ShiftState(keys));
}

void Command::OnHoverTimer() {
  POINT p = {};
  if (!GetCursorPos(&p)) return;
  // The caption is drawn by the control itself, so over the caption the
  // window found is the control's own.
  TimerTick(WindowFromPoint(p) == hwnd_);
}

void Command::StartHoverTimer() {
  if (hwnd_ && SetTimer(hwnd_, kHoverTimer, kHoverIntervalMs, nullptr)) timerStarted_ = true;
}

// -- drawing -------------------------------------------------------------------------------

void Command::FillGradient(bool reversed) {
  auto v = GradientVertices(surface_.Width(), surface_.Height(), reversed);
  TRIVERTEX vertices[2];
  for (int i = 0; i < 2; ++i) {
    vertices[i].x = v[i].x;
    vertices[i].y = v[i].y;
    vertices[i].Red = v[i].red;
    vertices[i].Green = v[i].green;
    vertices[i].Blue = v[i].blue;
    vertices[i].Alpha = v[i].alpha;
  }
  GRADIENT_RECT rect = {0, 1};
  GradientFill(surface_.Dc(), vertices, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

bool Command::PaintFace(Face picture, const FaceGeometry& geometry, bool gradientReversed) {
  if (!surface_.Dc()) return false;
  surface_.Fill(kClearColour);
  FillGradient(gradientReversed);
  bool drawn = false;
  HBITMAP bitmap = FacePicture(picture);
  HDC source = bitmap ? CreateCompatibleDC(surface_.Dc()) : nullptr;
  if (source) {
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(surface_.Dc(), COLORONCOLOR);
    for (const PiecePixels& p : FramePiecePixels(geometry, ScreenScaleX(), ScreenScaleY())) {
      StretchBlt(surface_.Dc(), p.dest.x, p.dest.y, p.dest.width, p.dest.height, source, p.src.x, p.src.y,
                 p.src.width, p.src.height, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
    drawn = true;
  }
  GdiFlush();
  Refresh();
  return drawn;
}

void Command::DrawCaption(HDC dc) {
  if (Caption().empty()) return;
  if (captionFont_ == nullptr || captionFontDesc_ != Font()) {
    if (captionFont_) DeleteObject(captionFont_);
    captionFontDesc_ = Font();
    captionFont_ = CreateFontFromDesc(captionFontDesc_);
  }
  RECT r = {0, SurfaceY(CaptionTopTw()), SurfaceX(WidthTw()), 0};
  r.bottom = r.top + SurfaceY(CaptionHeightTw());
  HGDIOBJ oldFont = captionFont_ ? SelectObject(dc, captionFont_) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  const UINT format = DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;
  const std::wstring text = Wide(Caption());
  if (CaptionEnabled()) {
    SetTextColor(dc, ToColorRef(CaptionColour()));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  } else {
    // The platform's disabled look: grey letters with a light edge.
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  }
  if (oldFont) SelectObject(dc, oldFont);
}

void Command::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  if (BackgroundMode() != kBackgroundTransparent && surface_.Dc() && composed_.Dc()) {
    surface_.Draw(composed_.Dc(), 0, 0);
    DrawCaption(composed_.Dc());
    composed_.Draw(dc, 0, 0);
  } else {
    // Transparent: the holding window has painted beneath; only the caption.
    DrawCaption(dc);
  }
  EndPaint(hwnd_, &ps);
}

void Command::Refresh() {
  if (hwnd_ == nullptr) return;
  if (BackgroundMode() != kBackgroundTransparent) {
    InvalidateRect(hwnd_, nullptr, FALSE);
    return;
  }
  // What shows through must be painted again first, then the caption.
  HWND parent = GetParent(hwnd_);
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Command::CaptionChanged() {
  // The window text carries the caption too, for tools that look controls up.
  if (hwnd_ && windowText_ != Caption()) {
    windowText_ = Caption();
    SetWindowTextW(hwnd_, Wide(windowText_).c_str());
  }
  Refresh();
}

void Command::BackgroundChanged() { Refresh(); }

}  // namespace numerabo
