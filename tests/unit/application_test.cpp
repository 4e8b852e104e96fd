#include "app/application.h"

#include <gtest/gtest.h>

#include "fake.h"
#include "recorder.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
};

TEST_F(ApplicationTest, LoadGoesTopmostPlacesLightsHooksThenShows) {
  fake::answers().keyboard[0x14] = 1;
  Application app;
  fake::calls().clear();
  app.Form_Load();

  const win::Handle panel = app.panel().hwnd();
  const fake::FormState& form = fake::form(panel);
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               fake::call("SetWindowPos", panel, -1, 0, 0, 0, 0, 0x1 | 0x2 | 0x10),  // never activates
                               fake::call("Tovix.Move", 1024 * 15 - form.width, 768 * 15 - form.height - 500),
                               "GetKeyboardState()",
                               fake::call("Shape2.FillColor", LampOnColor),
                               fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
                               "Tovix.Show()",
                           }));
  EXPECT_TRUE(app.panel().hideTimerArmed());
}

TEST_F(ApplicationTest, CloseRequestRemovesTheHookAndEndsTheLoop) {
  fake::answers().hookHandle = 0x777;
  Application app;
  app.Form_Load();
  fake::calls().clear();

  app.panel().form().onCloseRequest();

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{fake::call("UnhookWindowsHookEx", 0x777), "quit(0)"}));
}

TEST_F(ApplicationTest, WithoutAHookCloseRemovesNothing) {
  fake::answers().hookHandle = 0;
  Application app;
  app.Form_Load();
  fake::calls().clear();

  app.panel().form().onCloseRequest();

  EXPECT_EQ(fake::calls(), (std::vector<std::string>{"quit(0)"}));
}

}  // namespace
