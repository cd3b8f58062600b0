// Where the settings dialog's controls sit and what they say. Positions are
// twips relative to the control's container: the window for the first group,
// the panel Pic_C(0) for the music controls.
#pragma once

namespace numerabo {
namespace layout {

struct TwipsRect {
  int left, top, width, height;
};

constexpr const char* kCaption = "<ぬめらぼ>";
constexpr int kClientWidthTw = 7440;
constexpr int kClientHeightTw = 3645;

// On the window.
constexpr TwipsRect kPanel = {180, 240, 7035, 2475};
constexpr TwipsRect kCredit = {180, 2880, 2475, 195};
constexpr TwipsRect kLink = {180, 3120, 3105, 195};
constexpr TwipsRect kSetButton = {4860, 3000, 1155, 375};
constexpr TwipsRect kCancelButton = {6060, 3000, 1155, 375};
// The two marker pictures lie right of the client area: stores, never seen.
constexpr TwipsRect kMarkerOff = {8040, 300, 180, 180};
constexpr TwipsRect kMarkerOn = {8040, 600, 180, 180};

// On the panel.
constexpr TwipsRect kHeadingFrame = {300, 300, 1695, 315};
constexpr TwipsRect kHeading = {300, 360, 1665, 195};
constexpr TwipsRect kRepeatBox = {1680, 780, 615, 300};
constexpr TwipsRect kRepeatLabel = {2340, 840, 990, 195};
constexpr TwipsRect kFileButton = {420, 1740, 615, 315};
constexpr TwipsRect kFileName = {1080, 1740, 5595, 495};
// Marker and label of each kind, indexed by the kind code. The rows on the
// panel are not in code order: CD first, then none, then the file.
constexpr TwipsRect kKindMarker[3] = {{420, 1140, 195, 195}, {420, 840, 195, 195}, {420, 1440, 195, 195}};
constexpr TwipsRect kKindLabel[3] = {{660, 1140, 330, 195}, {660, 840, 645, 195}, {660, 1440, 900, 195}};
constexpr const char* kKindCaption[3] = {"なし", "音楽CD", "MP3、WAV"};

constexpr const char* kHeadingCaption = "BGM";
constexpr const char* kRepeatCaption = "曲目をﾘﾋﾟｰﾄ";
constexpr const char* kSetCaption = "設定";
constexpr const char* kCancelCaption = "ｷｬﾝｾﾙ";
constexpr const char* kFileCaption = "...";

// The text font of labels and button captions.
constexpr const char* kFontFace = "ＭＳ Ｐゴシック";
constexpr double kFontPoints = 9.75;
constexpr int kFontWeight = 400;
constexpr int kFontCharset = 128;  // Shift-JIS

// The file chooser.
constexpr const char* kOpenTitle = "ﾌｧｲﾙを開く";
constexpr int kFileBufferChars = 255;
// The longest path stored as it is: what the chooser's buffer holds before
// its NUL, in Shift-JIS bytes, so that the settings file gives it back whole.
constexpr size_t kStoredPathBytes = kFileBufferChars - 1;
// Shown when a chosen file cannot be kept in the settings file and the
// volume gives it no short name to keep instead: the same words, with the
// reason. Windows 8 and later make no short names on volumes other than the
// system's, so a path too long to store meets anyone on drive D:.
constexpr const char* kUnusableFileText =
    "このﾌｧｲﾙはﾊﾟｽに使えない文字があるため選べません。\r\n"
    "ﾌｧｲﾙ名かﾌｫﾙﾀﾞ名を変えてから選び直してください。";
constexpr const char* kTooLongFileText =
    "このﾌｧｲﾙはﾊﾟｽが長すぎるため選べません。\r\n"
    "ﾌｧｲﾙ名かﾌｫﾙﾀﾞ名を短くしてから選び直してください。";
// Shown when 設定 could not write the settings file; the dialog stays open
// with the user's choices, to try again or cancel.
constexpr const char* kNotSavedText = "設定を保存できませんでした。";

}  // namespace layout
}  // namespace numerabo
