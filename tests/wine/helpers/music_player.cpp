// Drives the host's music module the way the saver screen does, for the Wine
// suite. Commands:
//   devs                            prints the number of wave output devices
//   wav <path> <seconds> [<after>]  WavPlay, wait, WavStop, wait
//   mp3 <path> <seconds> [<after>]  Mp3Play, Mp3Repeat every 1000 ms, Mp3Stop, wait
//                                 ("ended" marks ticks that find it not playing)
//   cd <seconds>                    CdOpen, CdPoll every 200 ms while CdPollOk
//   query <command>                 one MciQuery
// Every line printed starts with the milliseconds since the program began.
#include <windows.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/music/music.h"
#include "host/startup/shared_state.h"

namespace {

using namespace numerabo;

DWORD startTicks;
UINT_PTR mp3Timer;
UINT_PTR cdTimer;
int cdPolls;

void Say(const std::string& line) {
  std::printf("%lu %s\n", static_cast<unsigned long>(GetTickCount() - startTicks), line.c_str());
  std::fflush(stdout);
}

std::string Number(long value) { return std::to_string(value); }

// Runs the thread's messages, timers included, for the given time.
void Pump(double seconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - GetTickCount(), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

void CALLBACK Mp3Tick(HWND, UINT, UINT_PTR, DWORD) {
  // Asked here only to log when the file has ended; Mp3Repeat asks again.
  if (!Mp3IsPlaying()) Say("ended");
  Mp3Repeat();
}

void CALLBACK CdTick(HWND, UINT, UINT_PTR, DWORD) {
  CdPoll();
  ++cdPolls;
  Say(std::string("poll ") + (CdPollOk ? "1" : "0"));
  if (!CdPollOk) {
    KillTimer(nullptr, cdTimer);
    cdTimer = 0;
  }
}

double Seconds(int argc, char** argv, int index) {
  return index < argc ? std::atof(argv[index]) : 0.0;
}

int Wav(int argc, char** argv) {
  BgmFile = argv[2];
  Say("devices " + Number(waveOutGetNumDevs()));
  WavPlay();
  Say("started");
  Pump(Seconds(argc, argv, 3));
  WavStop();
  Say("stopped");
  Pump(Seconds(argc, argv, 4));
  return 0;
}

int Mp3(int argc, char** argv) {
  BgmFile = argv[2];
  Mp3Play();
  Say(std::string("started ") + (Mp3IsPlaying() ? "1" : "0"));
  mp3Timer = SetTimer(nullptr, 0, 1000, Mp3Tick);
  Pump(Seconds(argc, argv, 3));
  KillTimer(nullptr, mp3Timer);
  Mp3Stop();
  Say(std::string("stopped ") + (Mp3IsPlaying() ? "1" : "0"));
  Pump(Seconds(argc, argv, 4));
  return 0;
}

int Cd(int argc, char** argv) {
  CdOpen();
  CdPollOk = true;
  cdTimer = SetTimer(nullptr, 0, 200, CdTick);
  Pump(Seconds(argc, argv, 2));
  if (cdTimer != 0) {
    KillTimer(nullptr, cdTimer);
    CdStop();
    Say("closed");
  }
  Say("polls " + Number(cdPolls));
  Say(std::string("CdPollOk ") + (CdPollOk ? "1" : "0"));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  startTicks = GetTickCount();
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "devs") {
    Say("devices " + Number(waveOutGetNumDevs()));
    return 0;
  }
  if (command == "wav" && argc > 3) return Wav(argc, argv);
  if (command == "mp3" && argc > 3) return Mp3(argc, argv);
  if (command == "cd" && argc > 2) return Cd(argc, argv);
  if (command == "query" && argc > 2) {
    Say("reply " + MciQuery(PlatformMciDevice(), argv[2]));
    return 0;
  }
  std::fprintf(stderr, "usage: music_player devs | wav|mp3 <path> <seconds> [<after>] | cd <seconds> | query <command>\n");
  return 2;
}
