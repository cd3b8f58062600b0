#include "host/saver/saver_logic.h"

#include <gtest/gtest.h>

#include "host/startup/text/conversions.h"
#include "host/startup/text/sjis.h"

#include <string>
#include <vector>

namespace numerabo {
namespace {

// Records every music call in order; CdPollOk answers what the test sets.
class RecordingMusic : public SaverMusic {
 public:
  std::vector<std::string> calls;
  bool pollOk = true;

  void CdOpen() override { calls.push_back("CdOpen"); }
  void CdPoll() override { calls.push_back("CdPoll"); }
  bool CdPollOk() override { return pollOk; }
  void CdStop() override { calls.push_back("CdStop"); }
  void Mp3Play() override { calls.push_back("Mp3Play"); }
  void Mp3Repeat() override { calls.push_back("Mp3Repeat"); }
  void Mp3Stop() override { calls.push_back("Mp3Stop"); }
  void WavPlay() override { calls.push_back("WavPlay"); }
  void WavStop() override { calls.push_back("WavStop"); }
};

using Calls = std::vector<std::string>;

struct MusicCase {
  int16_t kind;
  std::string file;
  Calls started;
  bool mp3Timer;
  bool cdTimer;
  Calls stopped;
};

TEST(SaverMusicTest, StartsAndStopsByKindAndEnding) {
  const std::vector<MusicCase> cases = {
      {0, "", {}, false, false, {}},
      {0, "C:\\a.wav", {}, false, false, {}},
      {1, "", {"CdOpen"}, false, true, {"CdStop"}},
      // A CD kind ignores whatever file is still named in the settings.
      {1, "C:\\a.mp3", {"CdOpen"}, false, true, {"CdStop"}},
      {2, "C:\\Music\\Song.Mp3", {"Mp3Play"}, true, false, {"Mp3Stop"}},
      {2, "C:\\a.wav", {"WavPlay"}, false, false, {"WavStop"}},
      {2, "C:\\A.WAV", {"WavPlay"}, false, false, {"WavStop"}},
      // ".wave" ends in "AVE": neither WAV nor MP3, so silence.
      {2, "C:\\a.wave", {}, false, false, {}},
      {2, "C:\\a.ogg", {}, false, false, {}},
      {2, "", {}, false, false, {}},
      {2, "av", {}, false, false, {}},
      {3, "C:\\a.mp3", {}, false, false, {}},
      {-1, "C:\\a.wav", {}, false, false, {}},
  };
  for (const MusicCase& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind) + " file " + c.file);
    RecordingMusic music;
    MusicTimers timers = StartMusic(music, c.kind, c.file);
    EXPECT_EQ(music.calls, c.started);
    EXPECT_EQ(timers.mp3KeepAlive, c.mp3Timer);
    EXPECT_EQ(timers.cdPoll, c.cdTimer);

    music.calls.clear();
    MusicTimers after = StopMusic(music, c.kind, c.file, timers);
    EXPECT_EQ(music.calls, c.stopped);
    EXPECT_FALSE(after.mp3KeepAlive);
    EXPECT_FALSE(after.cdPoll);
  }
}

TEST(SaverMusicTest, EndingIsTakenByCharactersNotBytes) {
  // "ＷＡＶ" in Shift-JIS is six bytes; its last three bytes are no ending.
  // And a name ending in a double-byte character whose trail byte is 'V'
  // (0x83 0x56) must not read as "...AV" plus that byte.
  EXPECT_EQ(FileMusicOf(2, "C:\\x.\x82\x76\x82\x60\x82\x75"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, "C:\\x.wa\x83\x56"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, "C:\\\x83\x56.wav"), SaverFileMusic::Wav);
  EXPECT_EQ(FileMusicOf(2, "C:\\\x83\x5c.mP3"), SaverFileMusic::Mp3);
}

TEST(SaverMusicTest, FileKindIsTheLastThreeCharactersUpperCased) {
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\Song.Mp3"), SaverFileMusic::Mp3);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\a.wav"), SaverFileMusic::Wav);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\a.WAV"), SaverFileMusic::Wav);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\a.wave"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\a.mid"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\amp3"), SaverFileMusic::Mp3);  // no dot needed
  EXPECT_EQ(FileMusicOf(2, "wav"), SaverFileMusic::Wav);
  EXPECT_EQ(FileMusicOf(2, "av"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, ""), SaverFileMusic::None);
  EXPECT_EQ(UpperCase(LastCharacters("C:\\m\\Song.Mp3", 3)), "MP3");
}

