#include "host/saver/saver_screen.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <string>

#include "host/music/music.h"
#include "host/resources/pictures.h"
#include "host/resources/resource_ids.h"
#include "host/saver/real_pixels.h"
#include "host/saver/saver_logic.h"
#include "host/saver/saver_trace.h"
#include "host/saver/start_recorder.h"
#include "host/startup/files/path_text.h"
#include "host/startup/framework/framework.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/wide_text.h"
#include "host/wallpaper/desktop_stand_in.h"

namespace numerabo {

namespace {

const char* const kCaption = "Numerabo_Main";
const char* const kRendererTitle = "ぬめらぼ_VC";
// The two bitmaps the renderer reads: in the root of C where the user may
// write there, else in a folder of the user's own, named to the renderer.
const char* const kBitmapRoot = "C:";
const char* const kDesktopBitmap = "\\Numerabo1.bmp";
const char* const kPictureBitmap = "\\Numerabo2.bmp";
const char* const kOwnBitmapFolder = "\\Numerabo";
constexpr int kPictureSize = 512;     // Pic_Back's box
constexpr int kNormalWithFocus = 1;   // SW_SHOWNORMAL

// The music module bound to the platform.
class PlatformMusic : public SaverMusic {
 public:
  void CdOpen() override { ::numerabo::CdOpen(); }
  void CdPoll() override { ::numerabo::CdPoll(); }
  bool CdPollOk() override { return ::numerabo::CdPollOk; }
  void CdStop() override { ::numerabo::CdStop(); }
  void Mp3Play() override { ::numerabo::Mp3Play(); }
  void Mp3Repeat() override { ::numerabo::Mp3Repeat(); }
  void Mp3Stop() override { ::numerabo::Mp3Stop(); }
  void WavPlay() override { ::numerabo::WavPlay(); }
  void WavStop() override { ::numerabo::WavStop(); }
};

FormOptions SaverOptions() {
  FormOptions options;
  options.caption = kCaption;
  options.style = WS_POPUP;  // no border: the client area is the whole window
  return options;
}

// Numerabo_S. Never shown: it only holds the pictures and the timers.
class SaverScreen : public Form {
 public:
  SaverScreen()
      : Form(SaverOptions()),
        timer1_(this, 1000, [this] { Timer1_Timer(); }),
        timer2_(this, 200, [this] { Timer2_Timer(); }),
        timer3_(this, 500, [this] { Timer3_Timer(); }) {
    timer3_.SetEnabled(true);  // runs from the moment the window exists
  }

 protected:
  void OnLoad() override;
  void OnQueryUnload(bool* cancel, int unloadMode) override;

 private:
  void FitToScreen();
  bool CaptureDesktop();
  CaptureOutcome JudgeCapture(bool captured);
  void DrawPicture();
  struct Saved {
    bool desktop;
    bool picture;
  };
  Saved SaveBitmapsIn(const std::wstring& folder);
  void SaveBitmaps();
  void StartRenderer();
  void StartMusicOfSettings();
  bool RendererProcessEnded() const;

  void Timer1_Timer();
  void Timer2_Timer();
  void Timer3_Timer();

