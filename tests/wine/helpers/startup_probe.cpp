// Test helper for the start-up tests: reads and writes settings through the
// host's own code, checks and replaces files (held open by the probe itself,
// as another program would hold them), and plays the platform's side (a preview pane, a
// window of another instance, a message box's reader, the display settings
// starting and killing previews over and over). Texts that may hold
// Shift-JIS are printed as hex so that nothing is lost on the way out.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/startup/files/file_io.h"
#include "host/startup/files/path_lookup.h"
#include "host/startup/files/settings_file.h"
#include "host/startup/files/settings_logic.h"
#include "host/startup/framework/framework.h"
#include "host/startup/preview_window.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/wide_text.h"

namespace {

std::string Hex(const std::string& text) {
  std::string out;
  char b[4];
  for (unsigned char c : text) {
    std::snprintf(b, sizeof(b), "%02X", c);
    out += b;
  }
  return out.empty() ? "-" : out;
}

// The pane command's report: due once a child shows, at the latest at
// reportBy (a tick count); the pane goes destroyAfterMs after it.
DWORD reportBy = 0;
UINT destroyAfterMs = 0;

LRESULT CALLBACK PaneProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == 1) {
        // Report the pane's children once the host's window shows in it (a
        // busy machine may take seconds to start it), then go.
        HWND child = GetWindow(hwnd, GW_CHILD);
        if (!(child && IsWindowVisible(child)) && static_cast<LONG>(GetTickCount() - reportBy) < 0) return 0;
        while (child) {
          char caption[256] = {};
          GetWindowTextA(child, caption, sizeof(caption));
          RECT r;
          GetWindowRect(child, &r);
          POINT topLeft = {r.left, r.top};
          ScreenToClient(hwnd, &topLeft);
          std::printf("child %s %ld %ld %ld %ld visible=%d\n", Hex(caption).c_str(), topLeft.x, topLeft.y,
                      r.right - r.left, r.bottom - r.top, IsWindowVisible(child) ? 1 : 0);
          child = GetWindow(child, GW_HWNDNEXT);
        }
        std::fflush(stdout);
        KillTimer(hwnd, 1);
        SetTimer(hwnd, 2, destroyAfterMs, nullptr);
      } else if (wParam == 2) {
        std::printf("destroying\n");
        std::fflush(stdout);
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      HBRUSH brush = CreateSolidBrush(RGB(0, 200, 0));
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeWindow(const char* caption, int x, int y, int w, int h, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "StartupProbeWindow";
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, caption, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                              x, y, w, h, nullptr, nullptr, wc.hInstance, nullptr);
  return hwnd;
}

int Loop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

// Handles this thread's messages until done() holds or timeoutMs has passed;
// a host embedding its preview into our pane sends it messages, so the
// pane's thread must keep answering while it waits.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const DWORD waited = GetTickCount() - start;
    if (waited >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited < 20 ? timeoutMs - waited : 20, QS_ALLINPUT);
  }
}

int CountChildren(HWND parent) {
  int n = 0;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++n;
  return n;
}

// The display settings' side of the preview: the host started into a
// 152 x 112 pane with /p and, once its window is in the pane, ended with
// TerminateProcess, the way Windows ends it whenever the selection changes.
// Prints one line per start and the pane's children left at the end.
int PreviewCycles(const char* host, int count) {
  HWND pane = MakeWindow("Probe Pane", 0, 0, 152, 112, PaneProc);
  for (int i = 0; i < count; ++i) {
    char line[1024];
    std::snprintf(line, sizeof(line), "\"%s\" /p %lld", host,
                  static_cast<long long>(reinterpret_cast<intptr_t>(pane)));
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      std::printf("cycle %d not-started %lu\n", i, GetLastError());
      std::fflush(stdout);
      continue;
    }
    const DWORD started = GetTickCount();
    const bool embedded = PumpUntil([pane] { return GetWindow(pane, GW_CHILD) != nullptr; }, 30000);
    const DWORD embedMs = GetTickCount() - started;
    PumpUntil([] { return false; }, 100);  // let it paint once
    TerminateProcess(pi.hProcess, 1);
    HANDLE process = pi.hProcess;
    const bool ended = PumpUntil([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 10000);
    // The terminated process's window leaves the pane with it.
    const bool gone = PumpUntil([pane] { return GetWindow(pane, GW_CHILD) == nullptr; }, 5000);
    std::printf("cycle %d %s %lu ms%s%s\n", i, embedded ? "embedded" : "no-window", embedMs,
                ended ? "" : " still-running", gone ? "" : " child-left");
    std::fflush(stdout);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  std::printf("done children-left %d\n", CountChildren(pane));
  std::fflush(stdout);
  DestroyWindow(pane);
  return 0;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char cls[64] = {};
  char text[512] = {};
  GetClassNameA(child, cls, sizeof(cls));
  GetWindowTextA(child, text, sizeof(text));
  std::printf("control %s %s visible=%d\n", cls, Hex(text).c_str(), IsWindowVisible(child) ? 1 : 0);
  return TRUE;
}

}  // namespace

