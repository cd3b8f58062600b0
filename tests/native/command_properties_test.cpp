// The image button's properties, their first-use rule and their storage.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/command/command_model.h"
#include "host/command/property_bag.h"

namespace numerabo {
namespace {

class Recorder : public CommandModel {
 public:
  std::vector<Face> faces;
  std::vector<std::string> notices;
  bool paintFails = false;
  Recorder() { PropertyChanged = [this](const std::string& k) { notices.push_back(k); }; }

 protected:
  bool PaintFace(Face f, const FaceGeometry&, bool) override {
    faces.push_back(f);
    return !paintFails;
  }
};

// -- the bag itself ---------------------------------------------------------------

TEST(CommandPropertyBag, TextRoundTripKeepsOrderAndAwkwardValues) {
  PropertyBag bag;
  bag.WriteText("Caption", "a=b\\c\nd", "Command");
  bag.WriteText("Empty", "", "x");
  bag.WriteBoolean("Enabled", false, true);
  PropertyBag back(bag.Text());
  ASSERT_EQ(back.Entries().size(), 3u);
  EXPECT_EQ(back.Entries()[0].first, "Caption");
  EXPECT_EQ(back.Read("Caption", ""), "a=b\\c\nd");
  EXPECT_TRUE(back.Has("Empty"));
  EXPECT_EQ(back.Read("Empty", "default"), "");
  EXPECT_EQ(back.Read("Enabled", ""), "False");
  EXPECT_EQ(back.Read("Missing", "dflt"), "dflt");
}

TEST(CommandPropertyBag, ParsesCrLfAndIgnoresJunkLines) {
  PropertyBag bag("Caption=設定\r\n\r\nno equals sign\n=orphan\nFont=X,9,400,1\n");
  EXPECT_EQ(bag.Entries().size(), 2u);
  EXPECT_EQ(bag.Read("Caption", ""), "設定");
}

TEST(CommandPropertyBag, WriteLeavesOutValuesEqualToTheConvertedDefault) {
  PropertyBag bag;
  bag.WriteInteger("FirstRun", 1, "1", 0, 255);
  bag.WriteInteger("Visible", 1, " 1 ", -32768, 32767);
  bag.WriteBoolean("Enabled", true, true);
  bag.WriteText("Caption", "Command", "Command");
  EXPECT_TRUE(bag.Entries().empty());
  bag.WriteInteger("FontColour", 255, "0", INT32_MIN, INT32_MAX);
  EXPECT_EQ(bag.Read("FontColour", ""), "255");
  bag.WriteInteger("FontColour", 0, "0", INT32_MIN, INT32_MAX);  // back to default: removed
  EXPECT_FALSE(bag.Has("FontColour"));
}

TEST(CommandPropertyBag, ConversionsRejectWhatDoesNotFit) {
  long long v = 42;
  EXPECT_FALSE(ParseInteger("256", 0, 255, v));
  EXPECT_FALSE(ParseInteger("-1", 0, 255, v));
  EXPECT_FALSE(ParseInteger("1x", 0, 255, v));
  EXPECT_FALSE(ParseInteger("", 0, 255, v));
  EXPECT_FALSE(ParseInteger("99999999999999999999999", INT32_MIN, INT32_MAX, v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseInteger(" 7 ", 0, 255, v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseInteger("&HFF", INT32_MIN, INT32_MAX, v));
  EXPECT_EQ(v, 255);
  EXPECT_TRUE(ParseInteger("&H80000008", INT32_MIN, INT32_MAX, v));
  EXPECT_EQ(v, static_cast<int32_t>(0x80000008u));
  EXPECT_TRUE(ParseInteger("True", -32768, 32767, v));
  EXPECT_EQ(v, -1);
  bool b = false;
  EXPECT_TRUE(ParseBoolean("-1", b));
  EXPECT_TRUE(b);
  EXPECT_TRUE(ParseBoolean("false", b));
  EXPECT_FALSE(b);
  EXPECT_FALSE(ParseBoolean("maybe", b));
}

TEST(CommandPropertyBag, FontText) {
  FontDesc f = DesignFont();
  f.weight = 700;
  f.italic = true;
  EXPECT_EQ(FormatFont(f), "ＭＳ Ｐゴシック,9.75,700,128,1,0");
  FontDesc back;
  ASSERT_TRUE(ParseFont(FormatFont(f), back));
  EXPECT_EQ(back, f);
  // The stored dialog form without style fields, and a face with a comma.
  FontDesc g;
  ASSERT_TRUE(ParseFont("ＭＳ Ｐゴシック,9.75,400,128", g));
  EXPECT_EQ(g.face, "ＭＳ Ｐゴシック");
  EXPECT_FLOAT_EQ(g.size, 9.75f);
  EXPECT_EQ(g.charset, 128);
  ASSERT_TRUE(ParseFont("Odd, Face,12,400,0,0,0", g));
  EXPECT_EQ(g.face, "Odd, Face");
  FontDesc h = DesignFont();
  EXPECT_FALSE(ParseFont(",12,400", h));
  EXPECT_FALSE(ParseFont("X,-3", h));
  EXPECT_FALSE(ParseFont("X,12,5000", h));
  EXPECT_FALSE(ParseFont("X,1e-64", h));  // positive, but 0 as the float kept
  EXPECT_EQ(h, DesignFont());
}

// -- properties of a new instance -----------------------------------------------------

TEST(CommandProperties, NewInstance) {
  Recorder c;
  EXPECT_EQ(c.State().Enabled, kFalse);
  EXPECT_EQ(c.State().FirstRun, 0);
  EXPECT_EQ(c.State().FaceState, kFaceUninitialised);
  EXPECT_EQ(c.Caption(), "Command");
  EXPECT_EQ(c.Font(), DesignFont());
  EXPECT_EQ(c.CaptionColour(), 0);
  EXPECT_EQ(c.BackgroundMode(), kBackgroundOpaque);
  EXPECT_FALSE(c.TimerRunning());
}

TEST(CommandProperties, FirstReadOfEnabledSwitchesANewInstanceOn) {
  Recorder c;
  EXPECT_TRUE(c.Enabled());
  EXPECT_EQ(c.State().FirstRun, 1);
  EXPECT_EQ(c.faces.back(), Face::Normal);
  EXPECT_TRUE(c.CaptionEnabled());
  c.SetEnabled(false);
  EXPECT_FALSE(c.Enabled());  // the rule runs once only
  EXPECT_EQ(c.faces.back(), Face::Disable);
}

TEST(CommandProperties, FontColourOnANewInstance) {
  Recorder a;  // enabled before ever read: every refresh resets to black
  a.SetEnabled(true);
  a.SetFontColour(0x0000FF);
  EXPECT_EQ(a.CaptionColour(), 0);

  Recorder b;  // still disabled: the colour stays
  b.SetFontColour(0x0000FF);
  EXPECT_EQ(b.CaptionColour(), 0x0000FF);
  EXPECT_EQ(b.FontColour(), 0x0000FF);

  Recorder c;  // once Enabled was read the colour stays
  EXPECT_TRUE(c.Enabled());
  c.SetFontColour(0x00FF00);
  EXPECT_EQ(c.FontColour(), 0x00FF00);
  EXPECT_EQ(c.notices, (std::vector<std::string>{"FontColour"}));
}

TEST(CommandProperties, ReadingFontColourOrVisibleRepaintsNormalKeepingFaceState) {
  Recorder c;
  c.ReadProperties(PropertyBag(""));
  c.Initialize();
  c.PointerMove(0, 0);
  ASSERT_EQ(c.faces.back(), Face::HighLight);
  c.FontColour();
  EXPECT_EQ(c.faces.back(), Face::Normal);
  EXPECT_EQ(c.State().FaceState, kFaceHovered);
  c.PointerMove(0, 0);
  EXPECT_EQ(c.faces.back(), Face::Normal);  // hover face returns only with a transition
  c.GotFocus();
  EXPECT_EQ(c.faces.back(), Face::Pressed);
  EXPECT_TRUE(c.Visible());
  EXPECT_EQ(c.faces.back(), Face::Normal);
}

TEST(CommandProperties, VisibleSwitchesTheBackgroundAndNotifies) {
  Recorder c;
  c.ReadProperties(PropertyBag(""));
  c.faces.clear();
  c.SetVisible(false);
  EXPECT_EQ(c.BackgroundMode(), kBackgroundTransparent);
  EXPECT_FALSE(c.Visible());
  EXPECT_TRUE(c.faces.empty());  // reading while transparent paints nothing
  c.SetVisible(true);
  EXPECT_EQ(c.BackgroundMode(), kBackgroundOpaque);
  EXPECT_EQ(c.faces.back(), Face::Normal);
  c.SetEnabled(false);
  c.faces.clear();
  c.SetVisible(true);  // disabled: the surface keeps what it showed
  EXPECT_TRUE(c.faces.empty());
  EXPECT_EQ(c.notices, (std::vector<std::string>{"Visible", "Visible", "Enabled", "Visible"}));
}

TEST(CommandProperties, CaptionAndFontNotify) {
  Recorder c;
  c.SetCaption("");
  FontDesc f = DesignFont();
  f.size = 12;
  c.SetFont(f);
  EXPECT_EQ(c.Caption(), "");
  EXPECT_EQ(c.Font().size, 12);
  EXPECT_EQ(c.notices, (std::vector<std::string>{"Caption", "Font"}));
}

TEST(CommandProperties, FailedPaintResetsTheCaptionColour) {
  Recorder c;
  c.ReadProperties(PropertyBag("FontColour=255\n"));
  ASSERT_EQ(c.CaptionColour(), 255);
  c.paintFails = true;
  c.FontColour();
  EXPECT_EQ(c.CaptionColour(), 0);
}

// -- storing and restoring --------------------------------------------------------------

TEST(CommandPersistence, WritesOnlyWhatDiffersInItsOrder) {
  Recorder c;
  c.SetAmbientFont(DesignFont());
  c.ReadProperties(PropertyBag("Caption=Command\n"));
  PropertyBag plain;
  c.WriteProperties(plain);
  EXPECT_TRUE(plain.Entries().empty()) << plain.Text();

  c.SetEnabled(false);
  c.SetCaption("設定");
  FontDesc f = DesignFont();
  f.face = "IPAPGothic";
  c.SetFont(f);
  c.SetFontColour(0x123456);
  c.SetVisible(false);
  PropertyBag bag;
  c.WriteProperties(bag);
  EXPECT_EQ(bag.Text(),
            "Enabled=False\nCaption=設定\nFont=IPAPGothic,9.75,400,128,0,0\nFontColour=1193046\nVisible=0\n");
}

TEST(CommandPersistence, NewInstanceStoresFirstRunZero) {
  Recorder c;
  PropertyBag bag;
  c.WriteProperties(bag);
  EXPECT_EQ(bag.Text(), "Enabled=False\nFirstRun=0\n");
  Recorder back;
  back.ReadProperties(PropertyBag(bag.Text()));
  EXPECT_EQ(back.State().FirstRun, 0);
  EXPECT_EQ(back.State().Enabled, kFalse);
  EXPECT_EQ(back.Caption(), "Command1");
}

TEST(CommandPersistence, CaptionCommandIsNotStoredAndReadsBackAsCommand1) {
  Recorder c;
  c.ReadProperties(PropertyBag(""));
  c.SetCaption("Command");
  PropertyBag bag;
  c.WriteProperties(bag);
  EXPECT_FALSE(bag.Has("Caption"));
  Recorder back;
  back.ReadProperties(PropertyBag(bag.Text()));
  EXPECT_EQ(back.Caption(), "Command1");

  for (const char* caption : {"", "Command1", "ｷｬﾝｾﾙ"}) {
    c.SetCaption(caption);
    PropertyBag b2;
    c.WriteProperties(b2);
    Recorder r;
    r.ReadProperties(PropertyBag(b2.Text()));
    EXPECT_EQ(r.Caption(), caption);
  }
}

TEST(CommandPersistence, StoredFontGivesOnlyItsFaceName) {
  Recorder c;
  c.ReadProperties(PropertyBag("Font=Bold Face,12,700,0,1,1\n"));
  FontDesc expected = DesignFont();
  expected.face = "Bold Face";
  EXPECT_EQ(c.Font(), expected);  // regular, 9.75 pt, not italic or underlined
}

TEST(CommandPersistence, AbsentEntriesRestoreDefaults) {
  Recorder c;
  FontDesc ambient = DesignFont();
  ambient.face = "Ambient";
  ambient.size = 20;
  c.SetAmbientFont(ambient);
  c.SetFontColour(0x00FF00);  // overwritten by the absent entry
  c.SetVisible(false);
  c.ReadProperties(PropertyBag(""));
  EXPECT_EQ(c.State().Enabled, kTrue);
  EXPECT_EQ(c.Caption(), "Command1");
  EXPECT_EQ(c.Font().face, "Ambient");
  EXPECT_FLOAT_EQ(c.Font().size, 9.75f);
  EXPECT_EQ(c.State().FirstRun, 1);
  EXPECT_EQ(c.CaptionColour(), 0);
  EXPECT_EQ(c.BackgroundMode(), kBackgroundOpaque);
  EXPECT_EQ(c.faces.back(), Face::Normal);  // the closing refresh
}

TEST(CommandPersistence, MalformedEntriesAreSkippedOneByOne) {
  Recorder c;
  c.ReadProperties(PropertyBag("Enabled=perhaps\nFirstRun=300\nFontColour=red\nVisible=70000\nFont=,\nCaption=OK\n"));
  EXPECT_EQ(c.State().Enabled, kFalse);  // kept from creation
  EXPECT_EQ(c.State().FirstRun, 0);
  EXPECT_EQ(c.CaptionColour(), 0);
  EXPECT_EQ(c.BackgroundMode(), kBackgroundOpaque);
  EXPECT_EQ(c.Font(), DesignFont());
  EXPECT_EQ(c.Caption(), "OK");
}

TEST(CommandPersistence, StoredDisabledRestoresWithoutPaintingNormal) {
  Recorder c;
  c.ReadProperties(PropertyBag("Enabled=False\n"));
  EXPECT_TRUE(c.faces.empty());
  c.Resized(1155, 375);
  EXPECT_EQ(c.faces.back(), Face::Disable);
  EXPECT_FLOAT_EQ(c.CaptionTopTw(), 80);
}

}  // namespace
}  // namespace numerabo
