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

  // What startUp calls from the icon on, when this copy is the first.
  static std::vector<std::string> acquisitions(Application& app) {
    const win::Handle panel = app.panel().hwnd();
    const fake::FormState& form = fake::form(panel);
    return {
        fake::call("Shell_NotifyIconA", 0, app.panel().trayReceiver.hwnd(), 1),
        fake::call("Tovix.Move", 1024 * 15 - form.width, 768 * 15 - form.height - 500),
        "GlobalAddAtomA(Bexil)",
        "GlobalAddAtomA(Bexil1)",
        "GlobalAddAtomA(Bexil2)",
        // A held key's hot key comes once, where Windows can (MOD_NOREPEAT).
        "GetVersionExA(148)",
        fake::call("RegisterHotKey", panel, -16383, 0x4000, 0xB6),
        fake::call("RegisterHotKey", panel, -16382, 0x4000, 0xB7),
        fake::call("RegisterHotKey", panel, -16381, 0x4000, 0xB5),
        "GetKeyboardState()",
        fake::call("capsLamp.FillColor", kGreen),
        fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
    };
  }

  static std::string keepOnTop(Application& app) {
    return fake::call("SetWindowPos", app.panel().hwnd(), -1, 0, 0, 0, 0, 0x1 | 0x2 | 0x10);  // never activates
  }

  // A first copy's whole startUp, with what it reports after the hook.
  static std::vector<std::string> firstCopyLoad(Application& app, const std::vector<std::string>& afterHook) {
    std::vector<std::string> expected = {keepOnTop(app)};
    for (const std::string& call : acquisitions(app)) expected.push_back(call);
    expected.insert(expected.end(), afterHook.begin(), afterHook.end());
    expected.push_back("Tovix.WatchResume()");
    expected.push_back("Tovix.Show()");
    expected.push_back("hideTimer.Enabled(1)");
    return expected;
  }
};

TEST_F(ApplicationTest, FirstCopyAcquiresEverythingInOrderThenShowsThePanel) {
  fake::answers().keyboard[0x14] = 1;
  Application app;
  fake::calls().clear();

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(fake::calls(), firstCopyLoad(app, {}));
  // The icon's messages come back as WM_MOUSEMOVE, which trayReceiver decodes:
  // uCallbackMessage, at byte 16 of the 88-byte record.
  const std::vector<std::uint8_t>& record = fake::notifyCalls().at(0).bytes;
  ASSERT_EQ(record.size(), 88u);
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 16, record.begin() + 20),
            (std::vector<std::uint8_t>{0x00, 0x02, 0x00, 0x00}));
}

TEST_F(ApplicationTest, RefusedHookIsReportedOnceAndStartUpGoesOn) {
  fake::answers().hookHandle = 0;
  fake::answers().keyboard[0x14] = 1;
  Application app;
  fake::calls().clear();

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(fake::calls(), firstCopyLoad(app, {"MsgBox(Failed to install low-level keyboard hook.,Tovix)"}));
}

TEST_F(ApplicationTest, SecondCopyHandsTheFocusOverAndAcquiresNothing) {
  fake::answers().previousInstance = true;
  fake::answers().foundWindow = 0x9990;
  Application app;
  fake::calls().clear();

  EXPECT_FALSE(app.startUp());

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               keepOnTop(app),
                               "Tovix.Caption(Bexil's Tovix)",
                               // Tovix's panel only, whatever else carries the caption.
                               "FindWindowA(TovixForm,Tovix)",
                               // Gives up on a hung window within a second.
                               fake::call("SendMessageTimeoutA", 0x9990, 7, 0, "&0", 2, 1000),
                           }));
  EXPECT_FALSE(app.panel().visible());
}

