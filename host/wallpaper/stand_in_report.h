// The stand-in's own account of what it drew. Win32-free: the saver's
// start record carries it as it is.
#pragma once

#include <cstdint>
#include <string>

namespace numerabo {

// What the stand-in took and why, for the start's record: what only a real
// Windows shows reaches the developers through it.
struct StandInReport {
  // Where the look came from: "shell", "policy" or "control-panel".
  std::string values;
  // The picture drawn: "wallpaper", "windows-copy" or "colour".
  std::string source;
  // Why the sources before it were passed over, "; " between them (for
  // example "wallpaper: timed out"); empty when the first one served.
  std::string passedOver;
  std::wstring wallpaper;  // the wallpaper's path as the look names it
  std::string fit;         // "centre", "tile", "stretch", "fit", "fill" or "span"
  int32_t reduction = 0;   // 1 decoded whole, 2, 4 or 8 reduced by the codec; 0 nothing decoded
  uint32_t valuesMs = 0, readMs = 0, decodeMs = 0, drawMs = 0;
};

}  // namespace numerabo
