// The keyboard hook runs inside every keystroke of the desktop: it passes
// each on at once, unchanged, and must not allocate or set a timer.

#include "running_app.h"

namespace {

using KeyboardHook = RunningApp;

// Every kind of event and code, the lock keys' releases among them, which
// reach the panel.
TEST_F(KeyboardHook, EveryEventIsPassedOnOnceUnchangedWithoutAllocating) {
  fake::answers.nextHookResult = 0x5A5A;
  startAndSettle();
  for (const int nCode : {HC_ACTION, -1, -1000, 3}) {
    for (const DWORD vk : {0x14u, 0x90u, 0x91u, 0x41u, 0x10u, 0xB7u}) {
      for (const DWORD flags : {0x00u, 0x80u, 0x91u}) hook(nCode, vk, flags, flags ? WM_KEYUP : WM_SYSKEYDOWN);
    }
  }
  fake::dispatch();
  EXPECT_TRUE(panelShows());
}

// The panel shows once the key is on its way, never inside the hook, and
// paints each release's lamp. Any key starts its second over, without a call
// to Windows' timer per key.
TEST_F(KeyboardHook, ALockKeyReleaseShowsItsLampUntilASecondAfterTheLastKey) {
  startAndSettle();
  const int keys[] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};
  for (int lamp = 0; lamp < 3; ++lamp) {
    key(keys[lamp], false);
    fake::dispatch();
    EXPECT_FALSE(panelShows()) << "a press shows nothing";
    for (const WORD state : {0xFF81, 0xFF80, 0x0001, 0x0000, 0xFF81}) {
      fake::answers.keyStates[keys[lamp]] = static_cast<SHORT>(state);
      const bool shown = panelShows();
      key(keys[lamp], true);
      EXPECT_EQ(panelShows(), shown) << "not inside the hook";
      EXPECT_EQ(lamps().at(lamp), state == 0xFF81 ? kGreen : kOlive) << lamp << " " << std::hex << state;
    }
    EXPECT_TRUE(panelPassive() && showsForASecond());
  }
  for (const DWORD other : {0x41u, 0x10u, 0x15u, 0x92u}) key(other, true);
  fake::dispatch();
  EXPECT_FALSE(panelShows()) << "other keys show nothing";
  key(VK_NUMLOCK, true);
  fake::dispatch();
  fake::advance(600);
  const auto timers = fake::desktop.timers;
  for (int i = 0; i < 50; ++i) key('A', i % 2 == 1);
  EXPECT_EQ(fake::desktop.timers, timers);
  EXPECT_TRUE(showsForASecond());
}

}  // namespace
