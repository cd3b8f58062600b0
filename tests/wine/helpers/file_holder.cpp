// Holds a file open the way a running program may: shared for reading only,
// so that nobody else can write, rename or delete it, until told to let go.
// What the setup program and its uninstaller meet while the screen saver
// settings' preview runs the installed host.
//   file_holder <path>   prints "held 1", or "held 0 <error>" when the file
//                        could not be opened; lets go at a line (or the end)
//                        on its input and prints "released"
#include <windows.h>

#include <cstdio>

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 2) {
    std::printf("held 0 usage\n");
    return 2;
  }
  const HANDLE file = CreateFileW(args[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("held 0 %lu\n", GetLastError());
    std::fflush(stdout);
    return 1;
  }
  std::printf("held 1\n");
  std::fflush(stdout);
  char line[16];
  std::fgets(line, sizeof line, stdin);
  CloseHandle(file);
  std::printf("released\n");
  std::fflush(stdout);
  return 0;
}
