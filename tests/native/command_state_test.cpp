// The image button's looks: every row of the transition table and the
// pointer/focus sequences users actually produce.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/command/button_state.h"
#include "host/command/command_model.h"

namespace numerabo {
namespace {

ButtonState At(uint8_t faceState, bool buttonDown = false) {
  ButtonState s;
  s.Enabled = kTrue;
  s.FirstRun = 1;
  s.FaceState = faceState;
  s.ButtonDown = buttonDown;
  return s;
}

// -- the table, row by row ------------------------------------------------------

TEST(CommandTransitions, InitializeSetsNormalAndStartsTimerEvenWhenDisabled) {
  ButtonState s;  // new instance: disabled
  Outcome o = Initialize(s);
  EXPECT_EQ(s.FaceState, kFaceNormal);
  EXPECT_TRUE(o.startTimer);
  EXPECT_EQ(o.face, Face::None);
  EXPECT_FALSE(o.click);
}

TEST(CommandTransitions, PointerMove) {
  ButtonState s = At(kFaceNormal);
  EXPECT_EQ(PointerMoved(s).face, Face::HighLight);
  EXPECT_EQ(s.FaceState, kFaceHovered);  // and not on to 4

  s = At(kFaceFocused);
  EXPECT_EQ(PointerMoved(s).face, Face::HighLightSelect);
  EXPECT_EQ(s.FaceState, kFaceFocusedHovered);

  s = At(kFaceFocused, true);
  EXPECT_EQ(PointerMoved(s).face, Face::None);
  EXPECT_EQ(s.FaceState, kFaceFocused);

  for (uint8_t st : {kFaceUninitialised, kFaceHovered, kFaceFocusedHovered}) {
    s = At(st);
    EXPECT_EQ(PointerMoved(s).face, Face::None) << int(st);
    EXPECT_EQ(s.FaceState, st);
  }
}

TEST(CommandTransitions, TimerTickAway) {
  ButtonState s = At(kFaceHovered);
  EXPECT_EQ(HoverTick(s, false).face, Face::Normal);
  EXPECT_EQ(s.FaceState, kFaceNormal);

  s = At(kFaceFocusedHovered);
  EXPECT_EQ(HoverTick(s, false).face, Face::Selected);
  EXPECT_EQ(s.FaceState, kFaceFocused);

  for (uint8_t st : {kFaceUninitialised, kFaceNormal, kFaceFocused}) {
    s = At(st);
    EXPECT_EQ(HoverTick(s, false).face, Face::None);
    EXPECT_EQ(s.FaceState, st);
  }
}

TEST(CommandTransitions, TimerTickOverControlChangesNothing) {
  for (uint8_t st : {kFaceHovered, kFaceFocusedHovered}) {
    ButtonState s = At(st);
    EXPECT_EQ(HoverTick(s, true).face, Face::None);
    EXPECT_EQ(s.FaceState, st);
  }
}

TEST(CommandTransitions, FocusGained) {
  for (uint8_t st : {kFaceUninitialised, kFaceNormal, kFaceFocused, kFaceFocusedHovered}) {
    ButtonState s = At(st);
    EXPECT_EQ(FocusGained(s).face, Face::Selected) << int(st);
    EXPECT_EQ(s.FaceState, kFaceFocused);
  }
  ButtonState s = At(kFaceHovered);
  EXPECT_EQ(FocusGained(s).face, Face::Pressed);
  EXPECT_EQ(s.FaceState, kFaceFocusedHovered);
}

TEST(CommandTransitions, FocusLost) {
  for (uint8_t st : {kFaceUninitialised, kFaceHovered, kFaceFocused, kFaceFocusedHovered}) {
    ButtonState s = At(st);
    EXPECT_EQ(FocusLost(s).face, Face::Normal) << int(st);
    EXPECT_EQ(s.FaceState, kFaceNormal);
  }
  ButtonState s = At(kFaceNormal);
  EXPECT_EQ(FocusLost(s).face, Face::None);
}

TEST(CommandTransitions, LeftButtonDownInAnyState) {
  for (uint8_t st = 0; st <= 4; ++st) {
    ButtonState s = At(st);
    Outcome o = ButtonPressed(s, kLeftButton);
    EXPECT_EQ(o.face, Face::Pressed);
    EXPECT_TRUE(s.ButtonDown);
    EXPECT_EQ(s.FaceState, st);
    EXPECT_FALSE(o.click);
  }
}

TEST(CommandTransitions, OtherButtonsDownDoNothing) {
  for (int b : {kRightButton, kMiddleButton}) {
    ButtonState s = At(kFaceHovered);
    EXPECT_EQ(ButtonPressed(s, b).face, Face::None);
    EXPECT_FALSE(s.ButtonDown);
  }
}

TEST(CommandTransitions, LeftButtonUp) {
  struct Row { uint8_t state; Face face; bool click; };
  const Row rows[] = {
      {kFaceUninitialised, Face::None, true},
      {kFaceNormal, Face::None, true},
      {kFaceHovered, Face::Normal, true},
      {kFaceFocused, Face::None, false},
      {kFaceFocusedHovered, Face::HighLightSelect, true},
  };
  for (const Row& r : rows) {
    ButtonState s = At(r.state, true);
    Outcome o = ButtonReleased(s, kLeftButton);
    EXPECT_EQ(o.face, r.face) << int(r.state);
    EXPECT_EQ(o.click, r.click) << int(r.state);
    EXPECT_FALSE(s.ButtonDown);
    EXPECT_EQ(s.FaceState, r.state);
  }
}

TEST(CommandTransitions, RightAndMiddleUpClickWithoutTouchingButtonDown) {
  for (int b : {kRightButton, kMiddleButton}) {
    for (uint8_t st = 0; st <= 4; ++st) {
      ButtonState s = At(st, true);
      Outcome o = ButtonReleased(s, b);
      EXPECT_EQ(o.face, Face::None);
      EXPECT_EQ(o.click, st != kFaceFocused) << b << " " << int(st);
      EXPECT_TRUE(s.ButtonDown);
    }
  }
}

TEST(CommandTransitions, DisabledIgnoresEverythingButInitialize) {
  for (uint8_t st = 0; st <= 4; ++st) {
    ButtonState s = At(st, true);
    s.Enabled = kFalse;
    const ButtonState before = s;
    Outcome outs[] = {PointerMoved(s), HoverTick(s, false), FocusGained(s), FocusLost(s),
                      ButtonPressed(s, kLeftButton), ButtonReleased(s, kLeftButton),
                      ButtonReleased(s, kRightButton), ButtonReleased(s, kMiddleButton)};
    for (const Outcome& o : outs) {
      EXPECT_EQ(o.face, Face::None);
      EXPECT_FALSE(o.click);
    }
    EXPECT_EQ(s.FaceState, before.FaceState);
    EXPECT_EQ(s.ButtonDown, before.ButtonDown);
  }
}

TEST(CommandTransitions, GradientOrientationPerState) {
  EXPECT_FALSE(GradientReversedFor(kFaceNormal, true));
  EXPECT_FALSE(GradientReversedFor(kFaceFocused, true));
  EXPECT_TRUE(GradientReversedFor(kFaceHovered, false));
  EXPECT_TRUE(GradientReversedFor(kFaceUninitialised, true));
  EXPECT_FALSE(GradientReversedFor(kFaceUninitialised, false));
  EXPECT_TRUE(GradientReversedFor(kFaceFocusedHovered, true));
  EXPECT_FALSE(GradientReversedFor(kFaceFocusedHovered, false));
}

// -- sequences through the control --------------------------------------------------

// A control whose drawing is recorded.
class Recorder : public CommandModel {
 public:
  struct Draw { Face face; bool reversed; };
  std::vector<Draw> draws;
  int clicks = 0;
  int timerStarts = 0;
  Recorder() { Click = [this] { ++clicks; }; }
  Face LastFace() const { return draws.empty() ? Face::None : draws.back().face; }
  bool LastReversed() const { return draws.back().reversed; }

