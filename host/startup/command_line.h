// Reading the screensaver switches from the host's command line.
#pragma once

#include <cstdint>
#include <string>

namespace numerabo {

// The switch: the second character of the upper-cased command line ("S",
// "P", "C", ...), or "" when the line is shorter than two characters. The
// first character is never looked at, so /s, -s and xs all give "S".
std::string SwitchOf(const std::string& commandLine);

// The preview parent: the number that starts at the fourth character of the
// unchanged command line (blanks skipped, rounded to a whole number). False
// when the number does not fit 32 bits; text without a number gives 0.
bool PreviewParentOf(const std::string& commandLine, int32_t* handle);

}  // namespace numerabo
