// What the file system says of a path: whether the file can be read, and
// its short and long names. (path_text.h works on the text alone.)
#pragma once

#include <windows.h>

#include <string>

namespace numerabo {

// True when the file can be opened for reading. One trailing "\" is ignored;
// folders, the empty text and anything that cannot be opened give false.
bool FileExists(const std::wstring& path);

// The short (8.3, plain ASCII) name of an existing file's path; "" where
// the file is missing. Where its volume keeps no short names the platform
// gives the path back as it is, long names and all.
std::wstring ShortPathOf(const std::wstring& path);
// The long name of an existing file's path; "" where the file is missing.
std::wstring LongPathOf(const std::wstring& path);

}  // namespace numerabo
