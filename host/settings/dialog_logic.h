// The arithmetic and rules of the settings dialog that need no window:
// where the dialog is placed, the colours of its two gradients, what the
// music-kind choice enables, the repeat box's texts, and what saving writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/startup/framework/pixel_scale.h"

namespace numerabo {

// -- placement -----------------------------------------------------------------

struct DialogPlacement {
  long left = 0;
  long top = 0;
};

// Centred across, a third of the free height from the top. Each difference
// is rounded halves-to-even before the whole-number division, which truncates
// toward zero (a dialog larger than the screen gets a negative position).
DialogPlacement PlaceDialog(double screenWidthTw, double screenHeightTw, double frameWidthTw,
                            double frameHeightTw);

// -- gradients -----------------------------------------------------------------

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

enum class GradientTint {
  Window,  // (c, c, c + 30): navy at the edges, pale blue in the middle
  Panel,   // (c + 30, c + 30, c + 30): a grey band
};

// The divisor of the sine's argument: a whole half-wave spans the height.
// 3.142 rather than pi, so the last lines come out a little above zero.
double GradientK(float heightTw);

// The number of lines the loop draws: one for each twip 0 ... R(height).
long GradientLineCount(float heightTw);

// The level c of the line at y twips: R(|220 sin(y / k)|).
int GradientLevel(long y, double k);

Rgb GradientColour(long y, double k, GradientTint tint);

// The colour each pixel row ends up with. The loop steps in twips, so several
// lines fall on one row; the last one drawn there wins. Lines below the last
// row are clipped away. A line falls on the row its twips lie in at the scale.
std::vector<Rgb> GradientRows(float heightTw, int rows, const PixelScale& scale, GradientTint tint);

// -- the music kind ---------------------------------------------------------------

constexpr int kKindCount = 3;  // 0 none, 1 music CD, 2 MP3 or WAV file

struct KindView {
  bool selected[kKindCount] = {false, false, false};  // marker shows the selected picture
  bool repeatEnabled = false;
  bool fileEnabled = false;
};

// A kind outside 0 ... 2 selects no marker and enables nothing.
KindView ShowKind(int16_t kind);

// -- the repeat box ----------------------------------------------------------------

// The box's text for a stored repeat track: "" for 0.
std::string RepeatText(int16_t repeat);

// The list: "", "1", ... "30".
std::vector<std::string> RepeatListEntries();

// The repeat track saved for the box's text: a number (with the locale's
// decimal separator) rounded halves-to-even; 0 for text that is no number and
// for numbers that do not fit 16 bits, which the next start reads back as
// "no repeat".
int16_t RepeatFromText(const std::string& text, char decimalSeparator = '.');

// -- saving ---------------------------------------------------------------------------

struct SavedSettings {
  int16_t repeat = 0;  // the new BgmRepeat
  // Key and value in the order they are written.
  std::vector<std::pair<std::string, std::string>> entries;
};

SavedSettings SettingsToSave(int16_t kind, const std::string& repeatText, const std::string& file,
                             char decimalSeparator = '.');

// -- the file chooser -----------------------------------------------------------------

// How a chosen path is kept in the settings file.
enum class Storable { kYes, kUnnameable, kTooLong };

// The path's Shift-JIS form where it holds every character and the settings
// file gives it back whole (at most what the chooser's buffer holds).
bool StoredAsItself(const std::wstring& path, std::string* stored);

// Itself where it can be stored as it is, else the short form that
// shortPathOf gives (plain ASCII) where that can. shortPathOf answers ""
// when there is none (no such file), and the path unchanged where the
// volume keeps no short names, as Windows 8 and later do on volumes other
// than the system's: such a path is refused as too long, or as unnameable
// when Shift-JIS cannot hold it.
Storable StorablePath(const std::wstring& path, const std::function<std::wstring(const std::wstring&)>& shortPathOf,
                      std::string* stored);

// One filter pair, each text NUL-ended, and the NUL that ends the list.
std::string MusicFileFilter();

}  // namespace numerabo