  OffscreenImage display_;  // Display: the desktop as the saver found it
  OffscreenImage picture_;  // Pic_Back: the sphere's picture
  std::wstring bitmapFolder_;  // where the bitmaps went, when not the root of C
  Timer timer1_;            // MP3 keep-alive
  Timer timer2_;            // CD poll
  Timer timer3_;            // renderer watch
  PlatformMusic music_;
  HANDLE renderer_ = nullptr;
  ULONGLONG rendererStartedAt_ = 0;
  RendererWatch watch_;
  StartRecorder record_;
};

// Form_Load. Every step copes with its own failure, so a step that fails
// leaves the rest to run.
void SaverScreen::OnLoad() {
  record_.Step("load");
  FitToScreen();
  const CaptureOutcome capture = JudgeCapture(CaptureDesktop());
  record_.Capture(capture);
  record_.Step("captured");
  // Where the capture cannot have seen the user's desktop, the desktop as
  // Windows draws it without windows takes its place; should that fail,
  // the capture stays.
  if (capture != CaptureOutcome::Used) {
    StandInReport report;
    record_.StandIn(DrawDesktopStandIn(display_, &report), report);
  }
  record_.Step("stand-in");
  // Both files are complete before the renderer starts: it reads them once
  // during its set-up.
  SaveBitmaps();
  record_.Step("picture-saved");
  StartRenderer();
  record_.RendererStarted(renderer_ != nullptr);
  record_.Step("renderer-started");
  StartMusicOfSettings();
  record_.Step("music-started");
}

// The borderless window covers the screen, and Display takes the whole screen
// in real pixels: what the window's client would be in a process that sees
// the screen unscaled.
void SaverScreen::FitToScreen() {
  SetWindowPos(Hwnd(), nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const SIZE screen = ScreenSizeInRealPixels();
  display_.Resize(screen.cx, screen.cy);
}

// False when the platform's calls failed.
bool SaverScreen::CaptureDesktop() {
  if (!display_.Dc()) return false;
  RealPixelsScope real;  // a scaled screen DC would copy only its top-left part
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  if (!screen) return false;
  // The saver screen is hidden, so the picture shows only what lies below.
  const bool copied = BitBlt(display_.Dc(), 0, 0, display_.Width(), display_.Height(), screen, 0, 0, SRCCOPY);
  ReleaseDC(desktop, screen);
  return copied;
}

// Windows starts an idle saver on a desktop of its own, whose empty surface
// is all a capture finds there: black, one colour, or a failed call. On any
// other desktop a capture that shows something is the user's screen.
CaptureOutcome SaverScreen::JudgeCapture(bool captured) {
  if (!captured) return CaptureOutcome::Failed;
  if (OnScreenSaverDesktop()) return CaptureOutcome::ScreenSaverDesktop;
  GdiFlush();
  return IsFlatPicture(display_.Pixels(), display_.Width(), display_.Height(),
                       static_cast<size_t>(display_.Width()) * 4)
             ? CaptureOutcome::Flat
             : CaptureOutcome::Used;
}

// Pic_Back's picture, drawn into an image of its box.
void SaverScreen::DrawPicture() {
  HBITMAP picture = LoadJpegPicture(IDR_JPEG_BACK);
  if (!picture) return;
  HDC source = CreateCompatibleDC(nullptr);
  if (source && picture_.Resize(kPictureSize, kPictureSize)) {
    HGDIOBJ old = SelectObject(source, picture);
    BitBlt(picture_.Dc(), 0, 0, kPictureSize, kPictureSize, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
  }
  if (source) DeleteDC(source);
  DeleteObject(picture);
}

// Which pictures the saver holds went there (one it does not hold counts as
// written). Each is tried, whatever became of the other.
SaverScreen::Saved SaverScreen::SaveBitmapsIn(const std::wstring& folder) {
  Saved saved;
  saved.desktop = !display_.Dc() || display_.SaveBitmap(folder + Wide(kDesktopBitmap));
  TraceStep("desktop-saved");
  if (!picture_.Dc()) DrawPicture();  // once, whichever folder takes it
  saved.picture = !picture_.Dc() || picture_.SaveBitmap(folder + Wide(kPictureBitmap));
  return saved;
}

// A 64-bit host run by a standard user, or a 32-bit one where the
// administrator turned file virtualization off, may not create files in the
// root of C; the show would then run without the desktop on its body.
void SaverScreen::SaveBitmaps() {
  const Saved inRoot = SaveBitmapsIn(Wide(kBitmapRoot));
  if (inRoot.desktop && inRoot.picture) return;
  wchar_t localAppData[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              localAppData))) {
    return;
  }
  const std::wstring own = localAppData + Wide(kOwnBitmapFolder);
  CreateDirectoryW(own.c_str(), nullptr);
  // The renderer reads both pictures from one folder. The desktop decides:
  // from the root of C it would show an old desktop of an earlier run, while
  // a sphere picture missing here costs only the backdrop.
  if (SaveBitmapsIn(own).desktop) bitmapFolder_ = own;
}

void SaverScreen::StartRenderer() {
  rendererStartedAt_ = GetTickCount64();
  // Directly from its path: the ".dll" name must not go through file types.
  // Without an argument it reads the bitmaps from the root of C.
  const std::wstring arguments = bitmapFolder_.empty() ? std::wstring() : L"\"" + bitmapFolder_ + L"\"";
  // Windows lets a program take the foreground only when one that may hands
  // it on; without this the show can open behind other windows and never
  // see the Escape key.
  AllowSetForegroundWindow(ASFW_ANY);
  if (!StartProgram(RendererFilePath(app::ProgramFolder()), arguments, kNormalWithFocus, &renderer_)) {
    renderer_ = nullptr;
  }
}

void SaverScreen::StartMusicOfSettings() {
  MusicTimers timers = StartMusic(music_, BgmKind, BgmFile);
  timer1_.SetEnabled(timers.mp3KeepAlive);
  timer2_.SetEnabled(timers.cdPoll);
}

bool SaverScreen::RendererProcessEnded() const {
  // A renderer that never started counts as ended.
  return renderer_ == nullptr || WaitForSingleObject(renderer_, 0) != WAIT_TIMEOUT;
}

void SaverScreen::Timer1_Timer() { music_.Mp3Repeat(); }

void SaverScreen::Timer2_Timer() { timer2_.SetEnabled(PollCd(music_)); }

void SaverScreen::Timer3_Timer() {
  HWND window = FindWindowW(nullptr, Wide(kRendererTitle).c_str());
  const bool end = watch_.ShouldEnd(window != nullptr, RendererProcessEnded(),
                                    GetTickCount64() - rendererStartedAt_);
  // The start's record, once the show has begun (or, through the close
  // below, once it never will).
  record_.Watch(window, renderer_);
  if (!end) return;
  TraceStep("renderer-gone");
  timer3_.SetEnabled(false);
  Close();
}

// Form_QueryUnload: whatever asked for the close, stop the music, give the
// pointer back and end the host. It never cancels.
void SaverScreen::OnQueryUnload(bool* cancel, int unloadMode) {
  (void)cancel;
  (void)unloadMode;
  record_.Finish();
  MusicTimers running;
  running.mp3KeepAlive = timer1_.Enabled();
  running.cdPoll = timer2_.Enabled();
  StopMusic(music_, BgmKind, BgmFile, running, [this](const MusicTimers& timers) {
    timer1_.SetEnabled(timers.mp3KeepAlive);
    timer2_.SetEnabled(timers.cdPoll);
  });
  TraceStep("music-stopped");
  GivePointerBack(app::CommandLine(), &CursorShowCount,
                  [](int32_t flag) { return static_cast<int32_t>(ShowCursor(flag)); });
  TraceStep("end");
  app::EndProcess(0);
}

}  // namespace

void CreateSaverScreen() {
  // Lives until the process ends: its close handler ends the process.
  static SaverScreen* screen = new SaverScreen();
  screen->Load();
}

}  // namespace numerabo
