#include "host/music/playback.h"

#include <cstring>

#include "host/startup/shared_state.h"
#include "host/startup/text/conversions.h"

namespace numerabo {

bool CdPollOk = false;

namespace {

// The mode queries have buffers of their own, kept for the whole run; only
// their first seven characters are ever looked at.
char cdModeBuffer[kCdModeSize];
char mp3ModeBuffer[kMp3ModeSize];

bool StartsWith7(const char* buffer, const char* mode) { return std::strncmp(buffer, mode, 7) == 0; }

// MciQuery turns every failure into "Error:<code>".
bool IsError(const std::string& reply) {
  return UpperCase(reply).find("ERR") != std::string::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number with optional blanks around it, an optional sign and an
// optional fraction, as a track number may come back.
bool ParseNumber(const std::string& text, double& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double number = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true) {
    number = number * 10 + (text[i] - '0');
  }
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, digits = true) {
      number += (text[i] - '0') * scale;
      scale /= 10;
    }
  }
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (!digits || i != text.size()) return false;
  value = negative ? -number : number;
  return true;
}

}  // namespace

void CdOpen(MciDevice& device) {
  MciSend(device, "open cdaudio");
  MciSend(device, "set cdaudio time format tmst");
}

void CdPoll(MciDevice& device) {
  CdPollOk = true;
  const std::string current = MciQuery(device, "status cdaudio current track");
  if (IsError(current)) {
    CdPollOk = false;
    return;
  }
  // Asked only to learn whether the disc still answers.
  const std::string count = MciQuery(device, "status cdaudio number of tracks");
  if (IsError(count)) {
    CdPollOk = false;
    return;
  }
  MciSendWithReply(device, "status cdaudio mode", cdModeBuffer, kCdModeSize);
  const bool stopped = StartsWith7(cdModeBuffer, "stopped");

  if (BgmRepeat != 0) {
    double track = 0;
    if (!ParseNumber(current, track)) {
      CdPollOk = false;
      return;
    }
    if (stopped || track != BgmRepeat) {
      // No end position: the disc plays on past the track until a later
      // tick sees another track number and brings it back.
      const std::string start =
          MciQuery(device, "status cdaudio position track " + std::to_string(BgmRepeat));
      MciPlay(device, "cdaudio", start, "");
    }
  } else if (stopped) {
    MciPlay(device, "cdaudio", "", "");
  }
}

void CdStop(MciDevice& device) {
  MciSend(device, "stop cdaudio");
  MciSend(device, "close cdaudio");
}

std::string Mp3OpenCommand(const std::string& path) {
  // The path comes from a hand-editable settings file. A double quote would
  // end the quoted name early and hand the rest to MCI as options, and a NUL
  // would cut the command short; such a path is not opened at all.
  if (path.find('"') != std::string::npos || path.find('\0') != std::string::npos) return "";
  return "open \"" + path + "\" type MPEGVideo Alias MP3Play";
}

void Mp3Play(MciDevice& device) {
  const std::string open = Mp3OpenCommand(BgmFile);
  if (open.empty()) return;
  if (MciSend(device, open) == 0) MciSend(device, "play MP3Play");
}

bool Mp3IsPlaying(MciDevice& device) {
  MciSendWithReply(device, "status MP3Play mode", mp3ModeBuffer, kMp3ModeSize);
  return StartsWith7(mp3ModeBuffer, "playing");
}

void Mp3Repeat(MciDevice& device) {
  if (Mp3IsPlaying(device)) return;
  MciSend(device, "stop MP3Play");
  MciSend(device, "play MP3Play from 0");
}

void Mp3Stop(MciDevice& device) {
  MciSend(device, "stop MP3Play");
  MciSend(device, "close MP3Play");
}

void WavPlay(SoundPlayer& player) {
  if (player.WaveOutDevices() == 0) return;
  player.Play(BgmFile.c_str(), kSoundAsync | kSoundLoop);
}

void WavStop(SoundPlayer& player) { player.Play(nullptr, 0); }

}  // namespace numerabo
