// The host's own push button: a child window with a persistent face image
// (state picture frame over a vertical gradient), a centred caption drawn
// over it, hover tracking by a 100 ms pointer poll, and Click.
//
// Typical use by a window that holds buttons:
//   Command* ok = Command::Create(hwnd, 4680, 3360, 1155, 375,
//                                 "Caption=設定\nFont=ＭＳ Ｐゴシック,9.75,400,128\n", font);
//   ok->Click = [] { ... };
//   ok->Initialize();
// The control belongs to its window and is deleted when the window is
// destroyed; the pointer stays valid until then.
#pragma once

#include <windows.h>

#include <string>

#include "host/command/command_model.h"
#include "host/startup/framework/framework.h"

namespace numerabo {

class Command : public CommandModel {
 public:
  // Creates the control on parent at the given place (twips) and restores
  // it from its stored properties ("Key=Value" lines, see property_bag.h).
  // ambientFont is the holding window's font (may be null). id becomes the
  // child window's control id. Null when the window cannot be created.
  static Command* Create(HWND parent, int leftTw, int topTw, int widthTw, int heightTw,
                         const std::string& storedProperties, HFONT ambientFont, int id = 0);

  HWND Window() const { return hwnd_; }
  void Move(int leftTw, int topTw, int widthTw, int heightTw);
  // The control's properties as a stored design text.
  std::string StoredProperties();

  ~Command() override;

 protected:
  bool PaintFace(Face picture, const FaceGeometry& geometry, bool gradientReversed) override;
  void StartHoverTimer() override;
  void CaptionChanged() override;
  void BackgroundChanged() override;

 private:
  Command() = default;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnPaint();
  void OnSize(int widthPx, int heightPx);
  void OnButtonDown(int button, WPARAM keys);
  void OnButtonUp(int button, WPARAM keys);
  void OnHoverTimer();
  void FillGradient(bool reversed);
  void DrawCaption(HDC dc);
  void Refresh();

  HWND hwnd_ = nullptr;
  OffscreenImage surface_;   // the face as last drawn
  OffscreenImage composed_;  // face plus caption, put on screen in one go
  HFONT captionFont_ = nullptr;
  FontDesc captionFontDesc_;
  bool timerStarted_ = false;
  std::string windowText_;
};

// Converts between a GDI font and the stored font description.
FontDesc FontDescFromHandle(HFONT font);
HFONT CreateFontFromDesc(const FontDesc& font);

// The state picture of a face, loaded once per process; null when missing.
HBITMAP FacePicture(Face face);

}  // namespace numerabo
