#include "app/application.h"

#include <gtest/gtest.h>

#include "fake.h"
#include "recorder.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    trayIconCounter = 0;
  }
};

TEST_F(ApplicationTest, LoadAcquiresEverythingInItsOrderThenShows) {
  fake::answers().keyboard[0x14] = 1;
  Application app;
  fake::calls().clear();
  app.Form_Load();

  const win::Handle panel = app.panel().hwnd();
  const win::Handle picture = app.panel().Picture1.hwnd();
  const fake::FormState& form = fake::form(panel);
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               fake::call("SetWindowPos", panel, -1, 0, 0, 0, 0, 0x1 | 0x2 | 0x10),  // never activates
                               fake::call("Shell_NotifyIconA", 0, picture, 1),
                               fake::call("Tovix.Move", 1024 * 15 - form.width, 768 * 15 - form.height - 500),
                               "GlobalAddAtomA(Bexil)",
                               "GlobalAddAtomA(Bexil1)",
                               "GlobalAddAtomA(Bexil2)",
                               fake::call("RegisterHotKey", panel, -16383, 0, 0xB6),
                               fake::call("RegisterHotKey", panel, -16382, 0, 0xB7),
                               fake::call("RegisterHotKey", panel, -16381, 0, 0xB5),
                               fake::call("SetWindowLongA", panel, -4, "PanelWindowProc"),
                               "GetKeyboardState()",
                               fake::call("Shape2.FillColor", LampOnColor),
                               fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
                               "Tovix.Show()",
                           }));
  EXPECT_EQ(fake::notifyCalls().at(0).bytes.size(), 88u);
  EXPECT_TRUE(app.panel().hideTimerArmed());
}

TEST_F(ApplicationTest, CloseRequestReleasesInItsOrderAndEndsTheLoop) {
  fake::answers().hookHandle = 0x777;
  Application app;
  app.Form_Load();
  const win::Handle panel = app.panel().hwnd();
  fake::calls().clear();

  app.panel().form().onCloseRequest();

  const std::vector<std::string> released = {
      fake::call("UnhookWindowsHookEx", 0x777),
      fake::call("Shell_NotifyIconA", 2, app.panel().Picture1.hwnd(), 1),
      fake::call("SetWindowLongA", panel, -4, fake::answers().previousWindowProc),
      fake::call("UnregisterHotKey", panel, -16383),
      fake::call("UnregisterHotKey", panel, -16382),
      fake::call("UnregisterHotKey", panel, -16381),
  };
  std::vector<std::string> expected = released;
  expected.push_back("quit(0)");
  EXPECT_EQ(fake::calls(), expected);

  // A second close request finds nothing left to release.
  fake::calls().clear();
  app.panel().form().onCloseRequest();
  EXPECT_EQ(fake::calls(), std::vector<std::string>{"quit(0)"});
}

TEST_F(ApplicationTest, WithoutAHookCloseReleasesTheRest) {
  fake::answers().hookHandle = 0;
  Application app;
  app.Form_Load();
  fake::calls().clear();

  app.Form_QueryUnload();

  ASSERT_EQ(fake::calls().size(), 5u);
  EXPECT_EQ(fake::calls().front().rfind("Shell_NotifyIconA(2,", 0), 0u) << fake::calls().front();
}

}  // namespace
