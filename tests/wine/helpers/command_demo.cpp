// A window holding image buttons, for driving them with the real pointer.
//
//   command_demo.exe            shows the buttons and a label at a fixed
//                               place on the screen, prints "Ready" and then
//                               "Click <n>" whenever button n raises Click,
//                               "Click label" whenever the label does
//   command_demo.exe --dump D   writes the six state pictures as D\<n>.bmp
//                               (n = 1 Normal ... 6 Disable) and ends
//
// Layout (screen pixels; the window is a pop-up at 100, 100, 400 x 200):
//   1 "設定"          at  20, 20, 77 x 25
//   2 "ｷｬﾝｾﾙ" disabled at  20, 70, 77 x 25
//   3 "..."           at  20,120, 41 x 21
//   4 "大きいボタン"  at 150, 20, 200 x 80
//   a label "リンク" filling a picture panel at 250, 120, 120 x 40
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/command/command.h"
#include "host/startup/framework/framework.h"
#include "host/startup/framework/framework_controls.h"
#include "host/startup/text/wide_text.h"

using namespace numerabo;

namespace {

const char kTitle[] = "command_demo";

int DumpPictures(const std::string& folder) {
  int written = 0;
  for (int i = 1; i <= 6; ++i) {
    HBITMAP picture = FacePicture(static_cast<Face>(i));
    if (!picture) continue;
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    OffscreenImage image;
    image.Resize(info.bmWidth, info.bmHeight);
    HDC source = CreateCompatibleDC(image.Dc());
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(image.Dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    if (image.SaveBitmap(numerabo::Wide(folder + "\\" + std::to_string(i) + ".bmp"))) ++written;
  }
  std::printf("Dumped %d\n", written);
  std::fflush(stdout);
  return written == 6 ? 0 : 1;
}

LRESULT CALLBACK DemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
    DestroyWindow(hwnd);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--dump") return DumpPictures(argv[2]);

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = CreateSolidBrush(RGB(40, 90, 40));
  wc.lpszClassName = "CommandDemo";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_POPUP, 100, 100, 400, 200, nullptr, nullptr,
                                wc.hInstance, nullptr);
  HFONT ambient = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "ＭＳ Ｐゴシック");

  struct Placement { int x, y, w, h; const char* caption; };
  const Placement placements[] = {
      {20, 20, 1155, 375, "設定"},
      {20, 70, 1155, 375, "ｷｬﾝｾﾙ"},
      {20, 120, 615, 315, "..."},
      {150, 20, 3000, 1200, "大きいボタン"},
  };
  Command* buttons[4] = {};
  for (int i = 0; i < 4; ++i) {
    const Placement& s = placements[i];
    std::string stored = std::string("Caption=") + s.caption + "\nFont=ＭＳ Ｐゴシック,9.75,400,128\n";
    buttons[i] = Command::Create(window, s.x * 15, s.y * 15, s.w, s.h, stored, ambient, 100 + i);
    if (!buttons[i]) {
      std::printf("Create failed %d\n", i + 1);
      std::fflush(stdout);
      return 1;
    }
    const int n = i + 1;
    buttons[i]->Click = [n] {
      std::printf("Click %d\n", n);
      std::fflush(stdout);
    };
  }
  buttons[1]->SetEnabled(false);
  for (Command* b : buttons) b->Initialize();

  // A label as the settings dialog's link is one: windowless, on a panel.
  PicturePanel panel;
  panel.Create(window, 250 * 15, 120 * 15, 120 * 15, 40 * 15, RGB(224, 224, 224));
  Label* label = panel.Controls().AddLabel();
  label->Move(0, 0, 120 * 15, 40 * 15);
  label->SetCaption("リンク");
  label->Click = [] {
    std::printf("Click label\n");
    std::fflush(stdout);
  };

  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  std::printf("Ready\n");
  std::fflush(stdout);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