 protected:
  bool PaintFace(Face f, const FaceGeometry&, bool reversed) override {
    draws.push_back({f, reversed});
    return true;
  }
  void StartHoverTimer() override { ++timerStarts; }
};

// As the host builds its buttons: restored, sized, initialised.
std::unique_ptr<Recorder> HostButton() {
  auto r = std::make_unique<Recorder>();
  r->ReadProperties(PropertyBag("Caption=設定\n"));
  r->Resized(1155, 375);
  r->Initialize();
  r->draws.clear();
  return r;
}

TEST(CommandSequences, TypicalClick) {
  auto b = HostButton();
  EXPECT_EQ(b->timerStarts, 1);
  b->PointerMove(0, 0);
  EXPECT_EQ(b->LastFace(), Face::HighLight);
  EXPECT_TRUE(b->LastReversed());
  b->GotFocus();  // the press gives focus ...
  EXPECT_EQ(b->LastFace(), Face::Pressed);
  b->PointerDown(kLeftButton, 0);  // ... and records itself
  EXPECT_EQ(b->LastFace(), Face::Pressed);
  EXPECT_EQ(b->clicks, 0);
  b->PointerUp(kLeftButton, 0);
  EXPECT_EQ(b->LastFace(), Face::HighLightSelect);
  EXPECT_EQ(b->clicks, 1);
  b->TimerTick(false);
  EXPECT_EQ(b->LastFace(), Face::Selected);
  EXPECT_EQ(b->State().FaceState, kFaceFocused);
}

TEST(CommandSequences, PressBeforeFocusEndsTheSame) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->PointerDown(kLeftButton, 0);
  b->GotFocus();
  EXPECT_EQ(b->LastFace(), Face::Pressed);
  b->PointerUp(kLeftButton, 0);
  EXPECT_EQ(b->LastFace(), Face::HighLightSelect);
  EXPECT_EQ(b->clicks, 1);
}

TEST(CommandSequences, ReleaseAfterTimerSawThePointerLeaveDoesNotClick) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->GotFocus();
  b->PointerDown(kLeftButton, 0);
  b->TimerTick(false);
  EXPECT_EQ(b->State().FaceState, kFaceFocused);
  b->PointerUp(kLeftButton, 0);
  EXPECT_EQ(b->clicks, 0);
  EXPECT_FALSE(b->State().ButtonDown);
}

