#pragma once

// Tovix as a user starts it, on the fake of Windows, and what a user does
// to it: keys typed, clicks on its icon and its menu, time passing.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "app/application.h"
#include "fake.h"
#include "indicator/keyboard_hook.h"

constexpr COLORREF kGreen = 0x00FF00, kOlive = 0x008080;  // olive: red 0x80, green 0x80, no blue

class RunningApp : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  // Whatever the test did, the program gives back all it took, in its order.
  void TearDown() override {
    app.reset();
    EXPECT_EQ(fake::desktop.faults, std::vector<std::string>{});
    EXPECT_TRUE(releasedAll());
    EXPECT_TRUE(fake::desktop.iconImages.empty() && fake::desktop.fonts.empty() && fake::desktop.openDCs == 0);
  }

  // Anew, once what ran so far has been checked as at the end of a test: no
  // copy running, the desktop and its answers as at first.
  void fresh() { TearDown(), fake::reset(); }
  bool start() { return app.emplace(), app->startUp(); }
  // Started, and a second later, the panel hidden again.
  void startAndSettle() {
    ASSERT_TRUE(start());
    fake::advance(1000);
  }

  static HWND find(const char* className) { return FindWindowA(className, nullptr); }
  static HWND panel() { return find("TovixForm"); }
  static fake::Window& window(HWND hwnd) { return fake::desktop.windows.at(hwnd); }
  static bool panelShows() { return panel() != nullptr && window(panel()).visible; }
  // Shown now, the panel shows for the second that follows and no longer.
  static bool showsForASecond() { return fake::advance(999), panelShows() && (fake::advance(1), !panelShows()); }
  // Shown or not, the panel took neither the activation, the foreground nor the focus.
  static bool panelPassive() {
    return !window(panel()).activated && fake::desktop.foreground != panel() && fake::desktop.focus != panel();
  }
  // The hook, the keys and the icon given back.
  static bool releasedAll() {
    return fake::desktop.hooks.empty() && fake::desktop.hotKeys.empty() && fake::desktop.tray.empty();
  }
  // Still running as the user left it: its icon, its keys, not ending.
  static bool running() {
    return fake::desktop.tray.size() == 1 && fake::desktop.hotKeys.size() == 3 && !fake::desktop.quit;
  }

  // A key event as the low-level hook gets it, its record at an address not
  // to be read for other codes than HC_ACTION. The hook passes it on once,
  // unchanged, returns the next hook's result and allocates nothing.
  static void hook(int nCode, DWORD vk, DWORD flags, WPARAM wParam) {
    KBDLLHOOKSTRUCT event = {vk, 0x3A, flags, 123456, 0};
    const LPARAM lParam = nCode == HC_ACTION ? reinterpret_cast<LPARAM>(&event) : 0x10;
    fake::desktop.passedOn.clear();
    fake::desktop.passedOn.reserve(1), fake::desktop.queue.reserve(fake::desktop.queue.size() + 1);
    fake::desktop.counting = true;
    const LRESULT result = KeyboardHookProc(nCode, wParam, lParam);
    fake::desktop.counting = false;
    EXPECT_TRUE(result == fake::answers.nextHookResult && fake::desktop.allocations == 0) << vk;
    EXPECT_EQ(fake::desktop.passedOn,
              (decltype(fake::desktop.passedOn){{*fake::desktop.hooks.begin(), nCode, wParam, lParam}}));
    EXPECT_TRUE(event.vkCode == vk && event.scanCode == 0x3A && event.flags == flags && event.time == 123456) << vk;
  }
  static void key(DWORD vk, bool released) {
    hook(HC_ACTION, vk, released ? LLKHF_UP : 0, released ? WM_KEYUP : WM_KEYDOWN);
  }
  // A mouse message of the notification icon; a right click clicks `item` in the menu.
  static void tray(UINT mouseMessage, const char* item = "") {
    fake::answers.menuClick = item;
    SendMessageA(find("TovixPicture"), WM_MOUSEMOVE, 0, mouseMessage);
  }
  static void hotKey(int id) { SendMessageA(panel(), WM_HOTKEY, static_cast<WPARAM>(id), 0); }

  // The lamps as the screen shows them, left to right, once the queue is handled.
  static std::vector<COLORREF> lamps() {
    fake::dispatch();
    auto drawn = window(panel()).ellipses;
    std::sort(drawn.begin(), drawn.end(), [](const auto& a, const auto& b) { return a.first.left < b.first.left; });
    std::vector<COLORREF> colours;
    for (const auto& [rect, fill] : drawn) colours.push_back(fill);
    return colours;
  }

  std::optional<Application> app;
};
