#include <cstring>

#include "running_app.h"

namespace {

using Log = std::vector<std::string>;

// The notification icon's 88-byte record: the receiver, id 1, message, icon
// and tip fields, callback WM_MOUSEMOVE, the image the program holds, the
// tip, its NUL, then spaces.
std::vector<BYTE> iconRecord() {
  std::vector<BYTE> bytes;
  const auto handle = [](auto h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); };
  EXPECT_EQ(fake::desktop.iconImages.size(), 1u);
  const HICON image = fake::desktop.iconImages.begin()->first;
  for (const std::uint32_t field : {88u, handle(FindWindowA("TovixPicture", nullptr)), 1u, 7u, 0x200u, handle(image)}) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(field >> shift));
  }
  const char tip[] = "Tovix";
  bytes.insert(bytes.end(), tip, tip + sizeof tip);
  bytes.resize(88, ' ');
  return bytes;
}

TEST_F(RunningApp, FirstCopyAcquiresInOrderAndShowsThePanelForASecond) {
  fake::answers.keyboard[VK_CAPITAL] = 0x80;  // any non-zero byte lights the lamp
  ASSERT_TRUE(start());

  EXPECT_EQ(fake::desktop.log, (Log{"topmost", "running mark", "icon", "atom Bexil", "atom Bexil1", "atom Bexil2",
                                    "hot key", "hot key", "hot key", "hook", "show TovixForm"}));
  EXPECT_EQ(fake::desktop.topmost, std::set<HWND>{panel()});
  EXPECT_EQ(lamps(), (std::vector<COLORREF>{kOlive, kGreen, kOlive}));
  ASSERT_EQ(fake::desktop.tray.size(), 1u);
  EXPECT_EQ(fake::desktop.tray.begin()->second, iconRecord());
  EXPECT_EQ(fake::desktop.iconImages.begin()->second, 16);  // the small-icon size
  fake::advance(999);
  EXPECT_TRUE(panelShows());
  fake::advance(1);
  EXPECT_FALSE(panelShows());
  EXPECT_FALSE(window(panel()).activated);
}

// The fake's frame is 3 pixels wide with a 16-pixel caption bar.
TEST_F(RunningApp, ThePanelKeepsItsSizeInInchesOnTheRightEdgeAboveTheBottom) {
  const struct {
    int dpi, width, height, margin;
  } screens[] = {{96, 312, 97, 33}, {120, 390, 121, 42}, {144, 468, 146, 50}};
  for (const auto& s : screens) {
    app.reset();
    fake::reset();
    fake::answers.dpi = s.dpi;
    ASSERT_TRUE(start());
    const RECT frame = window(panel()).frame;
    EXPECT_EQ(frame.right - frame.left, s.width + 6) << s.dpi;
    EXPECT_EQ(frame.bottom - frame.top, s.height + 22) << s.dpi;
    EXPECT_EQ(frame.right, 1024) << s.dpi;
    EXPECT_EQ(frame.bottom, 768 - s.margin) << s.dpi;
  }
}

TEST_F(RunningApp, RefusedHookIsReportedOnceAndTheRestRuns) {
  fake::answers.hookRefused = true;
  ASSERT_TRUE(start());
  EXPECT_EQ(fake::desktop.messageBoxes, Log{"Tovix: Failed to install low-level keyboard hook."});
  EXPECT_EQ(fake::desktop.hotKeys.size(), 3u);
  EXPECT_EQ(fake::desktop.tray.size(), 1u);
  EXPECT_TRUE(panelShows());
}

