#include "host/saver/start_record_file.h"

#include <windows.h>
#include <shlobj.h>

namespace numerabo {

namespace {

// The user's own folder of this program, which the bitmaps use too where the
// root of C takes none.
const wchar_t* const kFolder = L"\\Numerabo";
const wchar_t* const kRecord = L"\\Numerabo-start.txt";
// One saver runs at a time, so one partial name serves; one left by a host
// that died half-way is simply written over.
const wchar_t* const kPartialEnd = L".part";

// The whole text in a new file at path, on the disk before it is closed;
// false (and no file) when a step fails.
bool WriteNewFile(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ok = ok && written == text.size() && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  if (!ok) DeleteFileW(path.c_str());
  return ok != FALSE;
}

}  // namespace

bool WriteStartRecord(const std::string& text) {
  wchar_t localAppData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData))) {
    return false;
  }
  const std::wstring folder = localAppData + std::wstring(kFolder);
  CreateDirectoryW(folder.c_str(), nullptr);  // one already there, or in the way, shows in the writes below
  const std::wstring record = folder + kRecord;
  const std::wstring partial = record + kPartialEnd;
  if (!WriteNewFile(partial, text)) return false;
  // Unlike the settings file, the record is never written in place when the
  // rename is refused (the old one held open, say): the older record whole
  // tells more than a mixture of two.
  if (MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  DeleteFileW(partial.c_str());
  return false;
}

}  // namespace numerabo
