// Whole files read and replaced through the platform's wide file calls.
#pragma once

#include <cstddef>
#include <string>

namespace numerabo {

// How a read of a whole file ended. Only a file or folder that is not there
// counts as missing: a file that is there but cannot be read (shared, denied,
// a failing disk) is never taken for an empty one.
enum class FileRead { kRead, kMissing, kFailed };

// All bytes of the file at path, when the result is kRead.
FileRead ReadWholeFile(const std::wstring& path, std::string* bytes);

// Makes the size bytes at data the content of the file at path. They go to a
// partial file of this process's own beside it (path.<pid>.part), flushed,
// which takes the target's place by a rename: the target holds its old bytes
// or the new ones. Where the file system refuses that rename onto an existing
// file, the target is written in place instead (or the file could never
// change again): from its start, without emptying it first, then cut after
// the last new byte and flushed. A failure there leaves the new bytes as far
// as they got with the old ones after them; the target is never emptied nor
// deleted. Partial files of path that an ended host left are removed first.
// False when the new bytes are not all in the file.
bool ReplaceWholeFile(const std::wstring& path, const void* data, size_t size);

}  // namespace numerabo
