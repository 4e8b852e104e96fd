#pragma once

// Tovix as a user starts it, on the fake of Windows, and what a user does
// to it: keys typed, clicks on its icon, time passing.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "app/application.h"
#include "fake.h"
#include "indicator/keyboard_hook.h"

constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kOlive = 0x008080;  // red 0x80, green 0x80, no blue

class RunningApp : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  // Whatever the test did, the program gives back all it took.
  void TearDown() override {
    app.reset();
    EXPECT_EQ(fake::desktop.faults, std::vector<std::string>{});
    EXPECT_TRUE(fake::desktop.iconImages.empty() && fake::desktop.fonts.empty() && fake::desktop.openDCs == 0);
  }

  bool start() {
    app.emplace();
    return app->startUp();
  }
  // Started, and a second later, the panel hidden again.
  void startAndSettle() {
    ASSERT_TRUE(start());
    fake::advance(1000);
  }

  static HWND panel() { return FindWindowA("TovixForm", nullptr); }
  static HWND receiver() { return FindWindowA("TovixPicture", nullptr); }
  static fake::Window& window(HWND hwnd) { return fake::desktop.windows.at(hwnd); }
  static bool panelShows() { return panel() != nullptr && window(panel()).visible; }
  // Still running as the user left it: its icon, its keys, its hook.
  static bool running() {
    return fake::desktop.tray.size() == 1 && fake::desktop.hotKeys.size() == 3 && !fake::desktop.quit;
  }

  // A key event as the low-level hook gets it, released or pressed.
  static LRESULT key(DWORD vk, bool released, int nCode = HC_ACTION) {
    KBDLLHOOKSTRUCT event = {vk, 0x3A, released ? LLKHF_UP : 0u, 123456, 0};
    return KeyboardHookProc(nCode, released ? 0x101 : 0x100, reinterpret_cast<LPARAM>(&event));
  }
  // A mouse message of the notification icon.
  static void tray(UINT mouseMessage) { SendMessageA(receiver(), WM_MOUSEMOVE, 0, mouseMessage); }
  static void hotKey(int id) { SendMessageA(panel(), WM_HOTKEY, static_cast<WPARAM>(id), 0); }

  // The lamps as the panel paints them, left to right.
  static std::vector<COLORREF> lamps() {
    SendMessageA(panel(), WM_PAINT, 0, 0);
    auto drawn = window(panel()).ellipses;
    std::sort(drawn.begin(), drawn.end(), [](const auto& a, const auto& b) { return a.first.left < b.first.left; });
    std::vector<COLORREF> colours;
    for (const auto& [rect, fill] : drawn) colours.push_back(fill);
    return colours;
  }

  std::optional<Application> app;
};
