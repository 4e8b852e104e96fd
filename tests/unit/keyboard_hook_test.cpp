#include "indicator/keyboard_hook.h"

#include <gtest/gtest.h>

#include <optional>

#include "colours.h"
#include "fake.h"
#include "indicator/indicator_panel.h"
#include "launch/launch_keys.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"
#include "recorder.h"

namespace {

constexpr win::WParam WM_KEYDOWN = 0x100;
constexpr win::WParam WM_KEYUP = 0x101;
constexpr win::Handle kHook = 0x4242;

class KeyboardHookProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    fake::answers().hookHandle = kHook;
    fake::answers().nextHookResult = 0x5A5A;
    hook.emplace(panel, launchKeys);
    panel.onHideTimer();  // hidden and disarmed, as a second after start-up
    fake::calls().clear();
  }
  void TearDown() override { hook.reset(); }

  win::LResult send(int nCode, win::WParam message, std::uint32_t vk, std::uint32_t flags) {
    event = {vk, 0x3A, flags, 123456, 0};
    lParam = reinterpret_cast<win::LParam>(&event);
    return KeyboardHookProc(nCode, message, lParam);
  }

  std::string passedOn(int nCode, win::WParam message) const {
    return fake::call("CallNextHookEx", kHook, nCode, message, lParam);
  }

  IndicatorPanel panel;
  LaunchHotKeys launchKeys{panel};
  std::optional<KeyboardHook> hook;
  win::KBDLLHOOKSTRUCT event{};
  win::LParam lParam = 0;
};

TEST_F(KeyboardHookProcTest, LockKeyPressOnlyArmsTheTimer) {
  EXPECT_EQ(send(win::HC_ACTION, WM_KEYDOWN, 0x14, 0), 0x5A5A);
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{"hideTimer.Enabled(1)", passedOn(0, WM_KEYDOWN)}));
  EXPECT_FALSE(panel.visible());
}

TEST_F(KeyboardHookProcTest, LockKeyReleaseReadsStateThenShowsThenSetsLamp) {
  const struct {
    std::uint32_t vk;
    const char* shape;
  } keys[] = {{0x14, "capsLamp"}, {0x90, "numLamp"}, {0x91, "scrollLamp"}};
  for (const auto& key : keys) {
    for (const std::uint16_t state : {0xFF81, 0xFF80}) {
      fake::calls().clear();
      fake::answers().keyStates[static_cast<int>(key.vk)] = static_cast<std::int16_t>(state);
      const tk::Colour expected = state == 0xFF81 ? kGreen : kOlive;

      EXPECT_EQ(send(win::HC_ACTION, WM_KEYUP, key.vk, win::LLKHF_UP), 0x5A5A);

      EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                                   "hideTimer.Enabled(1)",
                                   fake::call("GetKeyState", key.vk),
                                   "Tovix.ShowSoon()",
                                   fake::call(std::string(key.shape) + ".FillColor", expected),
                                   passedOn(0, WM_KEYUP),
                               }))
          << key.shape << " " << std::hex << state;
      EXPECT_EQ(fake::form(panel.hwnd()).shapes.at(key.shape), expected);
    }
  }
}

TEST_F(KeyboardHookProcTest, InjectedAndExtendedReleasesCountToo) {
  fake::answers().keyStates[0x14] = static_cast<std::int16_t>(0xFF81);
  send(win::HC_ACTION, WM_KEYUP, 0x14, win::LLKHF_UP | 0x10 | 0x01);
  EXPECT_EQ(fake::form(panel.hwnd()).shapes.at("capsLamp"), kGreen);
  // Shown once the key is on its way, never inside the hook.
  EXPECT_FALSE(panel.visible());
  fake::handleMessages();
  EXPECT_TRUE(panel.visible());
}

TEST_F(KeyboardHookProcTest, OtherKeysOnlyArmTheTimer) {
  for (const std::uint32_t vk : {0x41u, 0x10u, 0xA0u, 0x0Du, 0x15u, 0x92u}) {
    fake::calls().clear();
    EXPECT_EQ(send(win::HC_ACTION, WM_KEYUP, vk, win::LLKHF_UP), 0x5A5A);
    EXPECT_EQ(fake::calls(), (std::vector<std::string>{"hideTimer.Enabled(1)", passedOn(0, WM_KEYUP)})) << vk;
  }
  EXPECT_FALSE(panel.visible());
}

TEST_F(KeyboardHookProcTest, NonActionCodesNeverReadTheRecord) {
  for (const int nCode : {-1, -1000, 3}) {
    fake::calls().clear();
    // An invalid address: the record must not be read for these codes.
    lParam = 0x10;
    EXPECT_EQ(KeyboardHookProc(nCode, WM_KEYUP, lParam), 0x5A5A);
    EXPECT_EQ(fake::calls(), (std::vector<std::string>{"hideTimer.Enabled(1)", passedOn(nCode, WM_KEYUP)})) << nCode;
  }
}

// Every key, a lock key or not, starts the second over.
TEST_F(KeyboardHookProcTest, ThePanelHidesASecondAfterTheLastKey) {
  fake::answers().keyStates[0x90] = static_cast<std::int16_t>(0xFF81);
  send(win::HC_ACTION, WM_KEYUP, 0x90, win::LLKHF_UP);
  fake::handleMessages();
  fake::advance(600);
  send(win::HC_ACTION, WM_KEYDOWN, 0x41, 0);
  fake::advance(600);
  EXPECT_TRUE(panel.visible());
  fake::advance(400);
  EXPECT_FALSE(panel.visible());
  EXPECT_FALSE(panel.hideTimerArmed());
}

TEST(KeyboardHookLifetime, InstallsForTheWholeDesktopAndRemovesOnlyWhatItGot) {
  fake::reset();
  IndicatorPanel panel;
  LaunchHotKeys launchKeys(panel);
  fake::calls().clear();
  {
    KeyboardHook hook(panel, launchKeys);
    EXPECT_TRUE(hook.installed());
  }
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{
                               fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0),
                               fake::call("UnhookWindowsHookEx", fake::answers().hookHandle),
                           }));

  fake::answers().hookHandle = 0;
  fake::calls().clear();
  {
    KeyboardHook refused(panel, launchKeys);
    EXPECT_FALSE(refused.installed());
  }
  EXPECT_EQ(fake::calls(), (std::vector<std::string>{fake::call("SetWindowsHookExA", 13, tk::appInstance(), 0)}));
}

}  // namespace
