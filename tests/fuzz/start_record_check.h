// The start's record with any wallpaper path and desktop name (UTF-16 as the
// registry and the platform hand them over, lone surrogates too) and any
// narrow text: every line is "key: value" and ends in CR LF, the record has
// as many lines as one with plain values, it is valid UTF-8, and no value
// is longer than the kept length in UTF-8's widest form.
#pragma once

#include <cstdint>
#include <string>

#include "host/saver/start_record.h"
#include "tests/fuzz/fuzz_input.h"

namespace numerabo {
namespace fuzz {

inline std::wstring Utf16Units(const std::string& bytes) {
  std::wstring units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<wchar_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8));
  }
  return units;
}

// Whether text is well-formed UTF-8 with no surrogate and nothing past U+10FFFF.
inline bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    uint32_t point = length == 1 ? c : c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const uint8_t next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    static const uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

inline size_t LineCount(const std::string& text) {
  size_t lines = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) lines += text[i] == '\r' && text[i + 1] == '\n';
  return lines;
}

inline std::string CheckStartRecord(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  StartFacts facts;
  facts.capture = static_cast<CaptureOutcome>(input.Byte() % 4);
  facts.standIn = StandInOutcome::Drawn;
  facts.rendererStarted = true;
  facts.standInReport.reduction = input.I32();
  facts.standInReport.passedOver = input.Text();
  facts.standInReport.source = input.Text();
  facts.desktop = Utf16Units(input.Text());
  facts.standInReport.wallpaper = Utf16Units(input.Rest());
  const std::string text = StartRecordText(facts);

  StartFacts plain = facts;
  plain.desktop = L"Default";
  plain.standInReport.wallpaper = L"C:\\wall.jpg";
  plain.standInReport.passedOver = "none";
  plain.standInReport.source = "wallpaper";
  if (LineCount(text) != LineCount(StartRecordText(plain))) return "a value spans lines";
  if (!IsUtf8(text)) return "the record is no UTF-8";
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) return "a line without CR LF at the end";
    const std::string line = text.substr(start, end - start);
    const size_t colon = line.find(": ");
    if (colon == std::string::npos || colon == 0) return "a line that is no key and value: " + Shown(line);
    if (line.find_first_of("\r\n") != std::string::npos) return "a lone CR or LF in " + Shown(line);
    if (end - start - colon - 2 > (kLongestRecordValue + 3) * 3) return "a value past the kept length";
    start = end + 2;
  }
  return "";
}

}  // namespace fuzz
}  // namespace numerabo
