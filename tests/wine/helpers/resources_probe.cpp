// Loads every picture of the host through the host's own loading code and
// prints its size and a few pixels, for the resource tests.
#include <windows.h>

#include <cstdio>

#include "host/resources/pictures.h"
#include "host/resources/resource_ids.h"

namespace {

void Print(const char* name, HBITMAP picture) {
  int w = 0, h = 0;
  if (!picture || !numerabo::PictureSize(picture, &w, &h)) {
    std::printf("%s none\n", name);
    return;
  }
  std::printf("%s %d %d", name, w, h);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  const int points[][2] = {{w / 4, h / 4}, {w / 2, h / 2}, {3 * w / 4, h / 3}, {w / 3, 3 * h / 4}};
  for (const auto& p : points) {
    COLORREF c = GetPixel(dc, p[0], p[1]);
    std::printf(" %d,%d=%d,%d,%d", p[0], p[1], GetRValue(c), GetGValue(c), GetBValue(c));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  std::printf("\n");
}

}  // namespace

int main() {
  Print("back", numerabo::LoadJpegPicture(IDR_JPEG_BACK));
  Print("preview_back", numerabo::LoadJpegPicture(IDR_JPEG_PREVIEW_BACK));
  Print("preview_image", numerabo::LoadJpegPicture(IDR_JPEG_PREVIEW_IMAGE));
  Print("marker_off", numerabo::LoadJpegPicture(IDR_JPEG_MARKER_OFF));
  Print("marker_on", numerabo::LoadJpegPicture(IDR_JPEG_MARKER_ON));
  Print("button_normal", numerabo::LoadButtonPicture(IDB_BUTTON_NORMAL));
  Print("button_highlight", numerabo::LoadButtonPicture(IDB_BUTTON_HIGHLIGHT));
  Print("button_pressed", numerabo::LoadButtonPicture(IDB_BUTTON_PRESSED));
  Print("button_selected", numerabo::LoadButtonPicture(IDB_BUTTON_SELECTED));
  Print("button_highlight_select", numerabo::LoadButtonPicture(IDB_BUTTON_HIGHLIGHT_SELECT));
  Print("button_disable", numerabo::LoadButtonPicture(IDB_BUTTON_DISABLE));

  HICON icon = numerabo::LoadNumeraboIcon();
  ICONINFO info = {};
  BITMAP colour = {};
  if (icon && GetIconInfo(icon, &info) && info.hbmColor && GetObjectA(info.hbmColor, sizeof(colour), &colour)) {
    std::printf("icon %ld %ld\n", colour.bmWidth, colour.bmHeight);
  } else {
    std::printf("icon none\n");
  }
  HCURSOR cursor = numerabo::LoadPointingHand();
  ICONINFO hand = {};
  if (cursor && GetIconInfo(cursor, &hand)) {
    std::printf("cursor %lu %lu\n", hand.xHotspot, hand.yHotspot);
  } else {
    std::printf("cursor none\n");
  }
  return 0;
}
