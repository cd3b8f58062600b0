#include "host/startup/files/file_io.h"

#include <windows.h>

#include <cwchar>

namespace numerabo {

namespace {

const wchar_t* const kPartialEnd = L".part";

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

// Writes the bytes over the file at path from its start, then ends the file
// after them. The file is never truncated before the new bytes are in, and
// never deleted: a reader holding it open (without delete sharing, which is
// why the rename was refused) may go on reading.
bool WriteInPlace(const std::wstring& path, const void* data, size_t size) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
  ok = ok && written == size && SetEndOfFile(h) && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  return ok != FALSE;
}

bool AllDigits(const std::wstring& text) {
  if (text.empty()) return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// Removes the partial files of path (path.<digits>.part) that earlier writers
// left behind; other files are left alone.
void RemovePartialFiles(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  const std::wstring name = path.substr(folder.size());
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L".*" + kPartialEnd).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  const size_t endLength = wcslen(kPartialEnd);
  do {
    // The pattern also matches short names and longer middles: check the
    // long name exactly, name.<digits>.part.
    const std::wstring candidate = found.cFileName;
    if (candidate.size() <= name.size() + 1 + endLength) continue;
    if (_wcsnicmp(candidate.c_str(), name.c_str(), name.size()) != 0) continue;
    if (candidate[name.size()] != L'.') continue;
    if (candidate.compare(candidate.size() - endLength, endLength, kPartialEnd) != 0) continue;
    const std::wstring middle = candidate.substr(name.size() + 1, candidate.size() - name.size() - 1 - endLength);
    if (AllDigits(middle)) DeleteFileW((folder + candidate).c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

}  // namespace

FileRead ReadWholeFile(const std::wstring& path, std::string* bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kFailed;
  }
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(h, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0) content.append(chunk, got);
  CloseHandle(h);
  if (!ok) return FileRead::kFailed;
  *bytes = std::move(content);
  return FileRead::kRead;
}

bool ReplaceWholeFile(const std::wstring& path, const void* data, size_t size) {
  RemovePartialFiles(path);
  // The process id in the name keeps two hosts from sharing one partial file.
  const std::wstring partial = path + L"." + std::to_wstring(GetCurrentProcessId()) + kPartialEnd;
  if (!WriteNewFile(partial, data, size)) return false;
  if (MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(partial.c_str());
  return WriteInPlace(path, data, size);
}

}  // namespace numerabo
