// The settings file's text read and changed by the rules of the platform's
// initialisation-file calls, for systems whose ANSI code page is not 932:
// there those calls would pass the Shift-JIS key names through the wrong
// code page. The text stays Shift-JIS bytes throughout; nothing is converted,
// so a file moves between such a system and a Japanese one unchanged.
#pragma once

#include <string>

namespace numerabo {

// True and the value when key exists in section of text (the bytes of the
// whole file). Names match without regard to ASCII case; blanks around the
// value and one pair of matching quotes enclosing it are removed, the value
// ends at its first NUL byte, and it is cut to the 255 bytes a 256-byte reply
// buffer holds, never inside a double-byte character.
bool IniValue(const std::string& text, const std::string& section, const std::string& key,
              std::string* value);

// text with key in section set to value (written as given, blanks kept): the
// existing key's line becomes key=value in the file's spelling of the key; a
// new key goes after the last entry of its section, a new section at the end
// of the file. Every other line keeps its bytes; added lines end in CRLF.
std::string IniWithValue(const std::string& text, const std::string& section, const std::string& key,
                         const std::string& value);

}  // namespace numerabo
