// The music module as the saver screen uses it: the playback operations
// bound to the platform's MCI, wave-out and sound-player calls. Each returns
// at once and never reports a failure (see host/music/playback.h).
#pragma once

#include "host/music/playback.h"

namespace numerabo {

void CdOpen();
void CdPoll();  // sets CdPollOk
void CdStop();

void Mp3Play();
bool Mp3IsPlaying();
void Mp3Repeat();
void Mp3Stop();

void WavPlay();
void WavStop();

// The platform's MCI channel and sound player, for code that sends commands
// of its own.
MciDevice& PlatformMciDevice();
SoundPlayer& PlatformSoundPlayer();

}  // namespace numerabo
