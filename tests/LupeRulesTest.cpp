#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MyProfStr.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/support/TempFolder.h"
#include "viewing/LupeRules.h"
#include "viewing/LupeSettings.h"

namespace {

using namespace viewing;

TEST(LupeFactor, StepsStopAtTheirLimits) {
  struct Case {
    const char* what;
    float (*step)(float);
    float from;
    float expected;
  };
  for (const Case& c : {
           Case{"plus at 16 stays", FactorUp, 16.0f, 16.0f},
           Case{"plus at 15 reaches 16", FactorUp, 15.0f, 16.0f},
           Case{"plus from 1.33", FactorUp, 1.33f, 2.33f},
           Case{"key minus at 2 stays", FactorDownByKey, 2.0f, 2.0f},
           Case{"key minus from 3", FactorDownByKey, 3.0f, 2.0f},
           Case{"key minus at 1.66 stays", FactorDownByKey, 1.66f, 1.66f},
           Case{"wheel back from 2 reaches 1", FactorDownByWheel, 2.0f, 1.0f},
           Case{"wheel back at 1 stays", FactorDownByWheel, 1.0f, 1.0f},
           Case{"wheel back from 1.33 goes below 1", FactorDownByWheel, 1.33f, 0.33f},
       }) {
    EXPECT_FLOAT_EQ(c.step(c.from), c.expected) << c.what;
  }
}

TEST(LupeFactor, KeysStoredFormAndText) {
  EXPECT_EQ(FactorForKey('1'), 1.0f);
  EXPECT_EQ(FactorForKey('Q'), 1.33f);
  EXPECT_EQ(FactorForKey('W'), 1.66f);
  EXPECT_EQ(FactorForKey('2'), 2.0f);
  EXPECT_EQ(FactorForKey('9'), 9.0f);
  EXPECT_FALSE(FactorForKey('0'));
  EXPECT_FALSE(FactorForKey('P'));

  EXPECT_EQ(StoredFactor(1.33f), 1);
  EXPECT_EQ(StoredFactor(0.33f), 0);
  EXPECT_EQ(StoredFactor(16.0f), 16);
  EXPECT_EQ(FactorFromStored(0), 2.0f);
  EXPECT_EQ(FactorFromStored(-5), 2.0f);
  EXPECT_EQ(FactorFromStored(7), 7.0f);
  EXPECT_EQ(FactorFromStored(16), 16.0f);
  EXPECT_EQ(FactorFromStored(400), 16.0f);

  EXPECT_EQ(FactorText(2.0f), L"2.0 X ");
  EXPECT_EQ(FactorText(1.66f), L"1.7 X ");
}

TEST(LupeSize, EvenWithinTheScreenAndNotTooSmall) {
  const LupeSize screen{1280, 1023};
  struct Case {
    LupeSize wanted;
    LupeSize expected;
  };
  for (const Case& c : {
           Case{{600, 150}, {600, 150}}, Case{{301, 171}, {300, 170}}, Case{{99, 149}, {100, 150}},
           Case{{80, 130}, {100, 150}}, Case{{-20, -1}, {100, 150}},
           Case{{5001, 5000}, {1280, 1023}},  // the screen's own height may be odd
       }) {
    EXPECT_EQ(LimitedSize(c.wanted, screen), c.expected)
        << c.wanted.width << " x " << c.wanted.height;
  }
}

TEST(LupeView, WindowModeCentresOnTheCursor) {
  const LupeScreen screen{0, 0, 1280, 1024};
  LupeView view = ComputeLupeView(500, 400, {600, 150}, 2.0f, false, screen, 4, 4);
  EXPECT_EQ(view.centreX, 500);
  EXPECT_EQ(view.centreY, 400);
  EXPECT_EQ(view.window, (LupeRect{200, 325, 800, 475}));
  EXPECT_EQ(view.source, (LupeRect{350, 363, 650, 437}));  // 75 / 2 is 37 whole pixels

  // Near the edge the window may leave the screen; only full screen holds it.
  view = ComputeLupeView(10, 10, {600, 150}, 3.0f, false, screen, 4, 4);
  EXPECT_EQ(view.window, (LupeRect{-290, -65, 310, 85}));
  EXPECT_EQ(view.source, (LupeRect{-90, -15, 110, 35}));

  // Below 1 the source is larger than the window.
  view = ComputeLupeView(500, 400, {600, 150}, 0.5f, false, screen, 0, 0);
  EXPECT_EQ(view.source, (LupeRect{-100, 250, 1100, 550}));
}

TEST(LupeView, FullScreenPointsAtTheContentUnderTheCursor) {
  const LupeScreen screen{0, 0, 1280, 1024};
  const LupeSize full{1280, 1024};
  // 200 pixels right of the view centre at factor 2: the source centre is 100 right of it.
  LupeView view = ComputeLupeView(640 + 200, 512, full, 2.0f, true, screen, 0, 0);
  EXPECT_EQ(view.centreX, 640);
  EXPECT_EQ(view.centreY, 512);
  EXPECT_EQ(view.window, (LupeRect{0, 0, 1280, 1024}));
  EXPECT_EQ((view.source.left + view.source.right) / 2, 640 + 100);
  EXPECT_EQ(view.source, (LupeRect{420, 256, 1060, 768}));

  // Every cursor position shows the magnified image of the pixel under it:
  // window position x shows source.left + (x - window.left) / z.
  for (const int x : {0, 1, 333, 640, 1000, 1279}) {
    view = ComputeLupeView(x, 300, full, 4.0f, true, screen, 0, 0);
    const double shown = view.source.left + (x - view.window.left) / 4.0;
    EXPECT_NEAR(shown, x, 1.0) << x;
  }

  // At factor 1 the source is the screen, whatever the cursor.
  view = ComputeLupeView(10, 1000, full, 1.0f, true, screen, 0, 0);
  EXPECT_EQ(view.source, (LupeRect{0, 0, 1280, 1024}));

  // A virtual screen left of the primary one, and a window smaller than it
  // with a frame: held inside the screen widened by the frame.
  const LupeScreen wide{-1280, 0, 2560, 1024};
  view = ComputeLupeView(-1270, 5, {600, 150}, 2.0f, true, wide, 4, 3);
  EXPECT_EQ(view.window, (LupeRect{-1284, -3, -684, 147}));
  view = ComputeLupeView(1279, 1023, {600, 150}, 2.0f, true, wide, 4, 3);
  EXPECT_EQ(view.window, (LupeRect{684, 877, 1284, 1027}));
}

TEST(LupeTitle, FiveTitlesEvery200Ticks) {
  std::vector<std::wstring> titles;
  int counter = 0;
  for (int tick = 1; tick <= 2000; ++tick) {
    if (auto title = NextHintTitle(counter, false)) {
      EXPECT_EQ(tick % 200, 0) << tick;
      titles.push_back(*title);
    }
    EXPECT_GE(counter, 0);
    EXPECT_LT(counter, 1000);
  }
  ASSERT_EQ(titles.size(), 10u);
  EXPECT_EQ(titles[0], L"Click here to");
  EXPECT_EQ(titles[4], L"[CTRL+ESC]=To-Tray\n");
  EXPECT_EQ(titles[5], titles[0]);
  counter = 199;
  EXPECT_EQ(NextHintTitle(counter, true), L"Klicken Sie bitte hier ");
  counter = 999;
  EXPECT_EQ(NextHintTitle(counter, true), L"[UMSCHALT+ESC]=To-Tray\n");
  EXPECT_EQ(counter, 0);
}

TEST(LupeModes, XRunsThroughTheThree) {
  EXPECT_EQ(NextDisplayMode(0), 1);
  EXPECT_EQ(NextDisplayMode(1), 2);
  EXPECT_EQ(NextDisplayMode(2), 0);
}

class LupeSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    store.Init(temp.MakeFolder(L"program") + platform::kPathSeparator + L"Duplora.exe",
               temp.MakeFolder(L"appdata"));
  }
  std::string File() const {
    return platform::ReadFileBytes(store.SettingsPath()).value_or(std::string());
  }

  testsupport::TempFolder temp;
  app::CMyProfStr store;
};

