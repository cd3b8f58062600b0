// The host's command line, any bytes. The switch is at most one character,
// the same for the line in either case; a preview parent written as
// "/p <number>" (any three characters before it) reads back as that number.
#pragma once

#include <cstdint>
#include <string>

#include "host/saver/saver_logic.h"
#include "host/startup/command_line.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckCommandLine(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const int32_t parent = input.I32();
  std::string prefix;
  for (int i = 0; i < 3; ++i) prefix += static_cast<char>("/-pPsScC: \t"[input.Byte() % 11]);
  const std::string line = input.Rest();

  const std::string choice = SwitchOf(line);
  if (choice.size() > 2 || (choice.size() == 2 && !IsSjisLeadByte(static_cast<unsigned char>(choice[0])))) {
    return "the switch is more than one character: " + Shown(choice);
  }
  if (choice.empty() != (CharacterStarts(line).size() < 2)) return "a switch without a second character";
  if (SwitchOf(UpperCase(line)) != choice) return "the switch depends on the line's case";
  int32_t handle = 0;
  PreviewParentOf(line, &handle);

  int32_t count = 7;
  bool shown = false;
  GivePointerBack(line, &count, [&](int32_t old) {
    shown = true;
    return old + 1;
  });
  if (shown != (choice == "S") || count != (shown ? 8 : 7)) return "the pointer is given back for another switch";

  const std::string written = prefix + std::to_string(parent);
  handle = 0;
  if (!PreviewParentOf(written, &handle) || handle != parent) {
    return "the preview parent " + Shown(written) + " reads as " + std::to_string(handle);
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
