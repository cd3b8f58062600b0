// The music settings as the start reads them from any settings file, and as
// the settings dialog saves them into it and the next start reads them back.
// Whatever the file holds, a file kind has a file, the file's folder is a
// start of its path and its MP3 command quotes it whole. What the dialog
// saves into any file comes back: the kind (none without a file that is
// there), the repeat track as saved, and the path as chosen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "host/music/playback.h"
#include "host/saver/saver_logic.h"
#include "host/settings/dialog_layout.h"
#include "host/settings/dialog_logic.h"
#include "host/startup/files/ini_text.h"
#include "host/startup/files/path_text.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/wide_text.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

// The keys as the settings file holds them, Shift-JIS. The fuzz build's
// compiler keeps the program's literals UTF-8; the file is read and written
// with these bytes in every build.
inline std::string FileKey(const std::string& key) {
  if (key == kKeyBgmKind) return "BGM\x8B\xE6\x95\xAA";
  if (key == kKeyBgmRepeat) return "BGM\xD8\xCB\xDF\xB0\xC4";
  if (key == kKeyBgmFile) return "BGM\xCC\xA7\xB2\xD9";
  return key;
}

inline void LoadFrom(const std::string& file, bool exists) {
  SettingsSource source;
  source.read = [&file](const char* key) {
    std::string value;
    return IniValue(file, kSettingsSection, FileKey(key), &value) ? value : std::string();
  };
  source.fileExists = [exists](const std::string&) { return exists; };
  source.programFolder = L"C:\\Numerabo";
  LoadSettingsFrom(source);
}

inline std::string CheckLoaded() {
  if (BgmKind == 2 && BgmFile.empty()) return "kind 2 without a file";
  if (BgmFile.size() > 255) return "a path longer than the file's values";
  const std::string folder = FolderOf(BgmFile);
  if (BgmFile.compare(0, folder.size(), folder) != 0) return "the folder is no start of the path";
  if (!BgmFile.empty() && BgmFolder != Wide(folder)) return "the file chooser starts elsewhere";
  if (FileMusicOf(BgmKind, BgmFile) != SaverFileMusic::None && (BgmKind != 2 || BgmFile.empty())) {
    return "music from a file for a kind that has none";
  }
  const std::string open = Mp3OpenCommand(BgmFile);
  const size_t n = BgmFile.size();
  if (!open.empty() && (open.size() < n + 7 || open[5] != '"' || open.compare(6, n, BgmFile) != 0 ||
                        open[6 + n] != '"' || std::count(open.begin(), open.end(), '"') != 2)) {
    return "the MP3 command does not quote the path whole: " + Shown(open);
  }
  const KindView view = ShowKind(BgmKind);
  if (view.selected[0] + view.selected[1] + view.selected[2] > 1) return "more than one kind selected";
  return "";
}

inline std::string CheckSettings(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const int16_t kind = static_cast<int16_t>(input.Byte() | input.Byte() << 8);
  const uint8_t exists = input.Byte();
  const char separator = static_cast<char>(input.Byte());
  const std::string repeatText = input.Text();
  const std::string path = input.Text();
  const std::string file = input.Rest();

  LoadFrom(file, exists & 1);
  std::string failed = CheckLoaded();
  if (!failed.empty()) return failed + " after reading " + Shown(file);

  const SavedSettings saved = SettingsToSave(kind, repeatText, path, separator);
  std::string written = file;
  for (const auto& entry : saved.entries) {
    written = IniWithValue(written, kSettingsSection, FileKey(entry.first), entry.second);
  }
  const bool fileThere = exists & 2;
  LoadFrom(written, fileThere);
  failed = CheckLoaded();
  if (!failed.empty()) return failed + " after saving into " + Shown(file);
  // A path with a line break (which no file name has) would write lines of
  // its own, a section's header among them.
  if (path.find_first_of("\r\n") != std::string::npos) return "";
  if (BgmRepeat != saved.repeat) return "the repeat track saved does not come back: " + Shown(written);

  // A path the dialog can choose: no control characters or double quotes,
  // within the chooser's buffer, and absolute, so not starting with a blank
  // or a quote (a value between a pair of quotes loses them, as on the
  // platform), nor ending with a blank.
  bool choosable = path.size() <= layout::kStoredPathBytes && path.find('"') == std::string::npos &&
                   (path.empty() || (path.front() != ' ' && path.front() != '\'' && path.back() != ' '));
  for (unsigned char c : path) choosable = choosable && c >= 0x20;
  if (!choosable) return "";
  const std::string wantedFile = fileThere ? path : std::string();
  const int16_t wantedKind = kind == 2 && wantedFile.empty() ? 0 : kind;
  if (BgmFile != wantedFile || BgmKind != wantedKind) {
    return "saved kind " + std::to_string(kind) + " and " + Shown(path) + ", read back kind " +
           std::to_string(BgmKind) + " and " + Shown(BgmFile) + " from " + Shown(written);
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
