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

TEST_F(RunningApp, FirstCopyShowsThePanelForASecondWithItsIconAndKeys) {
  fake::answers.keyboard[VK_CAPITAL] = 0x80;  // any non-zero byte lights the lamp
  ASSERT_TRUE(start());
  // The mark before anything else is taken.
  EXPECT_EQ(Log(fake::desktop.log.begin(), fake::desktop.log.begin() + 3), (Log{"topmost", "running mark", "icon"}));
  EXPECT_EQ(fake::desktop.topmost, std::set<HWND>{panel()});
  EXPECT_EQ(window(panel()).caption, "Tovix");
  EXPECT_EQ(lamps(), (std::vector<COLORREF>{kOlive, kGreen, kOlive}));
  ASSERT_EQ(fake::desktop.tray.size(), 1u);
  EXPECT_EQ(fake::desktop.tray.begin()->second, iconRecord());
  EXPECT_EQ(fake::desktop.iconImages.begin()->second, 16);  // the small-icon size
  EXPECT_TRUE(running() && fake::desktop.hooks.size() == 1);
  fake::advance(999);
  EXPECT_TRUE(panelShows());
  fake::advance(1);
  EXPECT_FALSE(panelShows());
  EXPECT_FALSE(window(panel()).activated);
}

// The fake's frame is 3 pixels wide with a 16-pixel caption bar. Each
// caption, in bold 12-point type, stands above its lamp, left to right.
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
    lamps();
    const auto& texts = window(panel()).texts;
    const auto& drawn = window(panel()).ellipses;
    const char* const captions[] = {"Num", "Caps", "Scroll"};
    ASSERT_EQ(texts.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      const RECT lamp = drawn[i].first;
      EXPECT_EQ(texts[i].text, captions[i]);
      EXPECT_EQ(texts[i].fontHeight, -12 * s.dpi / 72) << s.dpi;
      EXPECT_LE(texts[i].box.bottom, lamp.top) << texts[i].text;
      EXPECT_TRUE(texts[i].box.left < lamp.right && lamp.left < texts[i].box.right) << texts[i].text;
      EXPECT_GE(lamp.left, i > 0 ? drawn[i - 1].first.right : 0);
    }
  }
}

TEST_F(RunningApp, RefusedHookIsReportedOnceAndTheRestRuns) {
  fake::answers.hookRefused = true;
  ASSERT_TRUE(start());
  EXPECT_EQ(fake::desktop.messageBoxes, Log{"Tovix: Failed to install low-level keyboard hook."});
  EXPECT_TRUE(running());
  EXPECT_TRUE(panelShows());
}

