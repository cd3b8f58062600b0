#include "host/settings/settings_dialog.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "host/command/command.h"
#include "host/resources/pictures.h"
#include "host/resources/resource_ids.h"
#include "host/resources/texts.h"
#include "host/settings/dialog_layout.h"
#include "host/settings/dialog_logic.h"
#include "host/startup/files/path_lookup.h"
#include "host/startup/files/path_text.h"
#include "host/startup/files/settings_file.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/framework/framework.h"
#include "host/startup/framework/framework_controls.h"
#include "host/startup/framework/zoom.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

using layout::TwipsRect;

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);

FontOptions TextFont(bool underline = false) {
  FontOptions font;
  font.face = layout::kFontFace;
  font.points = layout::kFontPoints;
  font.weight = layout::kFontWeight;
  font.charset = layout::kFontCharset;
  font.underline = underline;
  return font;
}

// The stored design of a button: only its caption and font differ from the
// control's defaults.
std::string ButtonDesign(const char* caption) {
  return std::string("Caption=") + caption + "\nFont=" + layout::kFontFace + ",9.75,400,128\n";
}

// The character the user's locale writes between whole and fraction.
char DecimalSeparator() {
  wchar_t text[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) == 2 && text[0] < 0x80) {
    return static_cast<char>(text[0]);
  }
  return '.';
}

// A stored path as it is shown: as it stands, unless it is the short name of
// a path that could not be stored as itself; then the long form.
std::wstring ShownPath(const std::string& stored) {
  const std::wstring path = Wide(stored);
  const std::wstring longPath = LongPathOf(path);
  std::string unused;
  if (longPath.empty() || StoredAsItself(longPath, &unused)) return path;
  return longPath;
}

// Fills an image top to bottom with the colours of its rows.
void PaintRows(OffscreenImage& image, const std::vector<Rgb>& rows) {
  HDC dc = image.Dc();
  if (!dc) return;
  for (size_t y = 0; y < rows.size(); ++y) {
    const Rgb& c = rows[y];
    // Whole twips that land on row y again at any scale.
    const int yTw = ScreenScaleY().WholeTwips(static_cast<int>(y));
    DrawLineTwips(dc, 0, yTw, ScreenScaleX().WholeTwips(image.Width()), yTw, RGB(c.red, c.green, c.blue));
  }
}

class SettingsDialog : public Form {
 public:
  SettingsDialog() : Form(DialogOptions()) {}
  ~SettingsDialog() override {
    if (ambientFont_) DeleteObject(ambientFont_);
  }

 private:
  static FormOptions DialogOptions() {
    FormOptions options;
    options.caption = layout::kCaption;
    // A fixed frame: thin border, icon, caption and close box only.
    options.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    options.widthPx = TwipsToPixelsX(layout::kClientWidthTw);
    options.heightPx = TwipsToPixelsY(layout::kClientHeightTw);
    options.background = RGB(192, 192, 192);
    options.icon = LoadNumeraboIcon();
    options.persistentImage = true;
    return options;
  }

  // -- building ----------------------------------------------------------------------

  Label* AddLabel(ControlHost& host, const TwipsRect& r, const std::string& caption, COLORREF colour,
                  bool autoSize, bool underline = false) {
    Label* label = host.AddLabel();
    label->Move(r.left, r.top, r.width, r.height);
    label->SetTransparent(true);
    label->SetForeColor(colour);
    label->SetFont(TextFont(underline));
    label->SetAutoSize(autoSize);
    label->SetCaption(caption);
    return label;
  }

  ImageControl* AddImage(ControlHost& host, const TwipsRect& r) {
    ImageControl* image = host.AddImage();
    image->Move(r.left, r.top, r.width, r.height);
    return image;
  }

  Command* AddButton(HWND parent, const TwipsRect& r, const char* caption) {
    Command* button = Command::Create(parent, r.left, r.top, r.width, r.height, ButtonDesign(caption), ambientFont_);
    if (button) buttons_.push_back(button);
    return button;
  }