TEST_F(ApplicationTest, ACopyStartedWhileTheFirstEndsRunsInItsPlace) {
  fake::answers().previousInstance = true;
  fake::answers().foundWindow = 0;  // the first copy's panel is gone
  fake::answers().previousInstanceEnds = true;
  Application app;

  EXPECT_TRUE(app.startUp());

  EXPECT_EQ(fake::form(app.panel().hwnd()).caption, "Tovix");
  EXPECT_TRUE(app.panel().visible());
  EXPECT_EQ(fake::notifyCalls().size(), 1u);

  // One whose panel does not answer, and that does not end within the
  // wait, leaves this copy to end.
  fake::answers().foundWindow = 0x9990;
  fake::answers().handOverAnswered = false;
  fake::answers().previousInstanceEnds = false;
  Application third;
  EXPECT_FALSE(third.startUp());
  EXPECT_FALSE(third.panel().visible());
}

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

TEST_F(ApplicationTest, WithoutAHookUnloadReleasesTheRest) {
  fake::answers().hookHandle = 0;
  Application app;
  app.startUp();
  fake::calls().clear();

  app.shutDown();

  ASSERT_EQ(fake::calls().size(), 5u);
  EXPECT_EQ(fake::calls().front().rfind("Shell_NotifyIconA(2,", 0), 0u) << fake::calls().front();
}

TEST_F(ApplicationTest, ExitWithAboutOpenReleasesAtOnceAndEndsWhenAboutCloses) {
  Application app;
  app.startUp();
  app.tray().showAbout();
  ASSERT_NE(app.about(), nullptr);
  fake::calls().clear();

  app.tray().exitProgram();

  EXPECT_EQ(fake::calls().size(), 8u);  // the caption, six releases and the panel's unload
  EXPECT_EQ(fake::calls().back(), "Bexil's Tovix.Unload()");
  EXPECT_TRUE(app.about()->form().visible());

  fake::calls().clear();
  app.about()->onOk();
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{"About.Unload()", "EndMessageLoop()"}));
  EXPECT_EQ(app.about(), nullptr);
}

TEST_F(ApplicationTest, ResumeInstallsTheHookAnewAndSetsLampsFromTheToggles) {
  fake::answers().hookHandle = 0x777;
  fake::answers().keyboard[0x90] = 0x01;  // Num on at start-up
  Application app;
  app.startUp();
  fake::calls().clear();
  fake::answers().hookHandle = 0x888;
  fake::answers().keyStates = {{0x90, 0x0000}, {0x14, static_cast<std::int16_t>(0xFF81)}, {0x91, 0x0001}};

  ASSERT_TRUE(fake::resume(app.panel().hwnd()));

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               fake::call("UnhookWindowsHookEx", 0x777),
                               fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
                               "GetKeyState(144)",
                               fake::call("numLamp.FillColor", kOlive),
                               "GetKeyState(20)",
                               fake::call("capsLamp.FillColor", kGreen),
                               "GetKeyState(145)",
                               fake::call("scrollLamp.FillColor", kGreen),
                           }));

  // The new hook is the one removed at the end.
  fake::calls().clear();
  app.shutDown();
  EXPECT_EQ(fake::calls().front(), fake::call("UnhookWindowsHookEx", 0x888));
  EXPECT_FALSE(fake::resume(app.panel().hwnd()));
}

TEST_F(ApplicationTest, TaskbarRestartPutsTheSameIconBack) {
  Application app;
  app.startUp();
  ASSERT_EQ(fake::notifyCalls().size(), 1u);
  const std::vector<std::uint8_t> added = fake::notifyCalls()[0].bytes;

  app.panel().form().onTaskbarCreated();

  ASSERT_EQ(fake::notifyCalls().size(), 2u);
  EXPECT_EQ(fake::notifyCalls()[1].message, 0u);
  EXPECT_EQ(fake::notifyCalls()[1].bytes, added);

  // After Exit there is no icon to put back.
  app.shutDown();
  app.panel().form().onTaskbarCreated();
  EXPECT_EQ(fake::notifyCalls().size(), 3u);  // only the removal
}

}  // namespace

namespace {

TEST(InstanceMarker, IsNamedForTheUserItRunsAs) {
  const std::string mine = tk::instanceMarkerName("S-1-5-21-1004336348-1177238915-682003330-1001");
  EXPECT_NE(mine.find("S-1-5-21-1004336348-1177238915-682003330-1001"), std::string::npos);
  EXPECT_NE(mine, tk::instanceMarkerName("S-1-5-21-1004336348-1177238915-682003330-1002"));
}

}  // namespace
