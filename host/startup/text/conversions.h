// The number and text conversions the host's windows and modules share.
#pragma once

#include <cstdint>
#include <string>

namespace numerabo {

// Upper-cases the ASCII letters of Shift-JIS text, leaving double-byte
// characters (whose trail bytes may be letters) untouched.
std::string UpperCase(const std::string& text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// The "##" pattern: decimal digits without leading zeros, "" for 0.
std::string FormatHashes(long value);

// The settings file's number form: a blank for 0 and positive numbers, a
// minus sign for negative ones, then the digits (" 1", " 0", "-3").
std::string SignedNumberText(long value);

// Reads text that is a number as a whole: blanks around it, an optional sign,
// digits with an optional fraction, an optional exponent. False for anything
// else, the empty text included.
bool ParseNumber(const std::string& text, double* value);

// Reads the number at the start of text the lenient way: blanks anywhere are
// skipped, reading stops at the first character that cannot continue the
// number, no number gives 0.
double LeadingNumber(const std::string& text);

// ParseNumber, rounded down (toward minus infinity) into 16 bits. False when
// the text is no number or the result does not fit.
bool ToInt16RoundedDown(const std::string& text, int16_t* value);

// ParseNumber, rounded halves-to-even into 16 bits. False when the text is
// no number or the result does not fit.
bool ToInt16RoundedEven(const std::string& text, int16_t* value);

// A double rounded halves-to-even into 32 signed bits; false when it does not fit.
bool ToInt32RoundedEven(double number, int32_t* value);

}  // namespace numerabo
