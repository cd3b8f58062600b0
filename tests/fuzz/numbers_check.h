// The number readers over any text and any double: the settings file's
// numbers, the repeat box of the settings dialog, the rounding they share.
// A text that is wholly a number reads the same by the strict and the
// lenient reader; the 16-bit readers give the number rounded as they say or
// refuse it; what the settings file and the repeat box write reads back as
// the same number; rounding halves to even moves a value by at most a half.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>

#include "host/settings/dialog_logic.h"
#include "host/startup/text/conversions.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckNumbers(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const double number = input.Double();
  const int16_t value = static_cast<int16_t>(static_cast<uint16_t>(input.U32()));
  const char separator = static_cast<char>(input.Byte());
  const std::string text = input.Rest();

  double parsed = 0;
  const bool isNumber = ParseNumber(text, &parsed);
  if (isNumber) {
    if (!std::isfinite(parsed)) return "ParseNumber gave a value that is not finite";
    const double lenient = LeadingNumber(text);
    if (lenient != parsed) return "the lenient reader reads " + Shown(text) + " otherwise";
  }
  int16_t down = 0;
  const bool downFits = isNumber && std::floor(parsed) >= -32768 && std::floor(parsed) <= 32767;
  if (ToInt16RoundedDown(text, &down) != downFits) {
    return "ToInt16RoundedDown refuses or takes the wrong numbers: " + Shown(text);
  }
  if (downFits && down != std::floor(parsed)) return "ToInt16RoundedDown rounded wrongly: " + Shown(text);
  int16_t even = 0;
  if (ToInt16RoundedEven(text, &even) && (!isNumber || std::fabs(even - parsed) > 0.5)) {
    return "ToInt16RoundedEven moved the number by more than a half: " + Shown(text);
  }
  LeadingNumber(text);

  const double rounded = RoundHalfEven(number);
  if (std::isfinite(number)) {
    if (rounded != std::floor(rounded) || std::fabs(rounded - number) > 0.5) return "RoundHalfEven is off";
    if (std::fabs(rounded - number) == 0.5 && std::fmod(rounded, 2.0) != 0) return "a half rounded to odd";
  }
  int32_t whole = 0;
  const bool fits = std::isfinite(rounded) && rounded >= -2147483648.0 && rounded <= 2147483647.0;
  if (ToInt32RoundedEven(number, &whole) != fits || (fits && whole != rounded)) return "ToInt32RoundedEven is off";

  // What is written reads back.
  int16_t back = 0;
  if (!ToInt16RoundedDown(SignedNumberText(value), &back) || back != value) {
    return "the settings file's form of " + std::to_string(value) + " does not read back";
  }
  const bool plainSeparator = !(separator >= '0' && separator <= '9') && separator != '+' && separator != '-' &&
                              separator != ' ' && separator != '\t';
  if (plainSeparator && RepeatFromText(RepeatText(value), separator) != value) {
    return "the repeat box's text of " + std::to_string(value) + " does not read back";
  }
  RepeatFromText(text, separator);
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
