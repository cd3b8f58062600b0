// Linked only into the saver benchmark's build of the host: records every
// step of a saver run as one line "<system time in 100 ns units since 1601>
// <step>" in saver-steps.log beside the program. System time rather than a
// performance counter, so that the figures line up with the clock of the
// benchmark that reads the log.
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/saver/saver_trace.h"
#include "host/startup/framework/framework.h"

namespace {

void RecordStep(const char* step) {
  static const std::wstring path = numerabo::app::ProgramFolder() + L"\\saver-steps.log";
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  char line[160];
  int length = std::snprintf(line, sizeof(line), "%llu %s\r\n", ticks, step);
  if (length <= 0) return;
  if (length >= static_cast<int>(sizeof(line))) length = sizeof(line) - 1;
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

// Installed before the host's entry runs.
const bool g_installed = (numerabo::SetStepRecorder(RecordStep), true);

}  // namespace