TEST(SaverMusicTest, FileKindCountsShiftJisCharactersAndLeavesTrailBytes) {
  // 表 is 95 5C: its trail byte is a backslash.
  EXPECT_EQ(FileMusicOf(2, "C:\\\x95\x5C\\\x95\x5C.Wav"), SaverFileMusic::Wav);
  // A two-byte character whose trail byte is 'w' followed by "av": the last
  // three bytes spell "wav", the last three characters do not.
  EXPECT_EQ(UpperCase(LastCharacters("C:\\m\\a.\x83wav", 3)), "\x83wAV");
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\a.\x83wav"), SaverFileMusic::None);
  EXPECT_EQ(FileMusicOf(2, "C:\\m\\\x83mp3"), SaverFileMusic::None);
  // Two-byte characters in the ending itself stay whole.
  EXPECT_EQ(UpperCase(LastCharacters("C:\\\x83\x76\x83\x76\x83\x76", 3)), "\x83\x76\x83\x76\x83\x76");
  EXPECT_EQ(UpperCase(LastCharacters("a.\x83\x76mp", 3)), "\x83\x76MP");
  // Half-width katakana are single bytes.
  EXPECT_EQ(UpperCase(LastCharacters("\xCC\xA7\xB2\xD9", 3)), "\xA7\xB2\xD9");
  // A lone lead byte at the end is a character of its own.
  EXPECT_EQ(UpperCase(LastCharacters("abwa\x83", 3)), "WA\x83");
}

TEST(SaverMusicTest, CdStopOnlyWhilePollStillRuns) {
  RecordingMusic music;
  MusicTimers timers = StartMusic(music, 1, "");
  ASSERT_TRUE(timers.cdPoll);

  music.pollOk = true;
  EXPECT_TRUE(PollCd(music));
  music.pollOk = false;  // a CD error turns the poll off
  timers.cdPoll = PollCd(music);
  EXPECT_FALSE(timers.cdPoll);

  music.calls.clear();
  StopMusic(music, 1, "", timers);
  EXPECT_EQ(music.calls, Calls{});
}

TEST(SaverMusicTest, Mp3StopLeavesCdAloneAndTurnsKeepAliveOff) {
  RecordingMusic music;
  MusicTimers running;
  running.mp3KeepAlive = true;
  MusicTimers after = StopMusic(music, 2, "b.mp3", running);
  EXPECT_EQ(music.calls, Calls{"Mp3Stop"});
  EXPECT_FALSE(after.mp3KeepAlive);

  // A WAV kind never touches Timer1, even if something else enabled it.
  music.calls.clear();
  after = StopMusic(music, 2, "b.wav", running);
  EXPECT_EQ(music.calls, Calls{"WavStop"});
  EXPECT_TRUE(after.mp3KeepAlive);
}

TEST(SaverMusicTest, TimersGoOffBeforeTheirMusicStops) {
  RecordingMusic music;
  MusicTimers running;
  running.cdPoll = true;
  running.mp3KeepAlive = true;
  StopMusic(music, 2, "c.mp3", running, [&](const MusicTimers& t) {
    music.calls.push_back(std::string("timers cd=") + (t.cdPoll ? "1" : "0") +
                          " mp3=" + (t.mp3KeepAlive ? "1" : "0"));
  });
  EXPECT_EQ(music.calls, (Calls{"timers cd=0 mp3=1", "CdStop", "timers cd=0 mp3=0", "Mp3Stop"}));
}

