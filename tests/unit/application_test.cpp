#include "app/application.h"

#include <gtest/gtest.h>

#include "colours.h"
#include "fake.h"
#include "platform/instance_marker_name.h"
#include "recorder.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  void TearDown() override { EXPECT_EQ(fake::desktop().faults, std::vector<std::string>{}); }

  // The hooks, hot keys and notification icons the program holds.
  static std::vector<std::size_t> held() {
    const fake::Desktop& desktop = fake::desktop();
    return {desktop.hooks.size(), desktop.hotKeys.size(), desktop.tray.size()};
  }
  static std::vector<std::size_t> all() { return {1, 3, 1}; }
  static std::vector<std::size_t> none() { return {0, 0, 0}; }
};

// The order in which a first copy acquires what it holds.
TEST_F(ApplicationTest, FirstCopyAcquiresEverythingInOrderThenShowsThePanel) {
  fake::answers().keyboard[0x14] = 1;
  Application app;
  const win::Handle panel = app.panel().hwnd();
  const fake::FormState& form = fake::form(panel);
  fake::calls().clear();

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               fake::call("SetWindowPos", panel, -1, 0, 0, 0, 0, 0x1 | 0x2 | 0x10),
                               fake::call("Shell_NotifyIconA", 0, app.panel().trayReceiver.hwnd(), 1),
                               fake::call("Tovix.Move", 1024 * 15 - form.width, 768 * 15 - form.height - 500),
                               "GlobalAddAtomA(Bexil)",
                               "GlobalAddAtomA(Bexil1)",
                               "GlobalAddAtomA(Bexil2)",
                               "GetVersionExA(148)",
                               fake::call("RegisterHotKey", panel, -16383, 0x4000, 0xB6),
                               fake::call("RegisterHotKey", panel, -16382, 0x4000, 0xB7),
                               fake::call("RegisterHotKey", panel, -16381, 0x4000, 0xB5),
                               "GetKeyboardState()",
                               fake::call("capsLamp.FillColor", kGreen),
                               fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
                               "Tovix.WatchResume()",
                               "Tovix.Show()",
                               "hideTimer.Enabled(1)",
                           }));
  // The icon's messages come back as WM_MOUSEMOVE, which trayReceiver decodes:
  // uCallbackMessage, at byte 16 of the 88-byte record.
  const std::vector<std::uint8_t>& record = fake::desktop().tray.begin()->second;
  ASSERT_EQ(record.size(), 88u);
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 16, record.begin() + 20),
            (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x00}));
  EXPECT_EQ(fake::desktop().topmost, std::set<win::Handle>{panel});
}

TEST_F(ApplicationTest, RefusedHookIsReportedOnceAndStartUpGoesOn) {
  fake::answers().hookHandle = 0;
  Application app;

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(fake::desktop().messageBoxes,
            std::vector<std::string>{"Tovix: Failed to install low-level keyboard hook."});
  EXPECT_EQ(held(), (std::vector<std::size_t>{0, 3, 1}));
  EXPECT_TRUE(app.panel().visible());
  EXPECT_TRUE(app.panel().hideTimerArmed());
}

TEST_F(ApplicationTest, SecondCopyHandsTheFocusOverAndAcquiresNothing) {
  fake::answers().previousInstance = true;
  Application app;

  EXPECT_FALSE(app.startUp());

  // To Tovix's panel only, whatever else carries the caption, giving up on a
  // hung one within a second.
  ASSERT_EQ(fake::desktop().sent.size(), 1u);
  const fake::Desktop::Message& handOver = fake::desktop().sent[0];
  EXPECT_EQ(handOver.hwnd, fake::answers().otherPanel);
  EXPECT_EQ(handOver.message, 7u);  // WM_SETFOCUS
  EXPECT_EQ(handOver.flags & 2, 2u);  // SMTO_ABORTIFHUNG
  EXPECT_LE(handOver.timeoutMs, 1000u);
  EXPECT_EQ(held(), none());
  EXPECT_FALSE(app.panel().visible());
  EXPECT_EQ(app.panel().form().caption(), "Bexil's Tovix");
}

TEST_F(ApplicationTest, ACopyStartedWhileTheFirstEndsRunsInItsPlace) {
  fake::answers().previousInstance = true;
  fake::answers().otherPanel = 0;  // the first copy's panel is gone
  fake::answers().previousInstanceEnds = true;
  Application app;

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(app.panel().form().caption(), "Tovix");
  EXPECT_TRUE(app.panel().visible());
  EXPECT_EQ(held(), all());

  // One whose panel does not answer, and that does not end within the
  // wait, leaves this copy to end.
  fake::answers().otherPanel = 0x9990;
  fake::answers().handOverAnswered = false;
  fake::answers().previousInstanceEnds = false;
  Application third;
  EXPECT_FALSE(third.startUp());
  EXPECT_FALSE(third.panel().visible());
}

