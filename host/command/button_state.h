// The image button's looks and the events that move it between them.
//
// The control window feeds every pointer, focus and timer event through
// these functions and then does what the returned Outcome says: draw a face,
// raise Click, start the hover timer. Nothing here touches Win32, so the whole
// behaviour is checked natively.
#pragma once

#include <cstdint>

namespace numerabo {

// The six state pictures; None means "draw nothing".
enum class Face : uint8_t { None, Normal, HighLight, Pressed, Selected, HighLightSelect, Disable };

// Values of FaceState.
enum : uint8_t {
  kFaceUninitialised = 0,  // the host has not called Initialize yet
  kFaceNormal = 1,         // not hovered, no focus
  kFaceHovered = 2,        // hovered, no focus
  kFaceFocused = 3,        // focus, not hovered
  kFaceFocusedHovered = 4, // focus and hovered
};

// Pointer buttons as the handlers receive them.
enum : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The two values of a 16-bit Boolean.
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// The control's own members, in the order it declares them. A new instance
// starts with everything zero: disabled, never stored, not initialised.
struct ButtonState {
  bool GradientReversed = false;  // face gradient runs lavender to white
  uint8_t FirstRun = 0;           // 1 once the first-use defaults were applied
  int16_t Enabled = 0;            // -1 true, 0 false
  uint8_t FaceState = kFaceUninitialised;
  bool ButtonDown = false;        // left press not yet released
};

// What the control has to do after an event, in this order.
struct Outcome {
  Face face = Face::None;   // face to draw
  bool click = false;       // raise Click (after drawing)
  bool startTimer = false;  // start the 100 ms hover timer
};

Outcome Initialize(ButtonState& s);
Outcome PointerMoved(ButtonState& s);
// One tick of the hover timer; pointerOverControl is whether the window
// under the pointer is the control's own.
Outcome HoverTick(ButtonState& s, bool pointerOverControl);
Outcome LeaveHover(ButtonState& s);
Outcome FocusGained(ButtonState& s);
Outcome FocusLost(ButtonState& s);
Outcome ButtonPressed(ButtonState& s, int button);
Outcome ButtonReleased(ButtonState& s, int button);

// The gradient orientation a face is drawn with in the given FaceState:
// normal in states 1 and 3, reversed in 2, and in 0 and 4 whatever the
// previous face had.
bool GradientReversedFor(uint8_t faceState, bool previous);

}  // namespace numerabo
