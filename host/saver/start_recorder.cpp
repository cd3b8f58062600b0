#include "host/saver/start_recorder.h"

#include <cstdio>

#include "host/saver/saver_trace.h"
#include "host/saver/start_record_file.h"
#include "host/saver/thread_desktop.h"

namespace numerabo {

namespace {

// Milliseconds on the performance counter: the tick count's 16 ms steps
// would hide the short steps.
uint64_t NowMs() {
  LARGE_INTEGER count, frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&count)) {
    return GetTickCount64();
  }
  const uint64_t c = static_cast<uint64_t>(count.QuadPart), f = static_cast<uint64_t>(frequency.QuadPart);
  return c / f * 1000 + c % f * 1000 / f;
}

uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Milliseconds since this process was created.
uint64_t MsSinceProcessStart() {
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  GetSystemTimeAsFileTime(&now);
  const uint64_t from = FileTimeValue(created), to = FileTimeValue(now);
  return to > from ? (to - from) / 10000 : 0;
}

std::string LocalTimeText() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

// The platform's own version (GetVersionEx answers what the manifest
// claims), and Wine's where it runs under Wine.
std::string WindowsText() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return "?";
  using GetVersionCall = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);
  using WineVersionCall = const char*(CDECL*)();
  const auto getVersion =
      reinterpret_cast<GetVersionCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  const auto wineVersion =
      reinterpret_cast<WineVersionCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  RTL_OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  std::string text = "?";
  if (getVersion && getVersion(&info) == 0) {
    text = std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
           std::to_string(info.dwBuildNumber);
  }
  if (wineVersion) {
    const char* wine = wineVersion();
    if (wine) text += std::string(" (Wine ") + wine + ")";
  }
  return text;
}

// Whose window is the foreground one: the renderer's is known by its
// process, or by the window itself where the process is not known.
Foreground ForegroundNow(HWND window, HANDLE renderer) {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return Foreground::None;
  DWORD owner = 0;
  GetWindowThreadProcessId(foreground, &owner);
  const DWORD rendererId = renderer ? GetProcessId(renderer) : 0;
  if (rendererId ? owner == rendererId : foreground == window) return Foreground::Renderer;
  if (owner == GetCurrentProcessId()) return Foreground::Host;
  return Foreground::Other;
}

}  // namespace

StartRecorder::StartRecorder() {
  lastMarkMs_ = NowMs() - MsSinceProcessStart();
  facts_.time = LocalTimeText();
#ifdef _WIN64
  facts_.host = "x86_64";
#else
  facts_.host = "i686";
#endif
  facts_.windows = WindowsText();
  facts_.desktop = ThreadDesktopName();
}

void StartRecorder::Step(const char* name) {
  TraceStep(name);
  const uint64_t now = NowMs();
  facts_.steps.push_back({name, static_cast<uint32_t>(now - lastMarkMs_)});
  lastMarkMs_ = now;
}

void StartRecorder::StandIn(bool drawn, const StandInReport& report) {
  facts_.standIn = drawn ? StandInOutcome::Drawn : StandInOutcome::NoImage;
  facts_.standInReport = report;
}

void StartRecorder::Watch(HWND window, HANDLE renderer) {
  // Only while the window is there: once it has gone, the foreground says
  // nothing about how the show began.
  if (written_ || !window) return;
  if (!facts_.rendererWindowSeen) {
    Step("renderer-window");
    facts_.rendererWindowSeen = true;
  }
  // The renderer makes its window, sets up its drawing in it, and only then
  // shows it and takes the foreground: the looks begin at the showing, which
  // under a slow system comes seconds later.
  if (!IsWindowVisible(window)) return;
  if (!facts_.rendererWindowShown) {
    Step("renderer-shown");
    facts_.rendererWindowShown = true;
    windowShownMs_ = NowMs();
  }
  facts_.foreground = ForegroundNow(window, renderer);
  facts_.foregroundLookedMs = static_cast<uint32_t>(NowMs() - windowShownMs_);
  if (ForegroundSettled(facts_.foreground, facts_.foregroundLookedMs)) Write();
}

void StartRecorder::Finish() {
  if (!written_) Write();
}

void StartRecorder::Write() {
  written_ = true;  // once, whether or not the disk took it
  WriteStartRecord(StartRecordText(facts_));
}

}  // namespace numerabo
