// Test helper: starts a program the way Windows starts an idle screen saver,
// on the window station's own desktop "Screen-saver" instead of the user's
// (or on a desktop of the name given, as virtual-desktop tools make them),
// prints "started", waits for the program's end and prints "exit <code>"
// (or "no-desktop", "no-start", "still-running").
//   saver_desktop_start.exe [/desktop:<name>] <seconds to wait> <program> [arguments...]
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring name = L"Screen-saver";
  if (argv && argc > 1 && std::wcsncmp(argv[1], L"/desktop:", 9) == 0) {
    name = argv[1] + 9;
    ++argv;
    --argc;
  }
  if (!argv || argc < 3) {
    std::printf("usage\n");
    return 2;
  }
  const DWORD waitMs = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10) * 1000);
  std::wstring commandLine = L"\"" + std::wstring(argv[2]) + L"\"";
  for (int i = 3; i < argc; ++i) commandLine += L" " + std::wstring(argv[i]);

  HDESK desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  if (!desktop) {
    std::printf("no-desktop %lu\n", GetLastError());
    return 1;
  }
  std::wstring desktopName = L"WinSta0\\" + name;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.lpDesktop = &desktopName[0];
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(argv[2], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("no-start %lu\n", GetLastError());
    return 1;
  }
  std::printf("started\n");
  std::fflush(stdout);
  if (WaitForSingleObject(process.hProcess, waitMs) != WAIT_OBJECT_0) {
    std::printf("still-running\n");
    return 1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit %lu\n", static_cast<unsigned long>(code));
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseDesktop(desktop);
  return 0;
}
