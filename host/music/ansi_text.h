// Upper-casing of Shift-JIS text (see host/startup/sjis.h for how characters
// are counted): the second byte of a two-byte character may look like an
// ASCII letter and must stay as it is.
#pragma once

#include <string>

namespace numerabo {

// The text with the ASCII letters a to z of its one-byte characters
// upper-cased; two-byte characters are left unchanged.
std::string UpperCaseAnsi(const std::string& text);

}  // namespace numerabo