// To Tovix's panel only: the second copy's own, renamed first, is passed by.
TEST_F(RunningApp, SecondCopyHandsOverToTheRunningPanelAndAcquiresNothing) {
  const HWND running =
      CreateWindowExA(0, "TovixForm", "Tovix", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  fake::answers.previousInstance = true;
  EXPECT_FALSE(start());
  ASSERT_EQ(fake::desktop.sent.size(), 1u);
  EXPECT_EQ(fake::desktop.sent[0].hwnd, running);
  EXPECT_EQ(fake::desktop.sent[0].message, WM_SETFOCUS);
  EXPECT_EQ(fake::desktop.log, Log{"topmost"});
  EXPECT_FALSE(panelShows());

  // Started while the first ends: no panel answers, then the mark comes free.
  fake::answers.handOverAnswered = false;
  fake::answers.previousInstanceEnds = true;
  ASSERT_TRUE(start());
  EXPECT_EQ(window(panel()).caption, "Tovix");
  EXPECT_EQ(fake::desktop.tray.size(), 1u);
  fake::answers.previousInstanceEnds = false;  // ...or it never ends: this copy does
  EXPECT_FALSE(start());
}

// The close box, WM_CLOSE, the end of the session and Exit in the menu all
// let go of everything in one order; the process then ends.
TEST_F(RunningApp, EveryCloseRequestReleasesInOrderAndLeavesNothing) {
  for (const bool hook : {true, false}) {
    for (const int way : {0, 1, 2}) {
      fake::reset();
      fake::answers.hookRefused = !hook;
      ASSERT_TRUE(start());
      fake::desktop.log.clear();
      SendMessageA(panel(), WM_ENDSESSION, FALSE, 0);  // the session goes on
      if (way == 0) SendMessageA(panel(), WM_CLOSE, 0, 0);
      if (way == 1) SendMessageA(panel(), WM_ENDSESSION, TRUE, 0);
      if (way == 2) fake::answers.menuChoice = 2, tray(WM_RBUTTONUP);
      app.reset();

      Log expected = {"icon released", "hot key released", "hot key released", "hot key released",
                      "running mark released"};
      if (hook) expected.insert(expected.begin(), "unhook");
      EXPECT_EQ(fake::desktop.log, expected) << hook << way;
      EXPECT_EQ(FindWindowA("TovixForm", nullptr), nullptr);
      EXPECT_TRUE(fake::desktop.quit);
      EXPECT_TRUE(fake::desktop.hooks.empty() && fake::desktop.hotKeys.empty() && fake::desktop.tray.empty());
    }
  }
}

TEST_F(RunningApp, AForgedDestructionLeavesThePanelWorking) {
  startAndSettle();
  PostMessageA(panel(), WM_NCDESTROY, 0, 0);
  fake::dispatch();
  tray(WM_LBUTTONUP);
  EXPECT_TRUE(panelShows());
  EXPECT_FALSE(fake::desktop.quit);
}

TEST_F(RunningApp, OnlyButtonReleasesOnTheIconAct) {
  startAndSettle();
  for (const UINT message : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0u, 0x7FFFu}) tray(message);
  EXPECT_FALSE(panelShows());
  EXPECT_TRUE(fake::desktop.menu.empty() && fake::desktop.queue.empty());

  tray(WM_LBUTTONUP);
  EXPECT_TRUE(panelShows());
  EXPECT_FALSE(window(panel()).activated);
  fake::advance(1000);
  EXPECT_FALSE(panelShows());
}

// The menu closes when the user clicks elsewhere only if its owner is in the
// foreground, and the next time too only with the null message after it.
TEST_F(RunningApp, RightReleaseOpensTheMenuInTheForegroundThenPostsNull) {
  startAndSettle();
  tray(WM_RBUTTONUP);
  EXPECT_EQ(fake::desktop.menu, (Log{"About", "Exit"}));
  EXPECT_EQ(fake::desktop.foregroundAtMenu, panel());
  EXPECT_FALSE(fake::desktop.nullPostedBeforeMenu);
  ASSERT_EQ(fake::desktop.queue.size(), 1u);
  EXPECT_EQ(fake::desktop.queue[0].hwnd, panel());
  EXPECT_EQ(fake::desktop.queue[0].message, WM_NULL);
  EXPECT_EQ(FindWindowA("TovixAbout", nullptr), nullptr);
}

