// The keyboard hook runs inside every keystroke of the desktop: it passes
// each on at once, unchanged, and must not allocate or set a timer.

#include <cstdlib>
#include <new>

#include "running_app.h"

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using KeyboardHook = RunningApp;

TEST_F(KeyboardHook, EveryEventIsPassedOnOnceUnchanged) {
  fake::answers.nextHookResult = 0x5A5A;
  startAndSettle();
  const HHOOK hook = *fake::desktop.hooks.begin();
  for (const DWORD vk : {0x14u, 0x90u, 0x91u, 0x41u, 0x10u, 0xB7u}) {
    for (const DWORD flags : {0x00u, 0x80u, 0x91u}) {
      KBDLLHOOKSTRUCT event = {vk, 0x3A, flags, 1, 0};
      const auto lParam = reinterpret_cast<LPARAM>(&event);
      fake::desktop.passedOn.clear();
      EXPECT_EQ(KeyboardHookProc(HC_ACTION, 0x101, lParam), 0x5A5A);
      EXPECT_EQ(fake::desktop.passedOn, (decltype(fake::desktop.passedOn){{hook, HC_ACTION, 0x101, lParam}}));
      EXPECT_EQ(event.vkCode, vk);
      EXPECT_EQ(event.flags, flags);
    }
  }
  // Other codes: the record is not to be read, here at an invalid address.
  for (const int nCode : {-1, -1000, 3}) {
    fake::desktop.passedOn.clear();
    EXPECT_EQ(KeyboardHookProc(nCode, 0x100, 0x10), 0x5A5A);
    EXPECT_EQ(fake::desktop.passedOn, (decltype(fake::desktop.passedOn){{hook, nCode, 0x100, 0x10}}));
  }
}

// Injected and extended releases count too; the panel shows once the key is
// on its way, never inside the hook.
TEST_F(KeyboardHook, LockKeyReleaseShowsThePanelWithThatKeysLamp) {
  startAndSettle();
  const int keys[] = {VK_NUMLOCK, VK_CAPITAL, VK_SCROLL};
  for (int lamp = 0; lamp < 3; ++lamp) {
    for (const WORD state : {0xFF81, 0xFF80, 0x0001, 0x0000}) {
      fake::answers.keyStates[keys[lamp]] = static_cast<SHORT>(state);
      key(keys[lamp], false);
      fake::dispatch();
      EXPECT_FALSE(panelShows()) << "a press shows nothing";
      key(keys[lamp], true);
      EXPECT_FALSE(panelShows());
      fake::dispatch();
      EXPECT_TRUE(panelShows());
      EXPECT_FALSE(window(panel()).activated);
      EXPECT_EQ(lamps()[lamp], state == 0xFF81 ? kGreen : kOlive) << lamp << " " << std::hex << state;
      fake::advance(1000);
    }
  }
  for (const DWORD other : {0x41u, 0x10u, 0x15u, 0x92u}) key(other, true);
  fake::dispatch();
  EXPECT_FALSE(panelShows());
}

// Every key, a lock key or not, starts the second over, without a call to
// Windows' timer per key.
TEST_F(KeyboardHook, ThePanelHidesASecondAfterTheLastKey) {
  startAndSettle();
  key(VK_NUMLOCK, true);
  fake::dispatch();
  fake::advance(600);
  const int timersSet = fake::desktop.timersSet;
  for (int i = 0; i < 50; ++i) key('A', i % 2 == 1);
  EXPECT_EQ(fake::desktop.timersSet, timersSet);
  fake::advance(999);
  EXPECT_TRUE(panelShows());
  fake::advance(1);
  EXPECT_FALSE(panelShows());
}

TEST_F(KeyboardHook, NoAllocationForAnyEvent) {
  fake::answers.keyStates = {{VK_CAPITAL, static_cast<SHORT>(0xFF81)}};
  startAndSettle();
  fake::desktop.passedOn.reserve(64);  // the fake's own record of the events
  fake::desktop.queue.reserve(64);
  counting = true;
  for (const DWORD vk : {0x14u, 0x90u, 0x91u, 0x41u, 0xB7u}) {
    for (const bool released : {false, true}) key(vk, released);
  }
  key(0x41, true, -1);
  counting = false;
  EXPECT_EQ(allocations, 0);
  fake::dispatch();
  EXPECT_TRUE(panelShows());  // the events did reach the panel
}

}  // namespace
