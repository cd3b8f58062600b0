// Where the start's record is kept, and its writing.
#pragma once

#include <string>

namespace numerabo {

// Makes text the content of %LOCALAPPDATA%\Numerabo\Numerabo-start.txt,
// creating the folder where it is missing. The text goes to a file of its
// own beside the record first, which then takes the record's place by a
// rename: a write that fails at any step leaves the earlier record as it
// was, and no partial file. False when the record was not replaced.
bool WriteStartRecord(const std::string& text);

}  // namespace numerabo
