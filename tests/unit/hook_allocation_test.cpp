// The keyboard hook runs inside every keystroke of the desktop: it must not
// allocate. This binary counts the program's own allocations through a
// replaced global operator new.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <optional>

#include "fake.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "launch/launch_keys.h"
#include "platform/win_records.h"

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

TEST(KeyboardHookProcCost, NoAllocationForAnyEvent) {
  fake::reset();
  fake::answers().keyStates = {{0x14, static_cast<std::int16_t>(0xFF81)}, {0x90, 0}, {0x91, 1}};
  IndicatorPanel panel;
  LaunchHotKeys launchKeys(panel);
  std::optional<KeyboardHook> hook;
  hook.emplace(panel, launchKeys);
  fake::logging() = false;
  fake::desktop().passedOn.reserve(64);  // the fake's own record of the events

  counting = true;
  for (const std::uint32_t vk : {0x14u, 0x90u, 0x91u, 0x41u, 0xB7u}) {
    for (const std::uint32_t flags : {0x00u, 0x80u}) {
      win::KBDLLHOOKSTRUCT event = {vk, 0, flags, 0, 0};
      KeyboardHookProc(0, 0x100, reinterpret_cast<win::LParam>(&event));
    }
  }
  KeyboardHookProc(-1, 0x100, 0);
  counting = false;

  fake::logging() = true;
  EXPECT_EQ(allocations, 0);
  fake::handleMessages();
  EXPECT_TRUE(panel.visible());  // the events did reach the panel
}

}  // namespace
