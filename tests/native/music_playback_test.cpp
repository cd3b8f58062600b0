#include <gtest/gtest.h>

#include "host/music/playback.h"
#include "host/startup/shared_state.h"
#include "music_scripted_mci.h"

namespace numerabo {
namespace {

using testing::ScriptedMci;
using testing::ScriptedSound;
using Sent = ScriptedMci::Sent;
using Commands = std::vector<Sent>;

const char kCurrent[] = "status cdaudio current track";
const char kCount[] = "status cdaudio number of tracks";
const char kMode[] = "status cdaudio mode";

class MusicPlayback : public ::testing::Test {
protected:
  void SetUp() override {
    BgmKind = 0;
    BgmRepeat = 0;
    BgmFile.clear();
    CdPollOk = false;
  }
  void TearDown() override { SetUp(); }

  // A disc with 12 tracks that is on the given track and in the given mode.
  void Disc(const std::string& track, const std::string& mode) {
    mci.Reply(kCurrent, track);
    mci.Reply(kCount, "12");
    mci.Reply(kMode, mode);
  }

  ScriptedMci mci;
};

TEST_F(MusicPlayback, CdOpenPreparesTheDeviceWithoutPlaying) {
  CdOpen(mci);
  EXPECT_EQ(mci.sent, (Commands{{"open cdaudio", 0}, {"set cdaudio time format tmst", 0}}));
  EXPECT_FALSE(mci.mismatchedBuffers);
}

TEST_F(MusicPlayback, RepeatNoneStartsAStoppedDiscAndLeavesAPlayingOne) {
  Disc("1", "stopped");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
  EXPECT_EQ(mci.sent, (Commands{{kCurrent, 512}, {kCount, 512}, {kMode, 255}, {"play cdaudio", 512}}));

  mci.sent.clear();
  Disc("2", "playing");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
  EXPECT_EQ(mci.sent, (Commands{{kCurrent, 512}, {kCount, 512}, {kMode, 255}}));
  EXPECT_FALSE(mci.mismatchedBuffers);
}

TEST_F(MusicPlayback, RepeatTrackBringsTheDiscBackWhenTheNextTrackStarts) {
  BgmRepeat = 3;
  Disc("4", "playing");
  mci.Reply("status cdaudio position track 3", "03:00:00:00");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
  EXPECT_EQ(mci.sent, (Commands{{kCurrent, 512},
                                {kCount, 512},
                                {kMode, 255},
                                {"status cdaudio position track 3", 512},
                                {"play cdaudio from 03:00:00:00", 512}}));

  // On the track itself and playing: nothing to do. The number is compared
  // as a number, not as text.
  mci.sent.clear();
  Disc("03", "playing");
  CdPoll(mci);
  EXPECT_EQ(mci.sent.size(), 3u);

  // On the track but stopped (the disc ran out): start it again.
  mci.sent.clear();
  Disc("3", "stopped");
  CdPoll(mci);
  ASSERT_EQ(mci.sent.size(), 5u);
  EXPECT_EQ(mci.sent[4].command, "play cdaudio from 03:00:00:00");
}

TEST_F(MusicPlayback, StatusErrorsEndPolling) {
  mci.Fail(kCurrent, 266);  // no disc or no drive
  CdPoll(mci);
  EXPECT_FALSE(CdPollOk);
  EXPECT_EQ(mci.Commands(), (std::vector<std::string>{kCurrent}));

  mci.sent.clear();
  mci.Reply(kCurrent, "1");
  mci.Fail(kCount, 266);
  CdPoll(mci);
  EXPECT_FALSE(CdPollOk);
  EXPECT_EQ(mci.Commands(), (std::vector<std::string>{kCurrent, kCount}));

  // A poll that succeeds again after a failure reports so.
  mci.sent.clear();
  Disc("1", "playing");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
}

TEST_F(MusicPlayback, ATrackTextThatIsNoNumberEndsPollingWhenRepeating) {
  BgmRepeat = 3;
  for (const char* text : {"abc", "", "3a", "."}) {
    SCOPED_TRACE(text);
    mci.sent.clear();
    Disc(text, "stopped");
    CdPoll(mci);
    EXPECT_FALSE(CdPollOk);
    EXPECT_EQ(mci.sent.size(), 3u);  // nothing is played
  }
  mci.sent.clear();
  Disc(" 3 ", "playing");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
  EXPECT_EQ(mci.sent.size(), 3u);

  // Without a repeat track the number is never needed.
  BgmRepeat = 0;
  Disc("abc", "stopped");
  CdPoll(mci);
  EXPECT_TRUE(CdPollOk);
}

TEST_F(MusicPlayback, ARepeatTrackTheDiscLacksFailsQuietlyOnEveryTick) {
  BgmRepeat = 30;
  Disc("1", "playing");
  mci.Fail("status cdaudio position track 30", 277);
  mci.Fail("play cdaudio from Error:277", 277);
  for (int tick = 0; tick < 2; ++tick) {
    mci.sent.clear();
    CdPoll(mci);
    EXPECT_TRUE(CdPollOk);
    ASSERT_EQ(mci.sent.size(), 5u);
    EXPECT_EQ(mci.sent[4].command, "play cdaudio from Error:277");
  }
}

TEST_F(MusicPlayback, NoTickSendsMoreThanFiveCommands) {
  for (int16_t repeat : {0, 2, 5}) {
    for (const char* track : {"2", "5", "x"}) {
      for (const char* mode : {"stopped", "playing", "paused"}) {
        for (bool positionFails : {false, true}) {
          BgmRepeat = repeat;
          mci.sent.clear();
          Disc(track, mode);
          if (positionFails) mci.Fail("status cdaudio position track " + std::to_string(repeat), 277);
          CdPoll(mci);
          EXPECT_LE(mci.sent.size(), 5u) << repeat << track << mode;
        }
      }
    }
  }
}

TEST_F(MusicPlayback, CdStopStopsThenCloses) {
  CdStop(mci);
  EXPECT_EQ(mci.sent, (Commands{{"stop cdaudio", 0}, {"close cdaudio", 0}}));
}

TEST_F(MusicPlayback, Mp3PlayQuotesThePathAndPlaysOnlyWhenOpened) {
  BgmFile = "C:\\My Music\\tone 1.mp3";
  const std::string open = "open \"C:\\My Music\\tone 1.mp3\" type MPEGVideo Alias MP3Play";
  Mp3Play(mci);
  EXPECT_EQ(mci.sent, (Commands{{open, 0}, {"play MP3Play", 0}}));

  mci.sent.clear();
  mci.Fail(open, 275);
  Mp3Play(mci);
  EXPECT_EQ(mci.sent, (Commands{{open, 0}}));
  EXPECT_FALSE(mci.mismatchedBuffers);
}

TEST_F(MusicPlayback, Mp3PlayKeepsShiftJisPathBytes) {
  BgmFile = "C:\\\x95\x5C\\\x83\x76.mp3";  // 表 and プ: trail bytes '\' and 'v'
  Mp3Play(mci);
  ASSERT_FALSE(mci.sent.empty());
  EXPECT_EQ(mci.sent[0].command, "open \"C:\\\x95\x5C\\\x83\x76.mp3\" type MPEGVideo Alias MP3Play");
}

TEST_F(MusicPlayback, Mp3PathWithAQuoteIsNotOpened) {
  BgmFile = "C:\\a.mp3\" type waveaudio alias x wait \"C:\\b.mp3";
  Mp3Play(mci);
  EXPECT_TRUE(mci.sent.empty());
  EXPECT_EQ(Mp3OpenCommand(std::string("C:\\a\0b.mp3", 10)), "");
  EXPECT_EQ(Mp3OpenCommand("C:\\a.mp3"), "open \"C:\\a.mp3\" type MPEGVideo Alias MP3Play");

  // The keep-alive ticks that follow only fail silently.
  mci.Fail("status MP3Play mode", 263);
  Mp3Repeat(mci);
  EXPECT_EQ(mci.Commands(),
            (std::vector<std::string>{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
}

TEST_F(MusicPlayback, Mp3RepeatRestartsFromTheStartOnlyWhenNotPlaying) {
  mci.Reply("status MP3Play mode", "playing");
  EXPECT_TRUE(Mp3IsPlaying(mci));
  Mp3Repeat(mci);
  EXPECT_EQ(mci.sent, (Commands{{"status MP3Play mode", 30}, {"status MP3Play mode", 30}}));

  for (const char* mode : {"stopped", "paused", "play", "Playing"}) {
    SCOPED_TRACE(mode);
    mci.sent.clear();
    mci.Reply("status MP3Play mode", mode);
    Mp3Repeat(mci);
    EXPECT_EQ(mci.sent, (Commands{{"status MP3Play mode", 30}, {"stop MP3Play", 0}, {"play MP3Play from 0", 0}}));
  }
}

TEST_F(MusicPlayback, Mp3StopStopsThenCloses) {
  Mp3Stop(mci);
  EXPECT_EQ(mci.sent, (Commands{{"stop MP3Play", 0}, {"close MP3Play", 0}}));
}

TEST_F(MusicPlayback, WavPlaysLoopedOnlyWithAWaveDevice) {
  ScriptedSound sound;
  BgmFile = "C:\\m\\a.wav";
  sound.devices = 0;
  WavPlay(sound);
  EXPECT_TRUE(sound.calls.empty());

  sound.devices = 1;
  WavPlay(sound);
  ASSERT_EQ(sound.calls.size(), 1u);
  EXPECT_EQ(sound.calls[0].name, std::optional<std::string>("C:\\m\\a.wav"));
  EXPECT_EQ(sound.calls[0].flags, 9u);

  WavStop(sound);
  ASSERT_EQ(sound.calls.size(), 2u);
  EXPECT_FALSE(sound.calls[1].name.has_value());
  EXPECT_EQ(sound.calls[1].flags, 0u);
}

}  // namespace
}  // namespace numerabo
