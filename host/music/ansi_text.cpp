#include "host/music/ansi_text.h"

#include "host/startup/sjis.h"

namespace numerabo {

std::string UpperCaseAnsi(const std::string& text) {
  std::string upper = text;
  for (size_t i = 0; i < upper.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(upper[i]))) {
      ++i;  // the trail byte belongs to the character
    } else if (upper[i] >= 'a' && upper[i] <= 'z') {
      upper[i] = static_cast<char>(upper[i] - 'a' + 'A');
    }
  }
  return upper;
}

}  // namespace numerabo