TEST(CommandSequences, ReleaseWithinTheTickAfterLeavingStillClicks) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->GotFocus();
  b->PointerDown(kLeftButton, 0);
  b->TimerTick(true);              // last tick while still over it
  b->PointerUp(kLeftButton, 0);    // left already, but no tick yet
  EXPECT_EQ(b->clicks, 1);
}

TEST(CommandSequences, LeaveAndReturnDuringPressDoesNotClick) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->GotFocus();
  b->PointerDown(kLeftButton, 0);
  b->TimerTick(false);
  b->PointerMove(kLeftButton, 0);  // back over the control
  EXPECT_EQ(b->State().FaceState, kFaceFocused);
  b->PointerUp(kLeftButton, 0);
  EXPECT_EQ(b->clicks, 0);
  b->PointerMove(0, 0);  // the next move after the release lights it up
  EXPECT_EQ(b->State().FaceState, kFaceFocusedHovered);
  EXPECT_EQ(b->LastFace(), Face::HighLightSelect);
}

TEST(CommandSequences, RightAndMiddleReleaseClickHoveredOrUnfocused) {
  for (int button : {kRightButton, kMiddleButton}) {
    auto b = HostButton();
    b->PointerUp(button, 0);  // state 1, unfocused
    b->PointerMove(0, 0);
    b->PointerDown(button, 0);
    b->PointerUp(button, 0);  // state 2, hovered
    EXPECT_EQ(b->clicks, 2);
    EXPECT_FALSE(b->State().ButtonDown);
  }
}

