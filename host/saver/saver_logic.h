// The saver screen's decisions, kept free of Win32 so they can be tested on
// their own: which music starts and stops for the chosen kind and file, when
// the pointer is given back, and when the renderer counts as gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace numerabo {

// The music module as the saver screen drives it. The host binds it to the
// platform's music; tests bind a recording fake.
class SaverMusic {
 public:
  virtual ~SaverMusic() = default;
  virtual void CdOpen() = 0;
  virtual void CdPoll() = 0;
  virtual bool CdPollOk() = 0;  // result of the last CdPoll
  virtual void CdStop() = 0;
  virtual void Mp3Play() = 0;
  virtual void Mp3Repeat() = 0;
  virtual void Mp3Stop() = 0;
  virtual void WavPlay() = 0;
  virtual void WavStop() = 0;
};

// How a music file of kind 2 is played, by the last three characters of its
// path upper-cased.
enum class SaverFileMusic { None, Wav, Mp3 };
SaverFileMusic FileMusicOf(int16_t bgmKind, const std::string& bgmFile);

// Enabled states of the two music timers: Timer1 keeps an MP3 going, Timer2
// polls the CD.
struct MusicTimers {
  bool mp3KeepAlive = false;  // Timer1
  bool cdPoll = false;        // Timer2
};

// Starts the music the settings ask for and says which timers must run. A
// failed music call still enables its timer: the timer's tick copes.
MusicTimers StartMusic(SaverMusic& music, int16_t bgmKind, const std::string& bgmFile);

// One CD poll; true while polling should go on.
bool PollCd(SaverMusic& music);

// Stops whatever runs. The CD is stopped only while its poll still runs: a
// poll that met an error has already given the device up. Each timer is
// switched off through applyTimers before its music is stopped, so that no
// tick can restart what is being stopped. Returns the timers as they are
// afterwards.
MusicTimers StopMusic(SaverMusic& music, int16_t bgmKind, const std::string& bgmFile,
                      MusicTimers running,
                      const std::function<void(const MusicTimers&)>& applyTimers = nullptr);

// The pointer was hidden only for the S switch, so only then is it shown
// again. The saved display count is handed to ShowCursor as its flag, which
// raises the count again for any non-zero value; the result replaces it.
void GivePointerBack(const std::string& commandLine, int32_t* cursorShowCount,
                     const std::function<int32_t(int32_t)>& showCursor);

// The renderer watch. The renderer needs a moment to open its window (under
// some platforms well over one tick), so a missing window ends the saver only
// once the renderer has really gone: its window was seen and has vanished,
// its process has ended, or the start-up grace is over.
class RendererWatch {
 public:
  static constexpr uint32_t kStartupGraceMs = 10000;

  explicit RendererWatch(uint32_t graceMs = kStartupGraceMs) : graceMs_(graceMs) {}

  // One watch tick. windowFound: a window with the renderer's title exists
  // (whoever owns it); processEnded: the renderer started by this saver has
  // ended, or never started; elapsedMs: time since the start. True when the
  // saver should end.
  bool ShouldEnd(bool windowFound, bool processEnded, uint64_t elapsedMs);

  bool WindowSeen() const { return windowSeen_; }

 private:
  uint32_t graceMs_;
  bool windowSeen_ = false;
};

// True when every pixel has the same colour, or there is no pixel at all:
// what a capture gives where it cannot see the user's desktop.
bool IsFlatPicture(const uint8_t* pixels, int32_t width, int32_t height, size_t stride);

}  // namespace numerabo
