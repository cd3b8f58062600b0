// The benchmarks' OpenGL context: the renderer's pixel format (double
// buffered RGBA at the screen's depth, 16-bit depth buffer) made current on a
// window's device context, so that what they measure starts from the same
// context the show draws with.
#pragma once

#include <windows.h>

inline void MakeGlContextCurrent(HDC dc) {
  PIXELFORMATDESCRIPTOR pfd = {};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = static_cast<BYTE>(GetDeviceCaps(dc, BITSPIXEL));
  pfd.cDepthBits = 16;
  SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
  wglMakeCurrent(dc, wglCreateContext(dc));
}
