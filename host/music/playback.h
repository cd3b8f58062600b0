// Background music of the saver: a music CD kept going by polling, an MP3
// file restarted whenever it has ended, or a WAV file that loops by itself.
// The operations read the shared music settings (BgmKind, BgmRepeat,
// BgmFile) and never report a failure: whatever fails simply stays silent.
//
// These are the platform-independent forms, taking the MCI device and the
// sound player to use; host/music/music.h offers the saver screen the same
// operations bound to the platform.
#pragma once

#include <cstdint>
#include <string>

#include "host/music/mci_channel.h"

namespace numerabo {

// waveOutGetNumDevs and PlaySound, behind a seam like the MCI calls.
class SoundPlayer {
public:
  virtual ~SoundPlayer() = default;
  virtual uint32_t WaveOutDevices() = 0;
  // PlaySound(name, NULL, flags); name is null to stop what plays.
  virtual void Play(const char* name, uint32_t flags) = 0;
};

constexpr uint32_t kSoundAsync = 0x0001;
constexpr uint32_t kSoundLoop = 0x0008;

// Sizes of the reply buffers of the two mode queries.
constexpr uint32_t kCdModeSize = 255;
constexpr uint32_t kMp3ModeSize = 30;

// Result of the last CdPoll: false once a poll met an error, which tells the
// saver screen to stop polling.
extern bool CdPollOk;

void CdOpen(MciDevice& device);
void CdPoll(MciDevice& device);
void CdStop(MciDevice& device);

void Mp3Play(MciDevice& device);
bool Mp3IsPlaying(MciDevice& device);
void Mp3Repeat(MciDevice& device);
void Mp3Stop(MciDevice& device);

void WavPlay(SoundPlayer& player);
void WavStop(SoundPlayer& player);

// The command that opens path as MP3Play, or "" when the path cannot be put
// between double quotes safely.
std::string Mp3OpenCommand(const std::string& path);

}  // namespace numerabo
