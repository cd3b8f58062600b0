// Test helper: waits for the renderer's window, then for the end of the
// process that owns it, and prints "exit <code>" (or "no-window",
// "no-process", "still-running"). It lets a test learn the exit code of a
// renderer that the host started.
//   saver_watch.exe <seconds to wait for the window> <seconds to wait for the end>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const DWORD windowWaitMs = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1]) * 1000) : 20000;
  const DWORD endWaitMs = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2]) * 1000) : 60000;

  HWND window = nullptr;
  for (DWORD waited = 0; !window && waited <= windowWaitMs; waited += 50) {
    window = FindWindowA(nullptr, "ぬめらぼ_VC");
    if (!window) Sleep(50);
  }
  if (!window) {
    std::printf("no-window\n");
    return 1;
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) {
    std::printf("no-process\n");
    return 1;
  }
  std::printf("window\n");
  std::fflush(stdout);
  if (WaitForSingleObject(process, endWaitMs) != WAIT_OBJECT_0) {
    std::printf("still-running\n");
    return 1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  std::printf("exit %lu\n", static_cast<unsigned long>(code));
  CloseHandle(process);
  return 0;
}