int Run(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "load-settings") {
    // The settings file beside this program, as the host reads it.
    numerabo::LoadSettings();
    std::printf("kind %d\nrepeat %d\nfile %s\nfolder %s\n", numerabo::BgmKind, numerabo::BgmRepeat,
                Hex(numerabo::BgmFile).c_str(), Hex(numerabo::Sjis(numerabo::BgmFolder)).c_str());
    return 0;
  }
  if (command == "read-setting" && argc == 4) {
    std::string value = numerabo::ReadSetting(numerabo::kSettingsSection, argv[3], numerabo::Wide(argv[2]));
    std::printf("value %s %zu\n", Hex(value).c_str(), value.size());
    return 0;
  }
  if (command == "held-write" && argc >= 5) {
    // held-write <path> <rw|none> replace <text> | setting <key> <value>:
    // the file is held open for reading, sharing reading and writing (rw) or
    // nothing (none), but never deletion, while the host's code writes it.
    const std::wstring path = numerabo::Wide(argv[2]);
    const DWORD share = std::strcmp(argv[3], "rw") == 0 ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 3;
    const std::string what = argv[4];
    if (what == "replace" && argc == 6) {
      std::printf("replaced %d\n", numerabo::ReplaceWholeFile(path, argv[5], std::strlen(argv[5])) ? 1 : 0);
    } else if (what == "setting" && argc == 7) {
      std::printf("written %d\n", numerabo::WriteSetting(numerabo::kSettingsSection, argv[5], argv[6], path) ? 1 : 0);
    }
    CloseHandle(held);
    return 0;
  }
  if (command == "file-exists") {
    for (int i = 2; i < argc; ++i) {
      std::string path = std::strcmp(argv[i], "EMPTY") == 0 ? std::string() : argv[i];
      std::printf("%d\n", numerabo::FileExists(numerabo::Wide(path)) ? 1 : 0);
    }
    return 0;
  }
  if (command == "pane" && argc == 8) {
    // pane x y w h report_ms destroy_ms: a stand-in for the display
    // settings' preview pane, reporting its children once one shows (or
    // after report_ms), and going destroy_ms - report_ms after that.
    HWND pane = MakeWindow("Probe Pane", std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                           std::atoi(argv[5]), PaneProc);
    std::printf("pane %lld\n", static_cast<long long>(reinterpret_cast<intptr_t>(pane)));
    std::fflush(stdout);
    reportBy = GetTickCount() + std::atoi(argv[6]);
    destroyAfterMs = std::atoi(argv[7]) - std::atoi(argv[6]);
    SetTimer(pane, 1, 50, nullptr);
    return Loop();
  }
  if (command == "preview-here" && argc == 6) {
    // The host's preview code embedding into a pane of this same process,
    // where Wine draws it (it does not draw a child window into a pane that
    // belongs to another process).
    HWND pane = MakeWindow("Probe Pane", std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                           std::atoi(argv[5]), PaneProc);
    numerabo::ShowPreviewIn(pane);
    std::printf("shown\n");
    std::fflush(stdout);
    return Loop();
  }
  if (command == "preview-cycles" && argc == 4) return PreviewCycles(argv[2], std::atoi(argv[3]));
  if (command == "window" && argc == 3) {
    // A window with the given caption, as another host instance would have.
    MakeWindow(argv[2], 0, 0, 10, 10, DefWindowProcA);
    std::printf("ready\n");
    std::fflush(stdout);
    return Loop();
  }
  if (command == "message-box" && argc == 3) {
    // Prints the controls of the window captioned argv[2], then presses OK.
    HWND box = FindWindowA(nullptr, argv[2]);
    if (!box) {
      std::printf("none\n");
      return 1;
    }
    EnumChildWindows(box, PrintChild, 0);
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  return 2;
}

// The arguments as the host's own text, Shift-JIS, whatever the system's code
// page: taken from the UTF-16 command line, as the host takes its own.
int main() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return 2;
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(numerabo::Sjis(wide[i]));
  LocalFree(wide);
  std::vector<char*> args;
  for (std::string& text : texts) args.push_back(&text[0]);
  return Run(count, args.data());
}
