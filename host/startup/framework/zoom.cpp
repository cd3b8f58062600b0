#include "host/startup/framework/zoom.h"

#include "host/startup/shared_state.h"

namespace numerabo {

namespace {

RECT OriginRect() {
  RECT r;
  r.left = r.right = ZoomOriginX;
  r.top = r.bottom = ZoomOriginY;
  return r;
}

}  // namespace

// A failed GetWindowRect leaves the animation out instead of animating from
// or to whatever the rectangle happened to hold.
void ZoomOpen(HWND window) {
  RECT to = {};
  if (!GetWindowRect(window, &to)) return;
  RECT from = OriginRect();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

void ZoomClose(HWND window) {
  RECT from = {};
  if (!GetWindowRect(window, &from)) return;
  RECT to = OriginRect();
  DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
}

}  // namespace numerabo
