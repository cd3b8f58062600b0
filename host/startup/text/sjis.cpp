#include "host/startup/text/sjis.h"

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
  if (count == 0) return std::string();
  std::vector<size_t> starts = CharacterStarts(text);
  if (starts.size() <= count) return text;
  return text.substr(starts[starts.size() - count]);
}

std::string FirstBytes(const std::string& text, size_t bytes) {
  if (text.size() <= bytes) return text;
  // The last place between two characters within the limit.
  size_t end = 0;
  for (size_t start : CharacterStarts(text)) {
    if (start > bytes) break;
    end = start;
  }
  return text.substr(0, end);
}

}  // namespace numerabo
