#include "host/saver/saver_trace.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace numerabo {

namespace {

// Read once: the variable does not change during a run.
const std::string& TracePath() {
  static const std::string path = [] {
    char buffer[MAX_PATH * 2] = {};
    DWORD n = GetEnvironmentVariableA("NUMERABO_TRACE", buffer, sizeof(buffer));
    return (n > 0 && n < sizeof(buffer)) ? std::string(buffer, n) : std::string();
  }();
  return path;
}

}  // namespace

void TraceStep(const char* step) {
  const std::string& path = TracePath();
  if (path.empty()) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  char line[160];
  int length = std::snprintf(line, sizeof(line), "%llu %s\r\n", ticks, step);
  if (length <= 0) return;
  if (length >= static_cast<int>(sizeof(line))) length = sizeof(line) - 1;
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace numerabo