  void BuildControls() {
    ambientFont_ = CreateFontFrom(TextFont());
    controls_.Attach(Hwnd());
    panel_.Create(Hwnd(), layout::kPanel.left, layout::kPanel.top, layout::kPanel.width, layout::kPanel.height,
                  RGB(224, 224, 224));

    // On the window.
    AddLabel(controls_, layout::kCredit, NUMERABO_CREDIT_LINE, kWhite, true);
    link_ = AddLabel(controls_, layout::kLink, NUMERABO_HOME_PAGE, kWhite, true, true);
    link_->SetPointer(LoadPointingHand());
    link_->Click = [this] { LinkClick(); };
    setButton_ = AddButton(Hwnd(), layout::kSetButton, layout::kSetCaption);
    cancelButton_ = AddButton(Hwnd(), layout::kCancelButton, layout::kCancelCaption);
    if (setButton_) setButton_->Click = [this] { SetClick(); };
    if (cancelButton_) cancelButton_->Click = [this] { Close(); };
    markerStore_[0] = AddImage(controls_, layout::kMarkerOff);
    markerStore_[0]->SetPicture(LoadJpegPicture(IDR_JPEG_MARKER_OFF));
    markerStore_[1] = AddImage(controls_, layout::kMarkerOn);
    markerStore_[1]->SetPicture(LoadJpegPicture(IDR_JPEG_MARKER_ON));

    // On the panel.
    ControlHost& panel = panel_.Controls();
    Shape* frame = panel.AddShape();
    frame->Move(layout::kHeadingFrame.left, layout::kHeadingFrame.top, layout::kHeadingFrame.width,
                layout::kHeadingFrame.height);
    Label* heading = AddLabel(panel, layout::kHeading, layout::kHeadingCaption, kBlack, false);
    heading->SetAlignment(Label::Alignment::Center);
    for (int kind = 0; kind < kKindCount; ++kind) {
      kindMarker_[kind] = AddImage(panel, layout::kKindMarker[kind]);
      kindLabel_[kind] = AddLabel(panel, layout::kKindLabel[kind], layout::kKindCaption[kind], kBlack, true);
      // Any button selects, on the press.
      auto choose = [this, kind](int, int, float, float) { ChooseKind(static_cast<int16_t>(kind)); };
      kindMarker_[kind]->MouseDown = choose;
      kindLabel_[kind]->MouseDown = choose;
    }
    repeat_.Create(panel_.Hwnd(), layout::kRepeatBox.left, layout::kRepeatBox.top, layout::kRepeatBox.width,
                   layout::kRepeatBox.height);
    repeat_.SetFont(TextFont());
    AddLabel(panel, layout::kRepeatLabel, layout::kRepeatCaption, kBlack, true);
    fileButton_ = AddButton(panel_.Hwnd(), layout::kFileButton, layout::kFileCaption);
    if (fileButton_) fileButton_->Click = [this] { FileClick(); };
    fileName_ = AddLabel(panel, layout::kFileName, "", kBlack, false);
    fileName_->SetBorder(true);
  }

  // -- loading -------------------------------------------------------------------------

  void OnLoad() override {
    BuildControls();

    DialogPlacement place = PlaceDialog(ScreenWidthTwips(), ScreenHeightTwips(), WidthTwips(), HeightTwips());
    MoveTwips(place.left, place.top);

    for (Command* button : buttons_) button->Initialize();

    ShowChosenKind();

    repeat_.SetText(RepeatText(BgmRepeat));
    for (const std::string& entry : RepeatListEntries()) repeat_.AddItem(entry);

    fileName_->SetCaptionText(ShownPath(BgmFile));

    POINT pointer;
    if (GetCursorPos(&pointer)) {
      // A coordinate that does not fit leaves it, and the rest of the step, undone.
      if (pointer.x >= -32768 && pointer.x <= 32767) {
        ZoomOriginX = static_cast<int16_t>(pointer.x);
        if (pointer.y >= -32768 && pointer.y <= 32767) ZoomOriginY = static_cast<int16_t>(pointer.y);
      }
    } else {
      ZoomOriginX = 0;
      ZoomOriginY = 0;
    }

    ZoomOpen(Hwnd());
    app::SetPointer(app::Pointer::Default);
  }

  // The markers, the repeat box and the file button follow BgmKind.
  void ShowChosenKind() {
    const KindView view = ShowKind(BgmKind);
    repeat_.SetEnabled(false);
    for (int kind = 0; kind < kKindCount; ++kind) {
      kindMarker_[kind]->SetPicture(markerStore_[view.selected[kind] ? 1 : 0]->Picture());
    }
    if (view.repeatEnabled) repeat_.SetEnabled(true);
    if (fileButton_) fileButton_->SetEnabled(view.fileEnabled);
  }

  // -- the gradients ---------------------------------------------------------------------

  void OnResize() override {
    if (!panel_.Hwnd()) return;  // sized while being created, before the controls exist
    DrawGradients();
  }

