#include "indicator/keyboard_hook.h"

#include <gtest/gtest.h>

#include <optional>

#include "colours.h"
#include "fake.h"
#include "indicator/indicator_panel.h"
#include "launch/launch_keys.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

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
  }
  void TearDown() override { hook.reset(); }

  win::LResult send(int nCode, win::WParam message, std::uint32_t vk, std::uint32_t flags) {
    event = {vk, 0x3A, flags, 123456, 0};
    lParam = reinterpret_cast<win::LParam>(&event);
    return KeyboardHookProc(nCode, message, lParam);
  }

  // Every event reaches the next hook unchanged, once, and its answer is
  // the hook's; and every event starts the panel's second over.
  void expectPassedOnAndTimerArmed(win::LResult result, int nCode, win::WParam message) {
    EXPECT_EQ(result, 0x5A5A);
    EXPECT_EQ(fake::desktop().passedOn, (std::vector<fake::Desktop::PassedOn>{{kHook, nCode, message, lParam}}));
    EXPECT_TRUE(panel.hideTimerArmed());
    fake::desktop().passedOn.clear();
    panel.onHideTimer();
  }

  std::map<std::string, tk::Colour> lamps() const { return fake::form(panel.hwnd()).shapes; }

  IndicatorPanel panel;
  LaunchHotKeys launchKeys{panel};
  std::optional<KeyboardHook> hook;
  win::KBDLLHOOKSTRUCT event{};
  win::LParam lParam = 0;
};

TEST_F(KeyboardHookProcTest, LockKeyPressLeavesThePanelAsItIs) {
  const auto before = lamps();
  expectPassedOnAndTimerArmed(send(win::HC_ACTION, WM_KEYDOWN, 0x14, 0), 0, WM_KEYDOWN);
  fake::handleMessages();
  EXPECT_FALSE(panel.visible());
  EXPECT_EQ(lamps(), before);
}

// Injected and extended releases count too. The panel shows once the key is
// on its way, never inside the hook.
TEST_F(KeyboardHookProcTest, LockKeyReleaseShowsThePanelWithThatKeysLamp) {
  const struct {
    std::uint32_t vk;
    const char* shape;
  } keys[] = {{0x14, "capsLamp"}, {0x90, "numLamp"}, {0x91, "scrollLamp"}};
  for (const auto& key : keys) {
    for (const std::uint16_t state : {0xFF81, 0xFF80}) {
      for (const std::uint32_t flags : {win::LLKHF_UP, win::LLKHF_UP | 0x10 | 0x01}) {
        fake::answers().keyStates[static_cast<int>(key.vk)] = static_cast<std::int16_t>(state);
        auto expected = lamps();
        expected[key.shape] = state == 0xFF81 ? kGreen : kOlive;

        const win::LResult result = send(win::HC_ACTION, WM_KEYUP, key.vk, flags);

        EXPECT_FALSE(panel.visible()) << key.shape;
        expectPassedOnAndTimerArmed(result, 0, WM_KEYUP);
        EXPECT_EQ(lamps(), expected) << key.shape << " " << std::hex << state << " " << flags;
        fake::handleMessages();
        EXPECT_TRUE(panel.visible()) << key.shape;
        panel.hide();
      }
    }
  }
}

TEST_F(KeyboardHookProcTest, OtherKeysAndOtherCodesLeaveThePanelAsItIs) {
  const auto before = lamps();
  for (const std::uint32_t vk : {0x41u, 0x10u, 0xA0u, 0x0Du, 0x15u, 0x92u}) {
    expectPassedOnAndTimerArmed(send(win::HC_ACTION, WM_KEYUP, vk, win::LLKHF_UP), 0, WM_KEYUP);
  }
  for (const int nCode : {-1, -1000, 3}) {
    // An invalid address: the record must not be read for these codes.
    lParam = 0x10;
    expectPassedOnAndTimerArmed(KeyboardHookProc(nCode, WM_KEYUP, lParam), nCode, WM_KEYUP);
  }
  fake::handleMessages();
  EXPECT_FALSE(panel.visible());
  EXPECT_EQ(lamps(), before);
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

TEST(KeyboardHookLifetime, HeldForTheWholeDesktopWhileItLivesAndOnlyWhatItGotIsRemoved) {
  fake::reset();
  IndicatorPanel panel;
  LaunchHotKeys launchKeys(panel);
  {
    KeyboardHook hook(panel, launchKeys);
    EXPECT_TRUE(hook.installed());
    ASSERT_EQ(fake::desktop().hooks.size(), 1u);
    const fake::Desktop::Hook& held = fake::desktop().hooks.begin()->second;
    EXPECT_EQ(held.type, 13);  // WH_KEYBOARD_LL
    EXPECT_EQ(held.thread, 0u);
    EXPECT_EQ(held.instance, tk::appInstance());
  }
  EXPECT_TRUE(fake::desktop().hooks.empty());

  fake::answers().hookHandle = 0;
  {
    KeyboardHook refused(panel, launchKeys);
    EXPECT_FALSE(refused.installed());
  }
  EXPECT_EQ(fake::desktop().faults, std::vector<std::string>{});
}

}  // namespace
