#include "host/startup/sjis.h"

namespace numerabo {

bool IsSjisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::vector<size_t> CharacterStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size();) {
    starts.push_back(i);
    // A lead byte at the very end has no trail: it stands alone.
    i += (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return starts;
}

std::string LastCharacters(const std::string& text, size_t count) {
  std::vector<size_t> starts = CharacterStarts(text);
  if (starts.size() <= count) return text;
  return text.substr(starts[starts.size() - count]);
}

std::string FirstBytes(const std::string& text, size_t bytes) {
  if (text.size() <= bytes) return text;
  size_t end = 0;
  for (size_t start : CharacterStarts(text)) {
    if (start > bytes) break;
    end = start;
  }
  // end is the last character start within the limit; it fits whole only
  // when it is a single byte or its trail byte is inside the limit too.
  const bool lead = IsSjisLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size();
  if (end + (lead ? 2 : 1) <= bytes) end += lead ? 2 : 1;
  return text.substr(0, end);
}

}  // namespace numerabo
