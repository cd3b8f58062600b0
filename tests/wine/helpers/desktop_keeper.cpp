// Holds a prefix's desktop for the Wine suite. Asking for the desktop window
// makes Wine start its desktop process when none runs; the helper then says
// so on its output and waits until it is killed, so the desktop stays up for
// every program a test starts after it, as a user's session keeps it.
//   desktop_keeper     prints "desktop 1" (0 when there is no desktop window)
#include <windows.h>

#include <cstdio>

int main() {
  const HWND desktop = GetDesktopWindow();
  std::printf("desktop %d\n", desktop && IsWindow(desktop) ? 1 : 0);
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}
