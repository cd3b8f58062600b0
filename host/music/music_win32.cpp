// The music operations over the real platform calls of winmm.
#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/music/music.h"
#include "host/startup/files/path_lookup.h"
#include "host/startup/text/sjis.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {
namespace {

// The device's texts are Shift-JIS for the channel; the platform is asked
// in UTF-16, so neither a command's file name nor a reply depends on the
// system's code page.
void CopyReply(const std::vector<wchar_t>& wide, char* reply, uint32_t length) {
  if (reply == nullptr || length == 0) return;
  const std::string text = FirstBytes(Sjis(wide.data()), length - 1);
  std::memcpy(reply, text.c_str(), text.size() + 1);
}

class Win32MciDevice : public MciDevice {
public:
  uint32_t SendString(const char* command, char* reply, uint32_t length) override {
    std::vector<wchar_t> wide(length + 1, L'\0');
    const uint32_t code = mciSendStringW(Wide(command).c_str(), reply ? wide.data() : nullptr, length, nullptr);
    CopyReply(wide, reply, length);
    return code;
  }
  bool GetErrorString(uint32_t code, char* text, uint32_t length) override {
    std::vector<wchar_t> wide(length + 1, L'\0');
    if (!mciGetErrorStringW(code, wide.data(), length)) return false;
    CopyReply(wide, text, length);
    return true;
  }
};

// The sound player opens its file through the system's ANSI code page (as
// Wine's does, and the platform's own did for long): a name that code page
// cannot write is handed over by its short name, which is plain ASCII.
std::wstring SoundFileName(const std::wstring& path) {
  if (GetACP() == CP_UTF8) return path;  // every name has a UTF-8 form
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (!lost) return path;
  const std::wstring shortPath = ShortPathOf(path);
  return shortPath.empty() ? path : shortPath;
}

class Win32SoundPlayer : public SoundPlayer {
public:
  uint32_t WaveOutDevices() override { return waveOutGetNumDevs(); }
  void Play(const char* name, uint32_t flags) override {
    PlaySoundW(name ? SoundFileName(Wide(name)).c_str() : nullptr, nullptr, flags);
  }
};

}  // namespace

MciDevice& PlatformMciDevice() {
  static Win32MciDevice device;
  return device;
}

SoundPlayer& PlatformSoundPlayer() {
  static Win32SoundPlayer player;
  return player;
}

void CdOpen() { CdOpen(PlatformMciDevice()); }
void CdPoll() { CdPoll(PlatformMciDevice()); }
void CdStop() { CdStop(PlatformMciDevice()); }
void Mp3Play() { Mp3Play(PlatformMciDevice()); }
bool Mp3IsPlaying() { return Mp3IsPlaying(PlatformMciDevice()); }
void Mp3Repeat() { Mp3Repeat(PlatformMciDevice()); }
void Mp3Stop() { Mp3Stop(PlatformMciDevice()); }
void WavPlay() { WavPlay(PlatformSoundPlayer()); }
void WavStop() { WavStop(PlatformSoundPlayer()); }

}  // namespace numerabo
