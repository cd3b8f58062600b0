#include "host/startup/text/conversions.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/startup/text/sjis.h"

namespace numerabo {

std::string UpperCase(const std::string& text) {
  std::string result = text;
  for (size_t start : CharacterStarts(text)) {
    unsigned char c = static_cast<unsigned char>(result[start]);
    if (c >= 'a' && c <= 'z') result[start] = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff > 0.5) return floor + 1.0;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

std::string FormatHashes(long value) {
  if (value == 0) return std::string();
  return std::to_string(value);
}

std::string SignedNumberText(long value) {
  if (value < 0) return std::to_string(value);  // to_string gives the minus sign
  return " " + std::to_string(value);
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Scans [sign] digits [. digits] [e|d [sign] digits] from pos; returns the
// text in C form ("1.5e3") and moves pos behind it. No digits: empty result.
std::string ScanNumber(const std::string& text, size_t* pos, bool skipBlanks) {
  std::string number;
  size_t i = *pos;
  auto skip = [&]() {
    while (skipBlanks && i < text.size() && IsBlank(text[i])) ++i;
  };
  skip();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    number += text[i++];
    skip();
  }
  size_t digits = 0;
  while (i < text.size()) {
    if (std::isdigit(static_cast<unsigned char>(text[i]))) {
      number += text[i++];
      ++digits;
    } else if (skipBlanks && IsBlank(text[i])) {
      ++i;
    } else {
      break;
    }
  }
  if (i < text.size() && text[i] == '.') {
    number += text[i++];
    while (i < text.size()) {
      if (std::isdigit(static_cast<unsigned char>(text[i]))) {
        number += text[i++];
        ++digits;
      } else if (skipBlanks && IsBlank(text[i])) {
        ++i;
      } else {
        break;
      }
    }
  }
  if (digits == 0) return std::string();
  if (i < text.size() && std::strchr("eEdD", text[i]) != nullptr) {
    size_t j = i + 1;
    std::string exponent = "e";
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    size_t expDigits = 0;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
      exponent += text[j++];
      ++expDigits;
    }
    if (expDigits > 0) {
      number += exponent;
      i = j;
    }
  }
  *pos = i;
  return number;
}

}  // namespace

bool ParseNumber(const std::string& text, double* value) {
  size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  std::string number = ScanNumber(text, &pos, false);
  if (number.empty()) return false;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos != text.size()) return false;
  double parsed = std::strtod(number.c_str(), nullptr);
  if (!std::isfinite(parsed)) return false;
  *value = parsed;
  return true;
}

double LeadingNumber(const std::string& text) {
  size_t pos = 0;
  std::string number = ScanNumber(text, &pos, true);
  if (number.empty()) return 0.0;
  return std::strtod(number.c_str(), nullptr);
}

namespace {

bool FitInt16(double whole, int16_t* value) {
  if (!(whole >= -32768.0 && whole <= 32767.0)) return false;
  *value = static_cast<int16_t>(whole);
  return true;
}

}  // namespace

bool ToInt16RoundedDown(const std::string& text, int16_t* value) {
  double number;
  if (!ParseNumber(text, &number)) return false;
  return FitInt16(std::floor(number), value);
}

bool ToInt16RoundedEven(const std::string& text, int16_t* value) {
  double number;
  if (!ParseNumber(text, &number)) return false;
  return FitInt16(RoundHalfEven(number), value);
}

bool ToInt32RoundedEven(double number, int32_t* value) {
  double whole = RoundHalfEven(number);
  if (!(whole >= -2147483648.0 && whole <= 2147483647.0)) return false;
  *value = static_cast<int32_t>(whole);
  return true;
}

}  // namespace numerabo