// The order in which an ending copy lets go.
TEST_F(ApplicationTest, CloseRequestReleasesInItsOrderThenUnloadsThePanel) {
  fake::answers().hookHandle = 0x777;
  Application app;
  app.startUp();
  const win::Handle panel = app.panel().hwnd();
  fake::calls().clear();

  app.panel().form().onCloseRequest();

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               // First: a copy starting meanwhile must not hand over to this one.
                               "Tovix.Caption(Bexil's Tovix)",
                               fake::call("UnhookWindowsHookEx", 0x777),
                               fake::call("Shell_NotifyIconA", 2, app.panel().trayReceiver.hwnd(), 1),
                               fake::call("UnregisterHotKey", panel, -16383),
                               fake::call("UnregisterHotKey", panel, -16382),
                               fake::call("UnregisterHotKey", panel, -16381),
                               "Bexil's Tovix.UnwatchResume()",
                               "Bexil's Tovix.Unload()",
                               "EndMessageLoop()",
                           }));
}

TEST_F(ApplicationTest, ExitLeavesNothingHeldWithOrWithoutAHook) {
  for (const win::Handle hook : {0x777u, 0u}) {
    fake::reset();
    fake::answers().hookHandle = hook;
    Application app;
    app.startUp();

    app.tray().exitProgram();

    EXPECT_EQ(held(), none()) << hook;
    EXPECT_FALSE(app.panel().form().loaded()) << hook;
    EXPECT_TRUE(fake::desktop().messageLoopEnded) << hook;
  }
}

TEST_F(ApplicationTest, ExitWithAboutOpenReleasesAtOnceAndEndsWhenAboutCloses) {
  Application app;
  app.startUp();
  app.tray().showAbout();
  ASSERT_NE(app.about(), nullptr);

  app.tray().exitProgram();

  EXPECT_EQ(held(), none());
  EXPECT_FALSE(app.panel().form().loaded());
  EXPECT_TRUE(app.about()->form().visible());
  EXPECT_FALSE(fake::desktop().messageLoopEnded);

  app.about()->onOk();
  EXPECT_EQ(app.about(), nullptr);
  EXPECT_TRUE(fake::desktop().messageLoopEnded);
}

TEST_F(ApplicationTest, ResumeInstallsTheHookAnewAndSetsLampsFromTheToggles) {
  fake::answers().hookHandle = 0x777;
  fake::answers().keyboard[0x90] = 0x01;  // Num on at start-up
  Application app;
  app.startUp();
  fake::answers().hookHandle = 0x888;
  fake::answers().keyStates = {{0x90, 0x0000}, {0x14, static_cast<std::int16_t>(0xFF81)}, {0x91, 0x0001}};

  ASSERT_TRUE(fake::resume(app.panel().hwnd()));

  ASSERT_EQ(fake::desktop().hooks.size(), 1u);
  EXPECT_EQ(fake::desktop().hooks.begin()->first, 0x888u);
  const auto& lamps = fake::form(app.panel().hwnd()).shapes;
  EXPECT_EQ(lamps.at("numLamp"), kOlive);
  EXPECT_EQ(lamps.at("capsLamp"), kGreen);
  EXPECT_EQ(lamps.at("scrollLamp"), kGreen);

  app.shutDown();
  EXPECT_TRUE(fake::desktop().hooks.empty());
  EXPECT_FALSE(fake::resume(app.panel().hwnd()));
}

TEST_F(ApplicationTest, TaskbarRestartPutsTheSameIconBack) {
  Application app;
  app.startUp();
  const auto added = fake::desktop().tray;

  fake::desktop().tray.clear();  // the taskbar starts over with no icons
  app.panel().form().onTaskbarCreated();
  EXPECT_EQ(fake::desktop().tray, added);

  // After Exit there is no icon to put back.
  app.shutDown();
  app.panel().form().onTaskbarCreated();
  EXPECT_TRUE(fake::desktop().tray.empty());
}

}  // namespace

namespace {

TEST(InstanceMarker, IsNamedForTheUserItRunsAs) {
  const std::string mine = tk::instanceMarkerName("S-1-5-21-1004336348-1177238915-682003330-1001");
  EXPECT_NE(mine.find("S-1-5-21-1004336348-1177238915-682003330-1001"), std::string::npos);
  EXPECT_NE(mine, tk::instanceMarkerName("S-1-5-21-1004336348-1177238915-682003330-1002"));
}

}  // namespace
