// Finds the renderer's window by its class and title and posts it messages,
// the way any other program could:
//   renderer_post_close              WM_CLOSE
//   renderer_post_close key N        WM_KEYDOWN with wParam N
//   renderer_post_close tap N        WM_KEYDOWN and WM_KEYUP of N, back to back
// Exit code 0 when the window was found and the messages were posted, 2 when
// there is no such window, 3 on a failed post.
#include <windows.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  HWND window = FindWindowA("ぬめらぼ_VC", "ぬめらぼ_VC");
  if (!window) return 2;
  if (argc < 2 || std::strcmp(argv[1], "close") == 0) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 3;
  if (argc < 3) return 3;
  const WPARAM key = static_cast<WPARAM>(std::strtoull(argv[2], nullptr, 0));
  if (!PostMessageA(window, WM_KEYDOWN, key, 1)) return 3;
  if (std::strcmp(argv[1], "tap") == 0 && !PostMessageA(window, WM_KEYUP, key, 0xC0000001)) return 3;
  return 0;
}