// Found by class and caption: another program's window with the caption is
// passed by. The running panel shows for its second, as a click on the icon
// shows it, and the second copy takes nothing.
TEST_F(RunningApp, ASecondCopyShowsTheRunningPanelAndEnds) {
  for (const bool markTaken : {false, true}) {  // the mark's name held by another program
    fake::reset();
    fake::answers.markTaken = markTaken;
    CreateWindowExA(0, "Lookalike", "Tovix", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
    startAndSettle();
    std::optional<Application> second(std::in_place);
    EXPECT_FALSE(second->startUp());
    second.reset();
    EXPECT_TRUE(panelShows()) << markTaken;
    EXPECT_FALSE(window(panel()).activated);
    EXPECT_TRUE(running() && fake::desktop.hooks.size() == 1) << "the second copy took or gave back nothing";
    fake::advance(1000);
    EXPECT_FALSE(panelShows());
    EXPECT_TRUE(running());
    app.reset();
  }
}

// A copy started while the running one ends, its panel put aside, waits for
// it to let go of the keys and the icon, and runs; so does one that finds a
// panel that no longer answers.
TEST_F(RunningApp, ACopyStartedAfterTheRunningOneEndsRunsInItsPlace) {
  startAndSettle();
  SendMessageA(panel(), WM_CLOSE, 0, 0);
  fake::desktop.quit = false;  // that copy's loop, not this one's, ends
  fake::answers.whileWaiting = [&] { app.reset(); };
  std::optional<Application> next(std::in_place);
  EXPECT_TRUE(next->startUp());
  EXPECT_TRUE(running() && panelShows());
  fake::answers.whileWaiting = nullptr;
  fake::answers.handOverAnswered = false;
  std::optional<Application> third(std::in_place);
  EXPECT_TRUE(third->startUp());
  third.reset();
  next.reset();
}

// The close box, WM_CLOSE, the end of the session and Exit in the menu all
// let go of everything, the hook first; the process then ends.
TEST_F(RunningApp, EveryCloseRequestLetsGoOfEverythingTheHookFirst) {
  for (const bool hook : {true, false}) {
    for (const int way : {0, 1, 2}) {
      fake::reset();
      fake::answers.hookRefused = !hook;
      ASSERT_TRUE(start());
      SendMessageA(panel(), WM_ENDSESSION, FALSE, 0);  // a log-off cancelled: the session goes on
      EXPECT_TRUE(running());
      fake::desktop.log.clear();
      if (way == 0) SendMessageA(panel(), WM_CLOSE, 0, 0);
      if (way == 1) SendMessageA(panel(), WM_ENDSESSION, TRUE, 0);
      if (way == 2) fake::answers.menuChoice = 2, tray(WM_RBUTTONUP);
      EXPECT_EQ(FindWindowA("TovixForm", nullptr), nullptr);
      EXPECT_TRUE(fake::desktop.quit);
      EXPECT_TRUE(fake::desktop.hooks.empty() && fake::desktop.hotKeys.empty() && fake::desktop.tray.empty());
      EXPECT_EQ(fake::desktop.log.front(), hook ? "unhook" : "icon released") << way;
      app.reset();
      EXPECT_EQ(fake::desktop.log.back(), "running mark released");
    }
  }
}

// Whatever another program posts to the icon's window or the About window,
// close requests and forged destruction included, they go on working.
TEST_F(RunningApp, TheOtherWindowsSurviveWhatAnyProgramPostsThem) {
  startAndSettle();
  fake::answers.menuChoice = 1;
  tray(WM_RBUTTONUP);
  const HWND about = FindWindowA("TovixAbout", nullptr);
  for (const HWND target : {receiver(), about, panel()}) {
    if (target != panel()) PostMessageA(target, WM_CLOSE, 0, 0);
    PostMessageA(target, WM_NCDESTROY, 0, 0);
  }
  fake::dispatch();
  EXPECT_TRUE(fake::desktop.windows.count(about) && window(about).visible);
  fake::answers.menuChoice = 0;
  tray(WM_RBUTTONUP);
  EXPECT_EQ(fake::desktop.menu, (Log{"About", "Exit"}));
  tray(WM_LBUTTONUP);
  EXPECT_TRUE(panelShows());
  EXPECT_TRUE(running());
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

// The menu opens at the mouse; it closes when the user clicks elsewhere only
// if its owner is in the foreground, and the next time too only with the
// null message after it.
TEST_F(RunningApp, RightReleaseOpensTheMenuAtTheMouseInTheForeground) {
  startAndSettle();
  tray(WM_RBUTTONUP);
  EXPECT_EQ(fake::desktop.menu, (Log{"About", "Exit"}));
  EXPECT_EQ(fake::desktop.menuAt.x, 1000);
  EXPECT_EQ(fake::desktop.menuAt.y, 760);
  EXPECT_EQ(fake::desktop.foregroundAtMenu, panel());
  ASSERT_EQ(fake::desktop.queue.size(), 1u);
  EXPECT_EQ(fake::desktop.queue[0].message, WM_NULL);
  EXPECT_EQ(FindWindowA("TovixAbout", nullptr), nullptr);
}

// Each of OK, Esc and the close box closes it; "About" then opens a new one.
TEST_F(RunningApp, AboutOpensOnceCentredAndTheProcessLivesUntilItCloses) {
  startAndSettle();
  tray(WM_LBUTTONUP);
  fake::answers.menuChoice = 1;
  for (const auto& [msg, wParam] : {std::pair{WM_COMMAND, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE}}) {
    tray(WM_RBUTTONUP);
    SendMessageA(FindWindowA("TovixAbout", nullptr), msg, wParam, 0);
    EXPECT_EQ(FindWindowA("TovixAbout", nullptr), nullptr) << msg;
  }
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
  EXPECT_TRUE(running()) << "About ends nothing";
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

// Back from sleep or at an unlock the hook is a new one and the lamps show
// the toggles; the program never refuses the computer its sleep.
TEST_F(RunningApp, ResumeAndUnlockInstallTheHookAnewAndSetLampsFromTheToggles) {
  fake::answers.keyboard[VK_NUMLOCK] = 1;
  startAndSettle();
  EXPECT_EQ(SendMessageA(panel(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
  const std::pair<UINT, WPARAM> notices[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                             {win::kWmWtsSessionChange, win::kWtsSessionUnlock}};
  for (const auto& [msg, wParam] : notices) {
    const HHOOK before = *fake::desktop.hooks.begin();
    fake::answers.keyStates = {{VK_NUMLOCK, 0}, {VK_CAPITAL, static_cast<SHORT>(0xFF81)}, {VK_SCROLL, 1}};
    SendMessageA(panel(), msg, wParam, 0);
    ASSERT_EQ(fake::desktop.hooks.size(), 1u);
    EXPECT_NE(*fake::desktop.hooks.begin(), before) << msg;
    EXPECT_EQ(lamps(), (std::vector<COLORREF>{kOlive, kGreen, kGreen}));
    fake::answers.keyStates.clear();
  }
}

bool forgedTimerCalled = false;
void CALLBACK forgedTimer(HWND, UINT, UINT_PTR, DWORD) { forgedTimerCalled = true; }

// What the loop takes from the queue: a timer with an address is someone
// else's; the loop ends with the last window.
TEST_F(RunningApp, TheMessageLoopCallsNoPostedTimerAndEndsWithTheProgram) {
  startAndSettle();
  PostMessageA(panel(), WM_TIMER, 1, reinterpret_cast<LPARAM>(&forgedTimer));
  PostMessageA(panel(), WM_CLOSE, 0, 0);
  app->run();
  EXPECT_FALSE(forgedTimerCalled);
  EXPECT_TRUE(fake::desktop.quit && fake::desktop.tray.empty());
}

}  // namespace
