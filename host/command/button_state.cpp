#include "host/command/button_state.h"

namespace numerabo {

Outcome Initialize(ButtonState& s) {
  // Runs whether or not the control is enabled: the timer must tick from
  // here on, even if its ticks do nothing for a while.
  s.FaceState = kFaceNormal;
  Outcome o;
  o.startTimer = true;
  return o;
}

Outcome PointerMoved(ButtonState& s) {
  Outcome o;
  if (!s.Enabled) return o;
  if (s.FaceState == kFaceNormal) {
    s.FaceState = kFaceHovered;
    o.face = Face::HighLight;
  }
  // A focused control lights up again only once no press is pending, so a
  // press that left and came back cannot turn into a click.
  if (s.FaceState == kFaceFocused && !s.ButtonDown) {
    s.FaceState = kFaceFocusedHovered;
    o.face = Face::HighLightSelect;
  }
  return o;
}

Outcome LeaveHover(ButtonState& s) {
  Outcome o;
  if (!s.Enabled) return o;
  if (s.FaceState == kFaceHovered) {
    s.FaceState = kFaceNormal;
    o.face = Face::Normal;
  }
  if (s.FaceState == kFaceFocusedHovered) {
    s.FaceState = kFaceFocused;
    o.face = Face::Selected;
  }
  return o;
}

Outcome HoverTick(ButtonState& s, bool pointerOverControl) {
  if (pointerOverControl) return Outcome{};
  return LeaveHover(s);
}

Outcome FocusGained(ButtonState& s) {
  Outcome o;
  if (!s.Enabled) return o;
  if (s.FaceState != kFaceHovered) {
    s.FaceState = kFaceFocused;
    o.face = Face::Selected;
  } else {
    s.FaceState = kFaceFocusedHovered;
    o.face = Face::Pressed;
  }
  return o;
}

Outcome FocusLost(ButtonState& s) {
  Outcome o;
  if (!s.Enabled) return o;
  if (s.FaceState != kFaceNormal) {
    s.FaceState = kFaceNormal;
    o.face = Face::Normal;
  }
  return o;
}

Outcome ButtonPressed(ButtonState& s, int button) {
  Outcome o;
  if (!s.Enabled || button != kLeftButton) return o;
  s.ButtonDown = true;
  o.face = Face::Pressed;
  return o;
}

Outcome ButtonReleased(ButtonState& s, int button) {
  Outcome o;
  if (!s.Enabled) return o;
  if (button == kLeftButton) {
    s.ButtonDown = false;
    if (s.FaceState == kFaceHovered) o.face = Face::Normal;
    else if (s.FaceState == kFaceFocusedHovered) o.face = Face::HighLightSelect;
  }
  // State 3 means the pointer was seen away from the control: the user
  // dragged off to cancel.
  o.click = s.FaceState != kFaceFocused;
  return o;
}

bool GradientReversedFor(uint8_t faceState, bool previous) {
  switch (faceState) {
    case kFaceNormal:
    case kFaceFocused:
      return false;
    case kFaceHovered:
      return true;
    default:
      return previous;
  }
}

}  // namespace numerabo
