#include "host/saver/saver_logic.h"

#include "host/startup/command_line.h"
#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"

namespace numerabo {

SaverFileMusic FileMusicOf(int16_t bgmKind, const std::string& bgmFile) {
  if (bgmKind != 2) return SaverFileMusic::None;
  // Character-wise: the last bytes of a Shift-JIS name may be a trail byte.
  const std::string ending = UpperCase(LastCharacters(bgmFile, 3));
  if (ending == "WAV") return SaverFileMusic::Wav;
  if (ending == "MP3") return SaverFileMusic::Mp3;
  return SaverFileMusic::None;
}

MusicTimers StartMusic(SaverMusic& music, int16_t bgmKind, const std::string& bgmFile) {
  MusicTimers timers;
  if (bgmKind == 1) {
    // Opening only prepares the device; the first poll starts the disc.
    music.CdOpen();
    timers.cdPoll = true;
  }
  switch (FileMusicOf(bgmKind, bgmFile)) {
    case SaverFileMusic::Wav:
      music.WavPlay();  // loops by itself, no timer
      break;
    case SaverFileMusic::Mp3:
      music.Mp3Play();
      timers.mp3KeepAlive = true;
      break;
    case SaverFileMusic::None:
      break;
  }
  return timers;
}

bool PollCd(SaverMusic& music) {
  music.CdPoll();
  return music.CdPollOk();
}

MusicTimers StopMusic(SaverMusic& music, int16_t bgmKind, const std::string& bgmFile,
                      MusicTimers running,
                      const std::function<void(const MusicTimers&)>& applyTimers) {
  auto apply = [&] {
    if (applyTimers) applyTimers(running);
  };
  if (running.cdPoll) {
    running.cdPoll = false;
    apply();
    music.CdStop();
  }
  switch (FileMusicOf(bgmKind, bgmFile)) {
    case SaverFileMusic::Wav:
      music.WavStop();
      break;
    case SaverFileMusic::Mp3:
      running.mp3KeepAlive = false;
      apply();
      music.Mp3Stop();
      break;
    case SaverFileMusic::None:
      break;
  }
  return running;
}

void GivePointerBack(const std::string& commandLine, int32_t* cursorShowCount,
                     const std::function<int32_t(int32_t)>& showCursor) {
  if (SwitchOf(commandLine) != "S") return;
  *cursorShowCount = showCursor(*cursorShowCount);
}

bool RendererWatch::ShouldEnd(bool windowFound, bool processEnded, uint64_t elapsedMs) {
  if (windowFound) {
    windowSeen_ = true;
    return false;
  }
  return windowSeen_ || processEnded || elapsedMs >= graceMs_;
}

bool IsFlatPicture(const uint8_t* pixels, int32_t width, int32_t height, size_t stride) {
  if (!pixels || width <= 0 || height <= 0) return true;
  const uint8_t b = pixels[0], g = pixels[1], r = pixels[2];
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
    for (int32_t x = 0; x < width; ++x, row += 4) {
      if (row[0] != b || row[1] != g || row[2] != r) return false;
    }
  }
  return true;
}

}  // namespace numerabo
