// The screen as it is, in real pixels, for the desktop capture.
//
// A process that does not declare itself aware of the display's scale is
// given a smaller, scaled screen on a display set to 125 % or more: its
// screen size, its screen DC and what BitBlt copies from it cover only the
// top-left part of the real screen. The host's manifest declares the
// awareness; this covers the capture as well where that declaration is
// missing or not honoured.
#pragma once

#include <windows.h>

namespace numerabo {

// While it lives, the calling thread sees the screen in real pixels. Where
// the platform cannot switch a thread's awareness (before Windows 10 version
// 1607, and any platform without the call) it does nothing.
class RealPixelsScope {
 public:
  RealPixelsScope();
  ~RealPixelsScope();
  RealPixelsScope(const RealPixelsScope&) = delete;
  RealPixelsScope& operator=(const RealPixelsScope&) = delete;

 private:
  HANDLE previous_ = nullptr;
};

// The primary screen's size in real pixels.
SIZE ScreenSizeInRealPixels();

}  // namespace numerabo