  void DrawGradients() {
    gradientsDrawn_ = true;
    PaintRows(Image(), GradientRows(static_cast<float>(ClientHeightTwips()), Image().Height(), ScreenScaleY(),
                                    GradientTint::Window));
    PaintRows(panel_.Image(), GradientRows(static_cast<float>(panel_.ClientHeightTw()), panel_.Image().Height(),
                                           ScreenScaleY(), GradientTint::Panel));
    Refresh();
    panel_.Refresh();
  }

  void OnPaint(HDC dc) override { controls_.Paint(dc); }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
    // The fixed frame is sized once, before it is first shown; draw then.
    if (message == WM_SHOWWINDOW && wParam && !gradientsDrawn_ && panel_.Hwnd()) DrawGradients();
    return controls_.HandleMessage(message, wParam, lParam, result);
  }

  void OnUnload() override { ZoomClose(Hwnd()); }

  // -- actions --------------------------------------------------------------------------------

  void ChooseKind(int16_t kind) {
    BgmKind = kind;
    ShowChosenKind();
  }

  void FileClick() {
    const std::wstring filter = Wide(MusicFileFilter());
    const std::wstring title = Wide(layout::kOpenTitle);
    std::vector<wchar_t> file(layout::kFileBufferChars, L'\0');
    std::vector<wchar_t> fileTitle(layout::kFileBufferChars, L'\0');
    OPENFILENAMEW request = {};
    // The record of the older systems, without the fields added later.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = Hwnd();
    request.hInstance = app::Instance();
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 0;
    request.lpstrFile = file.data();
    request.nMaxFile = layout::kFileBufferChars;
    request.lpstrFileTitle = fileTitle.data();
    request.nMaxFileTitle = layout::kFileBufferChars;
    request.lpstrInitialDir = BgmFolder.empty() ? nullptr : BgmFolder.c_str();
    request.lpstrTitle = title.c_str();
    request.Flags = 0;
    if (GetOpenFileNameW(&request) <= 0) return;
    // The buffer is NUL-ended by the chooser; its last unit stays NUL anyway.
    file.back() = L'\0';
    const std::wstring chosen(file.data());
    std::string stored;
    switch (StorablePath(chosen, ShortPathOf, &stored)) {
      case Storable::kYes:
        break;
      case Storable::kUnnameable:
        // The choice stays what it was: a path stored with "?" in it would
        // never play.
        app::ShowMessage(layout::kUnusableFileText, MB_OK | MB_ICONEXCLAMATION, Hwnd());
        return;
      case Storable::kTooLong:
        // Stored cut, it would be dropped at the next start.
        app::ShowMessage(layout::kTooLongFileText, MB_OK | MB_ICONEXCLAMATION, Hwnd());
        return;
    }
    BgmFile = stored;
    fileName_->SetCaptionText(chosen);
    BgmFolder = Wide(FolderOf(BgmFile));
  }

  void SetClick() {
    const std::wstring path = SettingsFile();
    const SavedSettings saved = SettingsToSave(BgmKind, repeat_.Text(), BgmFile, DecimalSeparator());
    BgmRepeat = saved.repeat;
    for (const auto& entry : saved.entries) {
      // A save that failed must not look like one that worked: the dialog
      // stays open with the choices, to try again or cancel.
      if (!WriteSetting(kSettingsSection, entry.first, entry.second, path)) {
        app::ShowMessage(layout::kNotSavedText, MB_OK | MB_ICONEXCLAMATION, Hwnd());
        return;
      }
    }
    Close();
  }

  void LinkClick() {
    app::SetPointer(app::Pointer::Hourglass);
    ShellExecuteW(Hwnd(), L"open", link_->CaptionText().c_str(), L"", L"", SW_SHOWNORMAL);
    app::SetPointer(app::Pointer::Default);
  }

  HFONT ambientFont_ = nullptr;
  ControlHost controls_;
  PicturePanel panel_;
  DropDownBox repeat_;
  std::vector<Command*> buttons_;  // in the order the window holds them
  Command* setButton_ = nullptr;
  Command* cancelButton_ = nullptr;
  Command* fileButton_ = nullptr;
  Label* link_ = nullptr;
  Label* fileName_ = nullptr;
  ImageControl* markerStore_[2] = {nullptr, nullptr};
  ImageControl* kindMarker_[kKindCount] = {};
  Label* kindLabel_[kKindCount] = {};
  bool gradientsDrawn_ = false;
};

}  // namespace

void ShowSettingsDialog() {
  SettingsDialog dialog;
  dialog.ShowModal();
}

}  // namespace numerabo
