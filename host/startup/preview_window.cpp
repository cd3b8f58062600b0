#include "host/startup/preview_window.h"

#include "host/resources/pictures.h"
#include "host/resources/resource_ids.h"
#include "host/startup/framework/framework.h"

namespace numerabo {

namespace {

// A black window with a 152 x 112 background picture and the image Img_Prev
// over it at (0, 0). Neither picture is scaled: a larger pane shows black
// around them, a smaller one cuts them.
class PreviewWindow : public Form {
 public:
  PreviewWindow() : Form(PreviewOptions()) {}

  void SizeImage(int width, int height) {
    imageWidth_ = width;
    imageHeight_ = height;
  }

 private:
  static FormOptions PreviewOptions() {
    FormOptions options;
    options.caption = "Preview Window";
    options.style = WS_POPUP;
    options.widthPx = 152;
    options.heightPx = 112;
    options.background = RGB(0, 0, 0);
    return options;
  }

  void OnLoad() override {
    background_ = LoadJpegPicture(IDR_JPEG_PREVIEW_BACK);
    image_ = LoadJpegPicture(IDR_JPEG_PREVIEW_IMAGE);
  }

  void OnPaint(HDC dc) override {
    DrawPicture(dc, background_, 0x7FFFFFFF, 0x7FFFFFFF);
    DrawPicture(dc, image_, imageWidth_, imageHeight_);
  }

  // Draws a picture at (0, 0) at its own size, cut to the given box.
  static void DrawPicture(HDC dc, HBITMAP picture, int boxWidth, int boxHeight) {
    int w = 0, h = 0;
    if (!picture || !PictureSize(picture, &w, &h)) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(dc, 0, 0, w < boxWidth ? w : boxWidth, h < boxHeight ? h : boxHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }

  void OnUnload() override { PostMessageW(Hwnd(), WM_CLOSE, 0, 0); }

  HBITMAP background_ = nullptr;
  HBITMAP image_ = nullptr;
  int imageWidth_ = 152;
  int imageHeight_ = 112;
};

}  // namespace

bool ShowPreviewIn(HWND parent) {
  RECT pane = {};
  GetWindowRect(parent, &pane);
  const int width = pane.right - pane.left;
  const int height = pane.bottom - pane.top;

  auto* preview = new PreviewWindow();  // lives until the process ends
  if (!preview->Load()) return false;
  HWND hwnd = preview->Hwnd();
  LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  SetWindowLongW(hwnd, GWL_STYLE, style | WS_CHILD);
  SetParent(hwnd, parent);
  MoveWindow(hwnd, 0, 0, width, height, FALSE);
  preview->SizeImage(width, height);
  preview->Show();
  return true;
}

}  // namespace numerabo
