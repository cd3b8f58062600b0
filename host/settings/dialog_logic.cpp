#include "host/settings/dialog_logic.h"

#include <cmath>

#include "host/settings/dialog_layout.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

DialogPlacement PlaceDialog(double screenWidthTw, double screenHeightTw, double frameWidthTw,
                            double frameHeightTw) {
  DialogPlacement p;
  // Whole-number division of whole numbers; C++ truncates toward zero too.
  p.left = static_cast<long>(RoundHalfEven(screenWidthTw - frameWidthTw)) / 2;
  p.top = static_cast<long>(RoundHalfEven(screenHeightTw - frameHeightTw)) / 3;
  return p;
}

double GradientK(float heightTw) { return static_cast<double>(heightTw) / 3.142; }

long GradientLineCount(float heightTw) {
  long last = static_cast<long>(RoundHalfEven(heightTw));
  return last < 0 ? 0 : last + 1;
}

int GradientLevel(long y, double k) {
  if (k == 0) return 0;
  return static_cast<int>(RoundHalfEven(std::fabs(220.0 * std::sin(static_cast<double>(y) / k))));
}

Rgb GradientColour(long y, double k, GradientTint tint) {
  int c = GradientLevel(y, k);
  if (tint == GradientTint::Window) return Rgb{c, c, c + 30};
  return Rgb{c + 30, c + 30, c + 30};
}

std::vector<Rgb> GradientRows(float heightTw, int rows, const PixelScale& scale, GradientTint tint) {
  if (rows < 0) rows = 0;
  std::vector<Rgb> result(static_cast<size_t>(rows));
  const double k = GradientK(heightTw);
  const long lines = GradientLineCount(heightTw);
  for (long y = 0; y < lines; ++y) {
    long row = scale.Pixels(static_cast<double>(y));
    if (row >= rows) break;
    result[static_cast<size_t>(row)] = GradientColour(y, k, tint);
  }
  return result;
}

KindView ShowKind(int16_t kind) {
  KindView view;
  if (kind >= 0 && kind < kKindCount) view.selected[kind] = true;
  view.repeatEnabled = kind == 1;
  view.fileEnabled = kind == 2;
  return view;
}

std::string RepeatText(int16_t repeat) { return FormatHashes(repeat); }

std::vector<std::string> RepeatListEntries() {
  std::vector<std::string> entries;
  for (int i = 0; i <= 30; ++i) entries.push_back(FormatHashes(i));
  return entries;
}

int16_t RepeatFromText(const std::string& text, char decimalSeparator) {
  std::string number = text;
  if (decimalSeparator != '.') {
    // Only the locale's separator makes a fraction; a "." there is no number.
    for (char& ch : number) {
      if (ch == '.') return 0;
      if (ch == decimalSeparator) ch = '.';
    }
  }
  int16_t value = 0;
  if (!ToInt16RoundedEven(number, &value)) return 0;
  return value;
}

SavedSettings SettingsToSave(int16_t kind, const std::string& repeatText, const std::string& file,
                             char decimalSeparator) {
  SavedSettings saved;
  saved.repeat = RepeatFromText(repeatText, decimalSeparator);
  saved.entries.emplace_back(kKeyBgmKind, SignedNumberText(kind));
  saved.entries.emplace_back(kKeyBgmRepeat, SignedNumberText(saved.repeat));
  saved.entries.emplace_back(kKeyBgmFile, file);
  return saved;
}

std::string MusicFileFilter() {
  static const char kFilter[] = "BGMﾌｧｲﾙ (MP3 WAV)\0*.MP3;*.WAV\0";
  return std::string(kFilter, sizeof(kFilter));  // the literal's own NUL ends the list
}

bool StoredAsItself(const std::wstring& path, std::string* stored) {
  std::string sjis;
  if (!SjisOf(path, &sjis) || sjis.size() > layout::kStoredPathBytes) return false;
  *stored = sjis;
  return true;
}

// A path that Shift-JIS could hold but that is too long to come back whole
// would be read back cut, found missing and dropped at the next start, after
// a save that looked fine.
Storable StorablePath(const std::wstring& path, const std::function<std::wstring(const std::wstring&)>& shortPathOf,
                      std::string* stored) {
  if (StoredAsItself(path, stored)) return Storable::kYes;
  const std::wstring shortPath = shortPathOf(path);
  if (!shortPath.empty() && StoredAsItself(shortPath, stored)) return Storable::kYes;
  std::string sjis;
  return SjisOf(path, &sjis) ? Storable::kTooLong : Storable::kUnnameable;
}

}  // namespace numerabo