TEST_F(RunningApp, AboutOpensOnceCentredAndTheProcessLivesUntilItCloses) {
  startAndSettle();
  tray(WM_LBUTTONUP);
  fake::answers.menuChoice = 1;
  tray(WM_RBUTTONUP);
  const HWND about = FindWindowA("TovixAbout", nullptr);
  ASSERT_NE(about, nullptr);
  tray(WM_RBUTTONUP);
  EXPECT_EQ(FindWindowA("TovixAbout", nullptr), about) << "the same window again";
  EXPECT_EQ(fake::desktop.windows.size(), 4u);  // the panel, its receiver, About and its OK
  const RECT frame = window(about).frame;
  EXPECT_LE(std::abs(frame.left + frame.right - 1024), 1);
  EXPECT_LE(std::abs(frame.top + frame.bottom - 768), 1);
  EXPECT_TRUE(window(about).visible);
  EXPECT_FALSE(panelShows());
  SendMessageA(about, WM_SETFOCUS, 0, 0);
  EXPECT_EQ(window(fake::desktop.focus).caption, "OK");

  fake::answers.menuChoice = 2;
  tray(WM_RBUTTONUP);
  EXPECT_TRUE(fake::desktop.hooks.empty() && fake::desktop.hotKeys.empty() && fake::desktop.tray.empty());
  EXPECT_FALSE(fake::desktop.quit);
  SendMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(FindWindowA("TovixAbout", nullptr), nullptr);
  EXPECT_TRUE(fake::desktop.quit);
}

// A new taskbar holds no icons; Windows 10 sends the message on a change of
// scale too, while its taskbar still holds the icon and refuses the add. An
// image of the size it has stays.
TEST_F(RunningApp, TaskbarRestartPutsTheIconBackAtTheSmallIconSizeOfTheMoment) {
  startAndSettle();
  for (const int dpi : {144, 144, 120}) {
    const auto before = fake::desktop.iconImages;
    if (dpi == fake::answers.dpi) fake::desktop.tray.clear();
    fake::answers.dpi = dpi;
    SendMessageA(panel(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(fake::desktop.tray.size(), 1u);
    EXPECT_EQ(fake::desktop.tray.begin()->second, iconRecord());
    EXPECT_EQ(fake::desktop.iconImages.begin()->second, 16 * dpi / 96);
    if (before.begin()->second == 16 * dpi / 96) {
      EXPECT_EQ(fake::desktop.iconImages, before);
    }
  }
}

// The panel's next appearance keeps inside the work area, and otherwise its
// place: right edge on the screen's, 33 pixels (500 twips) above its bottom.
TEST_F(RunningApp, ThePanelStaysClearOfTheTaskbarAsTheWorkAreaChanges) {
  startAndSettle();
  fake::answers.workArea = {0, 0, 944, 720};  // taskbars of 48 pixels at the bottom and 80 on the right
  SendMessageA(panel(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  tray(WM_LBUTTONUP);
  EXPECT_EQ(window(panel()).frame.right, 944);
  EXPECT_EQ(window(panel()).frame.bottom, 720);
  fake::answers.screen = fake::answers.workArea = {0, 0, 1280, 1024};
  SendMessageA(panel(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  tray(WM_LBUTTONUP);
  EXPECT_EQ(window(panel()).frame.right, 1280);
  EXPECT_EQ(window(panel()).frame.bottom, 1024 - 33);
  window(panel()).minimized = true;  // as any program can make it: placed when restored
  fake::answers.workArea = {0, 0, 1280, 976};
  SendMessageA(panel(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  hotKey(0);
  EXPECT_EQ(window(panel()).frame.bottom, 976);
}

TEST_F(RunningApp, ResumeInstallsTheHookAnewAndSetsLampsFromTheToggles) {
  fake::answers.keyboard[VK_NUMLOCK] = 1;
  startAndSettle();
  const HHOOK before = *fake::desktop.hooks.begin();
  fake::answers.keyStates = {{VK_NUMLOCK, 0}, {VK_CAPITAL, static_cast<SHORT>(0xFF81)}, {VK_SCROLL, 1}};
  SendMessageA(panel(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  ASSERT_EQ(fake::desktop.hooks.size(), 1u);
  EXPECT_NE(*fake::desktop.hooks.begin(), before);
  EXPECT_EQ(lamps(), (std::vector<COLORREF>{kOlive, kGreen, kGreen}));
}

}  // namespace
