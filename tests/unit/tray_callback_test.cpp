#include "tray/tray_callback.h"

#include <gtest/gtest.h>

#include <optional>

#include "app/application.h"
#include "fake.h"

namespace {

class TrayCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    app.emplace();
    app->startUp();
    app->panel().onHideTimer();  // a second after start-up
  }

  // Nothing the user could see or that reaches another window changed.
  static void expectNothingHappened(Application& app) {
    EXPECT_FALSE(app.panel().visible());
    EXPECT_TRUE(fake::form(app.panel().hwnd()).menu.empty());
    EXPECT_EQ(app.about(), nullptr);
    EXPECT_EQ(fake::desktop().foreground, 0u);
    EXPECT_TRUE(fake::desktop().posted.empty());
  }

  // The notification message as the toolkit reports it to trayReceiver.
  void notify(std::uint32_t message) {
    app->panel().trayReceiver.onMouseMove(1, 0, static_cast<float>(message) * fake::screen().twipsPerPixel, 0);
  }

  std::optional<Application> app;
};

TEST(TrayMessageNumber, RoundsToTheNearestTiesToEven) {
  EXPECT_EQ(trayMessageNumber(514 * 15.0f, 15), 514);
  EXPECT_EQ(trayMessageNumber(517 * 12.0f, 12), 517);
  EXPECT_EQ(trayMessageNumber(7717.5f, 15), 514);  // 514.5
  EXPECT_EQ(trayMessageNumber(7732.5f, 15), 516);  // 515.5
  EXPECT_EQ(trayMessageNumber(7717.6f, 15), 515);
  EXPECT_EQ(trayMessageNumber(-7710.0f, 15), -514);
}

TEST_F(TrayCallbackTest, OnlyButtonReleasesAct) {
  for (const std::uint32_t message : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0x208u, 0x0u, 0x7FFFu}) {
    notify(message);
  }
  expectNothingHappened(*app);
}

// The icon's messages arrive scaled by the screen's twips per pixel: 96, 120
// and 144 dots per inch.
TEST_F(TrayCallbackTest, LeftReleaseShowsThePanelForASecondAtAnyDensity) {
  for (const float twipsPerPixel : {15.0f, 12.0f, 10.0f}) {
    fake::screen().twipsPerPixel = twipsPerPixel;
    notify(0x202);
    EXPECT_TRUE(app->panel().visible()) << twipsPerPixel;
    fake::tick(app->panel().hwnd(), "hideTimer");
    EXPECT_FALSE(app->panel().visible()) << twipsPerPixel;
  }
}

TEST_F(TrayCallbackTest, RightReleaseBringsThePanelForwardPopsUpTheMenuThenPostsNull) {
  const win::Handle panel = app->panel().hwnd();
  notify(0x205);
  const fake::FormState& form = fake::form(panel);
  EXPECT_EQ(form.menu, (std::vector<std::string>{"About", "Exit"}));
  EXPECT_EQ(form.menuFlags, 2u);  // TPM_RIGHTBUTTON: the right button picks an item too
  EXPECT_EQ(form.foregroundAtMenu, panel);
  ASSERT_EQ(fake::desktop().posted.size(), 1u);
  EXPECT_EQ(fake::desktop().posted[0].hwnd, panel);
  EXPECT_EQ(fake::desktop().posted[0].message, 0u);  // WM_NULL
  EXPECT_EQ(app->about(), nullptr);
}

TEST_F(TrayCallbackTest, ExitUnloadsThePanel) {
  fake::answers().menuChoice = 1;  // "Exit"
  notify(0x205);
  EXPECT_FALSE(app->panel().form().loaded());
}

TEST_F(TrayCallbackTest, AboutIsCentredHalfTwipsIncludedAndOpensOnce) {
  const struct {
    float width;
    float height;
  } screens[] = {{1024, 768}, {1023, 767}, {801, 601}};
  AboutWindow* first = nullptr;
  for (const auto& s : screens) {
    fake::screen().widthTwips = s.width * 15;
    fake::screen().heightTwips = s.height * 15;
    fake::answers().menuChoice = 0;  // "About"
    notify(0x205);
    ASSERT_NE(app->about(), nullptr);
    if (first == nullptr) first = app->about();
    EXPECT_EQ(app->about(), first) << "the same About window every time";

    const fake::FormState& about = fake::form(app->about()->form().hwnd());
    EXPECT_FLOAT_EQ(about.left, (s.width * 15 - about.width) / 2) << s.width;
    EXPECT_FLOAT_EQ(about.top, (s.height * 15 - about.height) / 2) << s.height;
    EXPECT_TRUE(about.visible);
    EXPECT_FALSE(app->panel().visible());
  }
  // A 4545-twip-wide About window on a 1024-pixel screen: the half twip stays.
  fake::screen().widthTwips = 1024 * 15;
  notify(0x205);
  ASSERT_EQ(fake::form(app->about()->form().hwnd()).width, 4545.0f);
  EXPECT_EQ(fake::form(app->about()->form().hwnd()).left, 5407.5f);
}

TEST_F(TrayCallbackTest, AboutIsADialogThatHidesThePanelAndIsLoadedAgainAfterItsOk) {
  app->panel().show();
  fake::answers().menuChoice = 0;  // "About"
  notify(0x205);
  ASSERT_NE(app->about(), nullptr);
  EXPECT_EQ(fake::form(app->about()->form().hwnd()).style, tk::FormStyle::Dialog);
  EXPECT_FALSE(app->panel().visible());
  fake::click(app->about()->form().hwnd(), "OK");
  EXPECT_EQ(app->about(), nullptr);
  notify(0x205);
  ASSERT_NE(app->about(), nullptr);
  EXPECT_TRUE(app->about()->form().visible());
}

}  // namespace
