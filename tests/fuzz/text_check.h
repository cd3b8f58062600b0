// The text boundary (host/startup/text) over any bytes and any UTF-16 or
// UTF-32 units, lone surrogates and values past U+10FFFF included. Shift-JIS
// is walked in whole characters; each cut lies between two characters; the
// upper-casing touches only ASCII letters that start a character; a
// conversion round-trips what it accepts: Shift-JIS that converts without a
// replacement comes back from UTF-16 as the same text, and UTF-16 that
// Shift-JIS holds comes back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/settings/dialog_layout.h"
#include "host/settings/dialog_logic.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"
#include "host/startup/text/wide_text.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::string CheckSjisWalk(const std::string& text) {
  const std::vector<size_t> starts = CharacterStarts(text);
  for (size_t i = 0; i < starts.size(); ++i) {
    const size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    if ((i == 0 && starts[0] != 0) || end <= starts[i] || end - starts[i] > 2) return "characters overlap or skip";
    if (end - starts[i] == 2 && !IsSjisLeadByte(static_cast<unsigned char>(text[starts[i]]))) {
      return "a two-byte character without a lead byte";
    }
    if (end - starts[i] == 1 && end < text.size() && IsSjisLeadByte(static_cast<unsigned char>(text[starts[i]]))) {
      return "a lead byte standing alone before the end";
    }
  }
  if (text.empty() != starts.empty()) return "no characters in text";

  const size_t limits[] = {0, 1, 2, text.size() / 2, 254, 255, text.size() ? text.size() - 1 : 0};
  for (size_t limit : limits) {
    const std::string first = FirstBytes(text, limit);
    if (text.compare(0, first.size(), first) != 0) return "FirstBytes is no start of the text";
    if (first.size() > limit && first.size() != text.size()) return "FirstBytes longer than its limit";
    if (first.size() < text.size()) {
      size_t next = text.size();
      bool atStart = first.empty();
      for (size_t s : starts) {
        if (s == first.size()) atStart = true;
        if (s > first.size()) {
          next = s;
          break;
        }
      }
      if (!atStart) return "FirstBytes cut a character at " + std::to_string(first.size());
      if (next <= limit) return "FirstBytes stopped short of the limit " + std::to_string(limit);
    }
  }
  for (size_t count : {size_t{0}, size_t{1}, size_t{3}}) {
    const std::string last = LastCharacters(text, count);
    const size_t at = text.size() - last.size();
    if (last.size() > text.size() || text.compare(at, last.size(), last) != 0) return "LastCharacters is no end";
    const size_t wanted = count < starts.size() ? count : starts.size();
    if (wanted == 0 ? !last.empty() : at != starts[starts.size() - wanted]) {
      return "LastCharacters gave other than " + std::to_string(wanted) + " characters";
    }
  }

  const std::string upper = UpperCase(text);
  if (upper.size() != text.size()) return "UpperCase changed the length";
  size_t nextStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool start = nextStart < starts.size() && starts[nextStart] == i;
    if (start) ++nextStart;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const char wanted = start && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : text[i];
    if (upper[i] != wanted) return "UpperCase changed byte " + std::to_string(i);
  }
  return "";
}

// wide as Shift-JIS: when it has a form, that form converts back to wide.
inline std::string CheckWide(const std::wstring& wide) {
  std::string sjis = "untouched";
  const bool exact = SjisOf(wide, &sjis);
  const std::string shown = Sjis(wide);
  if (shown.size() > 2 * wide.size()) return "Sjis gave more than two bytes a unit";
  if (!exact) {
    if (sjis != "untouched") return "SjisOf failed but changed its result";
    return "";
  }
  if (Wide(sjis) != wide) return "SjisOf accepted text that does not come back: " + Shown(sjis);
  if (shown != sjis) return "Sjis and SjisOf disagree on text both can write";
  std::string stored;
  if (StoredAsItself(wide, &stored) && (stored != sjis || stored.size() > layout::kStoredPathBytes)) {
    return "a path stored as itself is not its own Shift-JIS within the limit";
  }
  return "";
}

inline std::string CheckText(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const uint8_t mode = input.Byte() % 3;
  const std::string bytes = input.Rest();
  if (mode == 0) {
    const std::string walk = CheckSjisWalk(bytes);
    if (!walk.empty()) return walk + " in " + Shown(bytes);
    const std::wstring wide = Wide(bytes);
    if (wide.size() > bytes.size()) return "Wide gave more units than bytes";
    if (wide.find(L'\xFFFD') != std::wstring::npos) return "";
    std::string back;
    if (!SjisOf(wide, &back)) return "Shift-JIS read without a replacement cannot be written back: " + Shown(bytes);
    if (Wide(back) != wide) return "Shift-JIS does not round-trip: " + Shown(bytes) + " became " + Shown(back);
    return CheckWide(wide);
  }
  // UTF-16 units (mode 1) or whole wchar_t values (mode 2), any of them.
  const size_t unit = mode == 1 ? 2 : 4;
  std::wstring wide;
  for (size_t i = 0; i + unit <= bytes.size(); i += unit) {
    uint32_t value = 0;
    for (size_t b = 0; b < unit; ++b) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + b])) << (8 * b);
    wide += static_cast<wchar_t>(value);
  }
  return CheckWide(wide);
}

}  // namespace fuzz
}  // namespace numerabo