TEST(SaverPointerTest, GivenBackOnlyForTheSSwitch) {
  struct Case {
    std::string commandLine;
    bool shown;
  };
  const std::vector<Case> cases = {
      {"/s", true}, {"/S", true}, {"-s", true}, {"xs", true}, {"/s 123", true},
      {"", false},  {"s", false}, {"/p 12", false}, {"/c", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("command line '" + c.commandLine + "'");
    std::vector<int32_t> flags;
    int32_t count = -1;
    GivePointerBack(c.commandLine, &count, [&](int32_t flag) {
      flags.push_back(flag);
      return 0;
    });
    if (c.shown) {
      EXPECT_EQ(flags, std::vector<int32_t>{-1});
      EXPECT_EQ(count, 0);
    } else {
      EXPECT_TRUE(flags.empty());
      EXPECT_EQ(count, -1);
    }
  }
}

TEST(SaverPointerTest, SavedCountIsTheShowFlag) {
  // A saved count of 0 is passed as FALSE and hides once more; the result
  // is what is kept.
  std::vector<int32_t> flags;
  int32_t count = 0;
  GivePointerBack("/s", &count, [&](int32_t flag) {
    flags.push_back(flag);
    return -1;
  });
  EXPECT_EQ(flags, std::vector<int32_t>{0});
  EXPECT_EQ(count, -1);

  count = 3;
  GivePointerBack("/S", &count, [&](int32_t flag) {
    flags.push_back(flag);
    return 4;
  });
  EXPECT_EQ(flags.back(), 3);
  EXPECT_EQ(count, 4);
}

TEST(RendererWatchTest, DecisionTable) {
  struct Case {
    bool seenBefore;
    bool windowFound;
    bool processEnded;
    uint64_t elapsedMs;
    bool ends;
  };
  const std::vector<Case> cases = {
      // Window there: always keep running, whoever owns it.
      {false, true, false, 500, false},
      {false, true, true, 500, false},
      {true, true, true, 60000, false},
      {false, true, false, 60000, false},
      // Not yet seen, still starting: wait.
      {false, false, false, 500, false},
      {false, false, false, 9999, false},
      // Not yet seen, but the process is gone or the grace is over.
      {false, false, true, 500, true},
      {false, false, false, 10000, true},
      {false, false, true, 20000, true},
      // Seen before and now gone: the show has ended, process or not.
      {true, false, false, 600, true},
      {true, false, true, 600, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "seen " << c.seenBefore << " found " << c.windowFound
                                      << " ended " << c.processEnded << " at " << c.elapsedMs);
    RendererWatch watch;
    if (c.seenBefore) {
      ASSERT_FALSE(watch.ShouldEnd(true, false, 0));
    }
    EXPECT_EQ(watch.ShouldEnd(c.windowFound, c.processEnded, c.elapsedMs), c.ends);
  }
}

TEST(RendererWatchTest, SlowStartThenEscape) {
  RendererWatch watch(10000);
  uint64_t t = 0;
  for (; t < 3000; t += 500) EXPECT_FALSE(watch.ShouldEnd(false, false, t)) << t;
  EXPECT_FALSE(watch.WindowSeen());
  for (; t < 8000; t += 500) EXPECT_FALSE(watch.ShouldEnd(true, false, t)) << t;
  EXPECT_TRUE(watch.WindowSeen());
  // The window closes; the process may linger a moment while it ends.
  EXPECT_TRUE(watch.ShouldEnd(false, false, t));
}

TEST(RendererWatchTest, LeftoverRendererWindowKeepsTheSaverRunning) {
  // Our renderer failed at once, but another window with its title is open.
  RendererWatch watch;
  EXPECT_FALSE(watch.ShouldEnd(true, true, 500));
  EXPECT_FALSE(watch.ShouldEnd(true, true, 30000));
  EXPECT_TRUE(watch.ShouldEnd(false, true, 30500));
}

TEST(SaverLogic, FlatPicturesAreWhatACaptureGivesWhereItSeesNothing) {
  std::vector<uint8_t> pixels(3 * 16, 0);
  for (size_t i = 0; i < pixels.size(); i += 4) {
    pixels[i] = 1, pixels[i + 1] = 2, pixels[i + 2] = 3, pixels[i + 3] = static_cast<uint8_t>(i);
  }
  // Rows of 3 pixels in a stride of 4: the fourth pixel is padding.
  pixels[12] = 99;
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 3, 3, 16));  // the unused byte and the padding differ
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 1, 1, 16));
  EXPECT_TRUE(IsFlatPicture(pixels.data(), 0, 3, 16));
  EXPECT_TRUE(IsFlatPicture(nullptr, 3, 3, 16));
  for (size_t at : {size_t{0}, size_t{16 + 4 + 1}, size_t{32 + 8 + 2}}) {
    std::vector<uint8_t> spoilt = pixels;
    spoilt[at] ^= 1;
    EXPECT_FALSE(IsFlatPicture(spoilt.data(), 3, 3, 16)) << at;
  }
}


}  // namespace
}  // namespace numerabo