TEST(CommandSequences, KeyboardFocusWhileHoveredShowsPressed) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->GotFocus();
  EXPECT_EQ(b->LastFace(), Face::Pressed);
  EXPECT_EQ(b->clicks, 0);  // focus alone never clicks
}

TEST(CommandSequences, HighLightSelectGradientDependsOnTheWayThere) {
  auto viaHover = HostButton();
  viaHover->PointerMove(0, 0);
  viaHover->GotFocus();
  viaHover->PointerDown(kLeftButton, 0);
  viaHover->PointerUp(kLeftButton, 0);
  ASSERT_EQ(viaHover->LastFace(), Face::HighLightSelect);
  EXPECT_TRUE(viaHover->LastReversed());

  auto viaFocus = HostButton();
  viaFocus->GotFocus();
  EXPECT_FALSE(viaFocus->LastReversed());
  viaFocus->PointerMove(0, 0);
  ASSERT_EQ(viaFocus->LastFace(), Face::HighLightSelect);
  EXPECT_FALSE(viaFocus->LastReversed());
}

TEST(CommandSequences, NeverInitialised) {
  auto b = std::make_unique<Recorder>();
  b->ReadProperties(PropertyBag(""));
  b->Resized(1155, 375);
  b->draws.clear();
  b->PointerMove(0, 0);
  EXPECT_EQ(b->State().FaceState, kFaceUninitialised);
  EXPECT_TRUE(b->draws.empty());
  b->GotFocus();
  EXPECT_EQ(b->State().FaceState, kFaceFocused);
  b->LostFocus();
  EXPECT_EQ(b->State().FaceState, kFaceNormal);
  b->PointerMove(0, 0);
  EXPECT_EQ(b->State().FaceState, kFaceHovered);
  EXPECT_EQ(b->timerStarts, 0);
  EXPECT_FALSE(b->TimerRunning());
  b->PointerUp(kRightButton, 0);
  EXPECT_EQ(b->clicks, 1);
}

TEST(CommandSequences, UninitialisedReleaseClicks) {
  auto b = std::make_unique<Recorder>();
  b->ReadProperties(PropertyBag(""));
  b->PointerUp(kLeftButton, 0);
  EXPECT_EQ(b->clicks, 1);
}

TEST(CommandSequences, DisabledControlKeepsItsFaceAndNeverClicks) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->PointerDown(kLeftButton, 0);
  b->SetEnabled(false);
  EXPECT_EQ(b->LastFace(), Face::Disable);
  EXPECT_FALSE(b->CaptionEnabled());
  EXPECT_EQ(b->State().FaceState, kFaceHovered);  // kept
  EXPECT_TRUE(b->State().ButtonDown);
  b->draws.clear();
  b->PointerMove(0, 0);
  b->GotFocus();
  b->TimerTick(false);
  b->LostFocus();
  b->PointerUp(kLeftButton, 0);
  b->PointerUp(kRightButton, 0);
  EXPECT_TRUE(b->draws.empty());
  EXPECT_EQ(b->clicks, 0);
  EXPECT_EQ(b->State().FaceState, kFaceHovered);
  b->SetEnabled(true);
  EXPECT_EQ(b->LastFace(), Face::Normal);
  EXPECT_TRUE(b->CaptionEnabled());
}

TEST(CommandSequences, ResizeRepaintsEnabledOrDisabledFaceKeepingState) {
  auto b = HostButton();
  b->PointerMove(0, 0);
  b->Resized(615, 315);
  EXPECT_EQ(b->LastFace(), Face::Normal);
  EXPECT_EQ(b->State().FaceState, kFaceHovered);
  b->SetEnabled(false);
  b->Resized(1155, 375);
  EXPECT_EQ(b->LastFace(), Face::Disable);
}

TEST(CommandSequences, ClickHandlerMayDestroyTheControl) {
  auto* b = HostButton().release();
  b->Click = [b] { delete b; };
  b->PointerMove(0, 0);
  b->PointerUp(kLeftButton, 0);  // must not touch the deleted control (ASan)
}

}  // namespace
}  // namespace numerabo
