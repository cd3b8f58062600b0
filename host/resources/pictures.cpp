#include "host/resources/pictures.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstring>

#include "host/resources/resource_ids.h"

namespace numerabo {

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// A copy of the resource's bytes in movable global memory, which is what a
// stream over global memory needs.
HGLOBAL CopyResource(int id) {
  HRSRC found = FindResourceA(Module(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(Module(), found);
  DWORD size = SizeofResource(Module(), found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  void* target = GlobalLock(copy);
  if (!target) {
    GlobalFree(copy);
    return nullptr;
  }
  std::memcpy(target, bytes, size);
  GlobalUnlock(copy);
  return copy;
}

// Draws source into a fresh 32-bit top-down DIB section of width x height.
HBITMAP CopyToDibSection(HBITMAP source, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!copy) return nullptr;
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ oldFrom = SelectObject(from, source);
  HGDIOBJ oldTo = SelectObject(to, copy);
  BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteDC(from);
  DeleteDC(to);
  GdiFlush();
  return copy;
}

}  // namespace

HBITMAP LoadJpegPicture(int id) {
  HGLOBAL memory = CopyResource(id);
  if (!memory) return nullptr;
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return nullptr;
  }
  IPicture* picture = nullptr;
  HRESULT hr = OleLoadPicture(stream, 0, FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(hr) || !picture) return nullptr;

  HBITMAP result = nullptr;
  OLE_HANDLE handle = 0;
  short type = 0;
  if (SUCCEEDED(picture->get_Type(&type)) && type == PICTYPE_BITMAP &&
      SUCCEEDED(picture->get_Handle(&handle))) {
    // The picture object owns its bitmap; keep a copy of our own.
    HBITMAP owned = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    int w = 0, h = 0;
    if (PictureSize(owned, &w, &h)) result = CopyToDibSection(owned, w, h);
  }
  picture->Release();
  return result;
}

HBITMAP LoadButtonPicture(int id) {
  return static_cast<HBITMAP>(
      LoadImageA(Module(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

HICON LoadNumeraboIcon() {
  return static_cast<HICON>(LoadImageA(Module(), MAKEINTRESOURCEA(IDI_NUMERABO), IMAGE_ICON, 32, 32, 0));
}

HCURSOR LoadPointingHand() {
  return static_cast<HCURSOR>(
      LoadImageA(Module(), MAKEINTRESOURCEA(IDC_POINTING_HAND), IMAGE_CURSOR, 0, 0, 0));
}

bool PictureSize(HBITMAP picture, int* width, int* height) {
  BITMAP info = {};
  if (!picture || GetObjectA(picture, sizeof(info), &info) == 0) return false;
  *width = info.bmWidth;
  *height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  return true;
}

}  // namespace numerabo
