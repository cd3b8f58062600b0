// Whole files read and replaced through the platform's wide file calls.
#pragma once

#include <cstddef>
#include <string>

namespace numerabo {

// All bytes of the file at path; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string* bytes);

// Makes the size bytes at data the content of the file at path, completely or not at all:
// they go to a name of this process's own beside it, flushed, and take the
// target's place by a rename. Where the file system refuses that rename onto
// an existing file, the target is written in place instead, or the file
// could never change again. False when nothing could be written.
bool ReplaceWholeFile(const std::wstring& path, const void* data, size_t size);

}  // namespace numerabo
