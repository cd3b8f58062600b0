#include <gtest/gtest.h>

#include "host/music/mci_channel.h"
#include "music_scripted_mci.h"

namespace numerabo {
namespace {

using testing::ScriptedMci;

TEST(MusicChannel, EmptyCommandIsRefusedWithoutCallingMci) {
  ScriptedMci mci;
  std::string text = "old";
  EXPECT_EQ(MciExecute(mci, "", text), -1);
  EXPECT_EQ(text, "コマンド文字列が指定されていません");
  EXPECT_EQ(MciQuery(mci, ""), "Error:-1");
  EXPECT_TRUE(mci.sent.empty());
  EXPECT_TRUE(mci.errorLookups.empty());
}

TEST(MusicChannel, QueryReturnsReplyThroughTheFullReplyBuffer) {
  ScriptedMci mci;
  mci.Reply("status cdaudio current track", "4");
  EXPECT_EQ(MciQuery(mci, "status cdaudio current track"), "4");
  ASSERT_EQ(mci.sent.size(), 1u);
  EXPECT_EQ(mci.sent[0].length, 512u);
  EXPECT_FALSE(mci.mismatchedBuffers);
}

TEST(MusicChannel, SuccessWithoutReplyDoesNotRepeatThePreviousReply) {
  ScriptedMci mci;
  mci.Reply("status cdaudio number of tracks", "12");
  EXPECT_EQ(MciQuery(mci, "status cdaudio number of tracks"), "12");
  // The device answers 0 and never touches the buffer.
  EXPECT_EQ(MciQuery(mci, "play cdaudio"), "");
  std::string text = "x";
  EXPECT_EQ(MciExecute(mci, "stop cdaudio", text), 0);
  EXPECT_EQ(text, "");
}

TEST(MusicChannel, FailureGivesPlatformTextOrFixedTextAndQueryGivesCode) {
  ScriptedMci mci;
  mci.Fail("open cdaudio", 266);
  mci.errorTexts[266] = "ドライバが見つかりません";
  std::string text;
  EXPECT_EQ(MciExecute(mci, "open cdaudio", text), 266);
  EXPECT_EQ(text, "ドライバが見つかりません");
  ASSERT_EQ(mci.errorLookups.size(), 1u);
  EXPECT_EQ(mci.errorLookups[0], std::make_pair(266u, 256u));

  mci.Fail("status cdaudio mode", 999);  // no text on the platform
  EXPECT_EQ(MciExecute(mci, "status cdaudio mode", text), 999);
  EXPECT_EQ(text, "Error (文字列が取れません)");
  EXPECT_EQ(MciQuery(mci, "status cdaudio mode"), "Error:999");
  EXPECT_EQ(MciQuery(mci, "open cdaudio"), "Error:266");
}

TEST(MusicChannel, PlayBuildsFourShapes) {
  ScriptedMci mci;
  MciPlay(mci, "cdaudio", "", "");
  MciPlay(mci, "cdaudio", "03:00:00:00", "");
  MciPlay(mci, "cdaudio", "", "05:00:00:00");
  MciPlay(mci, "cdaudio", "03:00:00:00", "05:00:00:00");
  EXPECT_EQ(mci.Commands(), (std::vector<std::string>{
                                "play cdaudio",
                                "play cdaudio from 03:00:00:00",
                                "play cdaudio to 05:00:00:00",
                                "play cdaudio from 03:00:00:00 to 05:00:00:00",
                            }));
  for (const auto& s : mci.sent) EXPECT_EQ(s.length, 512u);
  mci.Fail("play cdaudio from x", 277);
  EXPECT_EQ(MciPlay(mci, "cdaudio", "x", ""), 277);
}

// A device that fills the whole reply buffer and leaves no NUL in it.
class FloodingMci : public ScriptedMci {
public:
  uint32_t SendString(const char* command, char* reply, uint32_t length) override {
    sent.push_back({command, length});
    if (reply) std::memset(reply, '7', length);
    return 0;
  }
  bool GetErrorString(uint32_t, char* text, uint32_t length) override {
    std::memset(text, 'e', length);
    return true;
  }
};

TEST(MusicChannel, RepliesWithoutNulAreCutAtTheBufferSize) {
  FloodingMci mci;
  EXPECT_EQ(MciQuery(mci, "status cdaudio position"), std::string(512, '7'));

  class FailingFlood : public FloodingMci {
    uint32_t SendString(const char*, char*, uint32_t) override { return 5; }
  } failing;
  std::string text;
  EXPECT_EQ(MciExecute(failing, "status x", text), 5);
  EXPECT_EQ(text, std::string(256, 'e'));
}

}  // namespace
}  // namespace numerabo