TEST_F(LupeSettingsTest, WritesAllSixAndReadsThemBack) {
  LupeSettings written;
  written.size = {420, 260};
  written.factor = 1.33f;
  written.mode = 2;
  written.fullScreen = true;
  written.border = false;
  ASSERT_TRUE(WriteLupeSettings(store, written));
  const std::string file = File();
  for (const char* line :
       {"[LUPE]", "cx=420", "cy=260", "zoom=1", "zoom_mode=2", "full_screen=1", "window_border=0"})
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;

  LupeSettings read;
  ReadLupeSettings(store, read);
  EXPECT_EQ(read.size, (LupeSize{420, 260}));
  EXPECT_EQ(read.factor, 1.0f);
  EXPECT_EQ(read.mode, 2);
  EXPECT_TRUE(read.fullScreen);
  EXPECT_FALSE(read.border);
}

TEST_F(LupeSettingsTest, FactorBelowOneComesBackAsTwoAndMissingKeysKeepTheirValues) {
  LupeSettings shrunk;
  shrunk.factor = 0.33f;
  WriteLupeSettings(store, shrunk);
  EXPECT_NE(File().find("zoom=0"), std::string::npos);
  LupeSettings read;
  read.factor = 5.0f;
  ReadLupeSettings(store, read);
  EXPECT_EQ(read.factor, 2.0f);

  store.DeleteSection(L"LUPE");
  store.WriteInt(L"LUPE", L"zoom", 40);
  store.WriteInt(L"LUPE", L"zoom_mode", 7);
  LupeSettings present;
  present.size = {333, 222};
  present.mode = 1;
  present.border = false;
  ReadLupeSettings(store, present);
  EXPECT_EQ(present.factor, 16.0f);
  EXPECT_EQ(present.mode, 0);  // no such mode
  EXPECT_EQ(present.size, (LupeSize{333, 222}));
  EXPECT_FALSE(present.border);
}

}  // namespace
