// Everything of the image button that is not Win32: its members, the
// properties with their first-use rule, the stored properties, and the
// routing of pointer, focus, size and timer events through the state
// machine. The window (command.h) derives from it and supplies the drawing
// and the timer through the protected hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/command/button_state.h"
#include "host/command/face_geometry.h"
#include "host/command/property_bag.h"

namespace numerabo {

// Design values of a new instance.
constexpr const char* kDesignCaption = "Command";
constexpr float kDesignWidthTw = 1755;
constexpr float kDesignHeightTw = 420;
constexpr float kCaptionLabelHeightTw = 195;
FontDesc DesignFont();  // "ＭＳ Ｐゴシック" 9.75 pt, regular, Shift-JIS

// Background modes of the surface.
constexpr int16_t kBackgroundTransparent = 0;
constexpr int16_t kBackgroundOpaque = 1;

class CommandModel {
 public:
  CommandModel();
  virtual ~CommandModel() = default;
  CommandModel(const CommandModel&) = delete;
  CommandModel& operator=(const CommandModel&) = delete;

  // -- what the host uses -----------------------------------------------------
  void Initialize();
  bool Enabled();  // the first read of a new instance switches it on
  void SetEnabled(bool value);
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  FontDesc Font() const { return font_; }
  void SetFont(const FontDesc& value);
  int32_t FontColour();
  void SetFontColour(int32_t value);
  bool Visible();
  void SetVisible(bool value);

  std::function<void()> Click;
  // Told the key of every property set; nothing needs it at run time.
  std::function<void(const std::string& key)> PropertyChanged;

  // -- persistence ------------------------------------------------------------
  // The holding window's font, the default of the "Font" entry.
  void SetAmbientFont(const FontDesc& font) { ambientFont_ = font; }
  const FontDesc& AmbientFont() const { return ambientFont_; }
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag);

  // -- events from the window -------------------------------------------------
  // Buttons are kLeftButton, kRightButton, kMiddleButton; shift is not used.
  void PointerDown(int button, int shift);
  void PointerMove(int button, int shift);
  void PointerUp(int button, int shift);
  void GotFocus();
  void LostFocus();
  void Resized(float widthTw, float heightTw);
  void TimerTick(bool pointerOverControl);

  // -- what the window paints and tests look at -------------------------------
  const ButtonState& State() const { return state_; }
  const FaceGeometry& Geometry() const { return geometry_; }
  float WidthTw() const { return widthTw_; }
  float HeightTw() const { return heightTw_; }
  bool CaptionEnabled() const { return captionEnabled_; }
  int32_t CaptionColour() const { return colour_; }  // without the repaint a FontColour read does
  float CaptionTopTw() const { return captionTopTw_; }
  float CaptionHeightTw() const { return kCaptionLabelHeightTw; }
  int16_t BackgroundMode() const { return backgroundMode_; }
  bool TimerRunning() const { return timerRunning_; }

 protected:
  // Clears the surface, fills the gradient, copies the frame pieces of the
  // picture and shows the result. False when it could not draw.
  virtual bool PaintFace(Face picture, const FaceGeometry& geometry, bool gradientReversed);
  virtual void StartHoverTimer() {}
  // The caption's text, font, colour, enabled look or place changed.
  virtual void CaptionChanged() {}
  // The background mode changed.
  virtual void BackgroundChanged() {}

 private:
  void Apply(const Outcome& outcome);
  bool DrawFace(Face picture);
  void RefreshCaption();
  void ShowEnabledState();
  void Notify(const char* key);

  ButtonState state_;
  FaceGeometry geometry_;
  float widthTw_ = kDesignWidthTw;
  float heightTw_ = kDesignHeightTw;
  std::string caption_ = kDesignCaption;
  FontDesc font_;
  FontDesc ambientFont_;
  int32_t colour_ = 0;
  bool captionEnabled_ = true;
  float captionTopTw_ = 0;
  int16_t backgroundMode_ = kBackgroundOpaque;
  bool timerRunning_ = false;
};

}  // namespace numerabo
