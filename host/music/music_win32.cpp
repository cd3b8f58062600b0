// The music operations over the real platform calls of winmm.
#include <windows.h>
#include <mmsystem.h>

#include "host/music/music.h"

namespace numerabo {
namespace {

class Win32MciDevice : public MciDevice {
public:
  uint32_t SendString(const char* command, char* reply, uint32_t length) override {
    return mciSendStringA(command, reply, length, nullptr);
  }
  bool GetErrorString(uint32_t code, char* text, uint32_t length) override {
    return mciGetErrorStringA(code, text, length) != FALSE;
  }
};

class Win32SoundPlayer : public SoundPlayer {
public:
  uint32_t WaveOutDevices() override { return waveOutGetNumDevs(); }
  void Play(const char* name, uint32_t flags) override { PlaySoundA(name, nullptr, flags); }
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
