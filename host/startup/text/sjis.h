// Shift-JIS (code page 932), the host's own text and its settings file: a
// character is one byte, or two when the first is a lead byte. A trail byte
// can look like "\" or an ASCII letter, so text is walked by characters,
// never searched byte by byte.
#pragma once

#include <string>
#include <vector>

namespace numerabo {

bool IsSjisLeadByte(unsigned char byte);

// Byte offsets at which each character of text starts.
std::vector<size_t> CharacterStarts(const std::string& text);

// The last count characters of text (all of it when shorter).
std::string LastCharacters(const std::string& text, size_t count);

// The longest start of text that has at most bytes bytes and ends between
// two characters.
std::string FirstBytes(const std::string& text, size_t bytes);

}  // namespace numerabo
