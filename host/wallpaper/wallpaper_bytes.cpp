#include "host/wallpaper/wallpaper_bytes.h"

#include <windows.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <utility>

namespace numerabo {

namespace {

// Attributes of a cloud file whose bytes are not on this disk: reading it
// starts a download.
constexpr DWORD kRecallOnDataAccess = 0x00400000;  // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
constexpr DWORD kRecallOnOpen = 0x00040000;        // FILE_ATTRIBUTE_RECALL_ON_OPEN

// What the reading thread and its starter share; whichever lets go last
// frees it, so a starter that stopped waiting leaves nothing behind that the
// thread could touch.
struct ReadJob {
  std::wstring path;
  size_t largest = 0;
  WallpaperRead outcome = WallpaperRead::Missing;
  std::vector<uint8_t> bytes;
};

// "\\server\share\..." and "\\?\UNC\server\..." are shares; a drive letter
// is asked for its kind. Anything else (a device path) is not read.
bool OnFixedLocalDrive(const std::wstring& path) {
  std::wstring rest = path;
  if (rest.compare(0, 4, L"\\\\?\\") == 0) rest = rest.substr(4);
  if (rest.size() < 3 || rest[1] != L':' || (rest[2] != L'\\' && rest[2] != L'/')) return false;
  const std::wstring root = rest.substr(0, 2) + L"\\";
  return GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
}

WallpaperRead ReadWhole(const std::wstring& path, size_t largest, std::vector<uint8_t>* bytes) {
  if (!OnFixedLocalDrive(path)) return WallpaperRead::NotLocal;
  // Wine calls some files that open well (a named pipe) missing here; only
  // the attributes of one that exists count.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_OFFLINE | kRecallOnDataAccess | kRecallOnOpen))) {
    return WallpaperRead::NotLocal;
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return WallpaperRead::Missing;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WallpaperRead::Missing;
  WallpaperRead outcome = WallpaperRead::Missing;
  LARGE_INTEGER size = {};
  // A file whose size the platform cannot say (a pipe) is read up to the
  // bound and refused beyond it, like any other.
  const bool sized = GetFileSizeEx(file, &size);
  if (sized && static_cast<unsigned long long>(size.QuadPart) > largest) {
    outcome = WallpaperRead::TooLarge;
  } else {
    try {
      bytes->reserve(sized ? static_cast<size_t>(size.QuadPart) : 0);
      uint8_t chunk[64 * 1024];
      DWORD got = 0;
      outcome = WallpaperRead::Read;
      while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0) {
        if (bytes->size() + got > largest) {
          outcome = WallpaperRead::TooLarge;
          break;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
      }
      if (outcome == WallpaperRead::Read && bytes->empty()) outcome = WallpaperRead::Missing;
    } catch (const std::bad_alloc&) {
      outcome = WallpaperRead::TooLarge;
    } catch (const std::length_error&) {
      outcome = WallpaperRead::TooLarge;
    }
  }
  CloseHandle(file);
  if (outcome != WallpaperRead::Read) std::vector<uint8_t>().swap(*bytes);
  return outcome;
}

// A card reader without a card would otherwise raise "no disk" boxes.
// SetThreadErrorMode came with Windows 7; on Vista the process's error mode
// serves, for the moment of the read (the host's other thread only waits).
class NoErrorBoxes {
 public:
  NoErrorBoxes() {
    using SetThreadMode = BOOL(WINAPI*)(DWORD, DWORD*);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    setThreadMode_ = kernel ? reinterpret_cast<SetThreadMode>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadErrorMode")))
                            : nullptr;
    if (setThreadMode_) {
      setThreadMode_(kQuiet, &oldMode_);
    } else {
      oldMode_ = SetErrorMode(kQuiet);
    }
  }
  ~NoErrorBoxes() {
    if (setThreadMode_) {
      setThreadMode_(oldMode_, nullptr);
    } else {
      SetErrorMode(oldMode_);
    }
  }
  NoErrorBoxes(const NoErrorBoxes&) = delete;
  NoErrorBoxes& operator=(const NoErrorBoxes&) = delete;

 private:
  static constexpr DWORD kQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  BOOL(WINAPI* setThreadMode_)(DWORD, DWORD*) = nullptr;
  DWORD oldMode_ = 0;
};

DWORD WINAPI ReadingThread(void* parameter) {
  std::unique_ptr<std::shared_ptr<ReadJob>> held(static_cast<std::shared_ptr<ReadJob>*>(parameter));
  ReadJob& job = **held;
  NoErrorBoxes quiet;
  job.outcome = ReadWhole(job.path, job.largest, &job.bytes);
  return 0;
}

}  // namespace

WallpaperRead ReadWallpaperBytes(const std::wstring& path, uint32_t timeoutMs, std::vector<uint8_t>* bytes,
                                 size_t largest) {
  bytes->clear();
  std::shared_ptr<ReadJob> job;
  std::shared_ptr<ReadJob>* handed = nullptr;
  try {
    job = std::make_shared<ReadJob>();
    job->path = path;
    job->largest = largest;
    handed = new std::shared_ptr<ReadJob>(job);
  } catch (const std::bad_alloc&) {
    return WallpaperRead::Missing;
  }
  HANDLE thread = CreateThread(nullptr, 0, ReadingThread, handed, 0, nullptr);
  if (!thread) {
    delete handed;
    return WallpaperRead::Missing;
  }
  const bool ended = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0;
  CloseHandle(thread);
  if (!ended) return WallpaperRead::TimedOut;
  bytes->swap(job->bytes);
  return job->outcome;
}

}  // namespace numerabo
