#include "host/command/command_model.h"

namespace numerabo {

FontDesc DesignFont() {
  FontDesc f;
  f.face = "ＭＳ Ｐゴシック";
  f.size = 9.75f;
  f.weight = 400;
  f.charset = 128;  // Shift-JIS
  return f;
}

CommandModel::CommandModel() : font_(DesignFont()), ambientFont_(DesignFont()) {}

void CommandModel::Notify(const char* key) {
  if (PropertyChanged) PropertyChanged(key);
}

// -- drawing ------------------------------------------------------------------

bool CommandModel::PaintFace(Face, const FaceGeometry&, bool) { return true; }

bool CommandModel::DrawFace(Face picture) {
  state_.GradientReversed = GradientReversedFor(state_.FaceState, state_.GradientReversed);
  UpdateFaceGeometry(geometry_, widthTw_, heightTw_);
  bool painted = PaintFace(picture, geometry_, state_.GradientReversed);
  // The caption is placed even when the face could not be painted.
  captionTopTw_ = CaptionTop(heightTw_, kCaptionLabelHeightTw);
  CaptionChanged();
  return painted;
}

void CommandModel::RefreshCaption() {
  if (!state_.Enabled) return;
  captionEnabled_ = true;
  // A control that was never stored nor read keeps resetting to black text
  // until its first-use defaults have been applied.
  if (state_.FirstRun == 0) colour_ = 0;
  if (!DrawFace(Face::Normal)) colour_ = 0;
  CaptionChanged();
}

void CommandModel::ShowEnabledState() {
  if (state_.Enabled) {
    DrawFace(Face::Normal);
    captionEnabled_ = true;
  } else {
    DrawFace(Face::Disable);
    captionEnabled_ = false;
  }
  CaptionChanged();
}

void CommandModel::Apply(const Outcome& outcome) {
  if (outcome.face != Face::None) DrawFace(outcome.face);
  if (outcome.startTimer) {
    timerRunning_ = true;
    StartHoverTimer();
  }
  if (outcome.click && Click) {
    // The handler may close the holding window and so destroy this control:
    // call a copy, and touch nothing of this object afterwards.
    std::function<void()> click = Click;
    click();
  }
}

// -- public operation and properties -------------------------------------------

void CommandModel::Initialize() { Apply(numerabo::Initialize(state_)); }

bool CommandModel::Enabled() {
  if (state_.FirstRun == 0) {
    RefreshCaption();
    state_.FirstRun = 1;
    state_.Enabled = kTrue;
  }
  bool result = state_.Enabled != kFalse;
  ShowEnabledState();
  return result;
}

void CommandModel::SetEnabled(bool value) {
  state_.Enabled = value ? kTrue : kFalse;
  Notify("Enabled");
  ShowEnabledState();
}

void CommandModel::SetCaption(const std::string& value) {
  caption_ = value;
  CaptionChanged();
  Notify("Caption");
}

void CommandModel::SetFont(const FontDesc& value) {
  font_ = value;
  CaptionChanged();
  Notify("Font");
}

int32_t CommandModel::FontColour() {
  int32_t result = colour_;
  RefreshCaption();
  return result;
}

void CommandModel::SetFontColour(int32_t value) {
  colour_ = value;
  CaptionChanged();
  RefreshCaption();
  Notify("FontColour");
}

bool CommandModel::Visible() {
  if (backgroundMode_ == kBackgroundTransparent) return false;
  RefreshCaption();
  return true;
}

void CommandModel::SetVisible(bool value) {
  backgroundMode_ = value ? kBackgroundOpaque : kBackgroundTransparent;
  BackgroundChanged();
  if (value) RefreshCaption();
  Notify("Visible");
}

// -- persistence -----------------------------------------------------------------

void CommandModel::ReadProperties(const PropertyBag& bag) {
  // Each entry is applied on its own: one that does not read as its type is
  // skipped and the member keeps its value.
  bool enabled;
  if (ParseBoolean(bag.Read("Enabled", FormatBoolean(true)), enabled)) state_.Enabled = enabled ? kTrue : kFalse;

  caption_ = bag.Read("Caption", "Command1");

  // Only the face name is taken over; the caption keeps its size, weight
  // and style.
  FontDesc stored = ambientFont_;
  if (ParseFont(bag.Read("Font", FormatFont(ambientFont_)), stored)) font_.face = stored.face;

  long long v;
  if (ParseInteger(bag.Read("FirstRun", "1"), 0, 255, v)) state_.FirstRun = static_cast<uint8_t>(v);
  if (ParseInteger(bag.Read("FontColour", "0"), INT32_MIN, INT32_MAX, v)) colour_ = static_cast<int32_t>(v);
  if (ParseInteger(bag.Read("Visible", "1"), INT16_MIN, INT16_MAX, v)) backgroundMode_ = static_cast<int16_t>(v);

  CaptionChanged();
  BackgroundChanged();
  RefreshCaption();
}

void CommandModel::WriteProperties(PropertyBag& bag) {
  bag.WriteBoolean("Enabled", state_.Enabled != kFalse, true);
  bag.WriteText("Caption", caption_, kDesignCaption);
  bag.WriteInteger("FirstRun", state_.FirstRun, "1", 0, 255);
  bag.WriteFont("Font", font_, ambientFont_);
  bag.WriteInteger("FontColour", colour_, "0", INT32_MIN, INT32_MAX);
  bag.WriteInteger("Visible", backgroundMode_, "1", INT16_MIN, INT16_MAX);
  RefreshCaption();
}

// -- events --------------------------------------------------------------------------

void CommandModel::PointerDown(int button, int) { Apply(ButtonPressed(state_, button)); }
void CommandModel::PointerMove(int, int) { Apply(PointerMoved(state_)); }
void CommandModel::PointerUp(int button, int) { Apply(ButtonReleased(state_, button)); }
void CommandModel::GotFocus() { Apply(FocusGained(state_)); }
void CommandModel::LostFocus() { Apply(numerabo::FocusLost(state_)); }
void CommandModel::TimerTick(bool pointerOverControl) { Apply(HoverTick(state_, pointerOverControl)); }

void CommandModel::Resized(float widthTw, float heightTw) {
  widthTw_ = widthTw;
  heightTw_ = heightTw;
  ShowEnabledState();
}

}  // namespace numerabo
