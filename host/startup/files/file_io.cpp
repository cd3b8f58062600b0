#include "host/startup/files/file_io.h"

#include <windows.h>

namespace numerabo {

namespace {

// Writes the size bytes at data to a new file at path, flushed to the disk before it
// is closed; false (and no file) when any step fails.
bool WriteNewFile(const std::wstring& path, const void* data, size_t size) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
  ok = ok && written == size && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  if (!ok) DeleteFileW(path.c_str());
  return ok != FALSE;
}

}  // namespace

bool ReadWholeFile(const std::wstring& path, std::string* bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0) content.append(chunk, got);
  CloseHandle(h);
  if (ok) *bytes = std::move(content);
  return ok;
}

bool ReplaceWholeFile(const std::wstring& path, const void* data, size_t size) {
  // The process id in the name keeps two hosts from sharing one partial file.
  const std::wstring partial = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".part";
  if (!WriteNewFile(partial, data, size)) return false;
  if (MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(partial.c_str());
  return WriteNewFile(path, data, size);
}

}  // namespace numerabo
