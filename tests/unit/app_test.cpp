#include <cstring>

#include "platform/newer_windows.h"

#include "running_app.h"

namespace {

using Log = std::vector<std::string>;
using Colours = std::vector<COLORREF>;

// The notification area holding one icon: its 88-byte record, little-endian
// as on Windows, the receiver, id 1, message, icon and tip fields, callback
// WM_MOUSEMOVE, the one image the program holds, at the small-icon size, the
// tip, its NUL, then spaces.
decltype(fake::desktop.tray) iconShown(int size) {
  EXPECT_EQ(fake::desktop.iconImages.size(), 1u);
  const auto [image, imageSize] = *fake::desktop.iconImages.begin();
  EXPECT_EQ(imageSize, size);
  const auto handle = [](auto h) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)); };
  const std::uint32_t fields[] = {88, handle(FindWindowA("TovixPicture", nullptr)), 1, 7, 0x200, handle(image)};
  std::vector<BYTE> bytes(88, ' ');
  std::memcpy(bytes.data(), fields, sizeof fields);
  std::memcpy(bytes.data() + sizeof fields, "Tovix", 6);
  return {{{fields[1], 1}, bytes}};
}

// At 100, 125 and 150 %, from the start or, on Windows 10, after a change
// of scale. The fake's frame is 3 pixels wide with a 16-pixel caption bar;
// each caption, in black bold 12-point type, stands above its lamp, left to
// right. A new taskbar holds no icons; Windows 10 sends its restart message
// on a change of scale too, while its taskbar still holds the icon and
// refuses the add.
TEST_F(RunningApp, StartUpShowsThePanelForASecondAtItsSizeInInchesWithItsIconAndKeys) {
  for (const auto& [dpi, width, height, margin, changed] : {std::tuple(96, 312, 97, 33, false),
                                                            {120, 390, 121, 42, false},
                                                            {144, 468, 146, 50, false},
                                                            {96, 312, 97, 33, true},
                                                            {144, 468, 146, 50, true}}) {
    fresh();
    SCOPED_TRACE(dpi + changed * 1000);
    fake::answers.dpi = fake::answers.monitorDpi = changed ? 240 - dpi : dpi;  // the system's fixed at sign-in
    fake::answers.windows10 = changed;
    fake::answers.keyboard[VK_CAPITAL] = 0x80;  // any non-zero byte lights the lamp: held down,
    fake::answers.keyboard[VK_SCROLL] = 0x01;   // or toggled
    // While it waits its turn the copy holds and shows nothing.
    fake::answers.whileWaiting = [] { EXPECT_TRUE(releasedAll() && !panelShows()); };
    ASSERT_TRUE(start());
    fake::answers.monitorDpi = dpi;
    if (changed) SendMessageA(panel(), win::kWmDpiChanged, MAKEWPARAM(7, 7), 0);  // its numbers forged
    const fake::Window& w = window(panel());
    EXPECT_TRUE(w.topmost && w.caption == "Tovix");
    EXPECT_EQ(lamps(), (Colours{kOlive, kGreen, kGreen}));
    EXPECT_EQ(std::tuple(w.frame.left, w.frame.top, w.frame.right, w.frame.bottom),
              std::tuple(1024 - width - 6, 768 - margin - height - 22, 1024, 768 - margin));
    const std::string font = ", MS Sans Serif " + std::to_string(-12 * dpi / 72) + " bold, 0";
    const std::string captions[] = {"Num" + font, "Caps" + font, "Scroll" + font};
    ASSERT_TRUE(w.texts.size() == 3 && w.ellipses.size() == 3);
    for (std::size_t i = 0; i < 3; ++i) {
      const RECT lamp = w.ellipses[i].first, text = w.texts[i].second;
      EXPECT_EQ(w.texts[i].first, captions[i]);
      EXPECT_TRUE(text.bottom <= lamp.top && text.left < lamp.right && lamp.left < text.right) << captions[i];
      EXPECT_GE(lamp.left, i > 0 ? w.ellipses[i - 1].first.right : 0);
    }
    EXPECT_EQ(fake::desktop.tray, iconShown(16 * dpi / 96));
    EXPECT_TRUE(running() && fake::desktop.hooks.size() == 1);
    EXPECT_TRUE(showsForASecond() && panelPassive() && fake::desktop.timers.empty()) << "hidden, it wakes nothing up";
    if (changed) continue;
    const auto images = fake::desktop.iconImages;
    fake::desktop.tray.clear();
    SendMessageA(panel(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(fake::desktop.tray == iconShown(16 * dpi / 96) && fake::desktop.iconImages == images) << "no new image";
    fake::answers.dpi = dpi + 48;
    SendMessageA(panel(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(fake::desktop.tray, iconShown(16 * (dpi + 48) / 96));
  }
}

// Found by class and caption: another program's window with the caption is
// passed by. The running panel shows for its second, as a click on the icon
// shows it, and the second copy takes nothing; so too when the two start
// side by side, the first while the second waits its turn.
TEST_F(RunningApp, ASecondCopyShowsTheRunningPanelAndEndsAndOneAfterTheEndRuns) {
  for (const bool markTaken : {false, true}) {  // the mark's name held by another program
    for (const bool sideBySide : {false, true}) {
      fresh();
      fake::answers.markTaken = markTaken;
      CreateWindowExA(0, "Lookalike", "Tovix", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
      bool first = sideBySide;
      fake::answers.whileWaiting = [&] {
        if (std::exchange(first, false)) startAndSettle();
      };
      if (!sideBySide) startAndSettle();
      // The focus the menu's foreground brings is no hand-over.
      EXPECT_FALSE((SendMessageA(panel(), WM_SETFOCUS, 0, 0), panelShows()));
      const DWORD startedAt = fake::desktop.now;
      EXPECT_FALSE(Application().startUp()) << markTaken << sideBySide;
      EXPECT_TRUE(sideBySide || fake::desktop.now == startedAt) << "a running copy is found at once";
      EXPECT_TRUE(running() && fake::desktop.hooks.size() == 1) << "the second copy took or gave back nothing";
      EXPECT_TRUE(panelPassive() && showsForASecond()) << markTaken << sideBySide;
    }
  }
  // Started while the running copy ends, its panel put aside, a copy waits
  // for it to let go of the keys and the icon, and runs; so does one that
  // finds a panel that no longer answers.
  SendMessageA(panel(), WM_CLOSE, 0, 0);
  fake::desktop.quit = false;  // that copy's loop, not this one's, ends
  fake::answers.whileWaiting = [&] { app.reset(); };
  std::optional<Application> next(std::in_place);
  EXPECT_TRUE(next->startUp() && running() && panelShows());
  fake::answers.whileWaiting = nullptr, fake::answers.handOverAnswered = false;
  EXPECT_TRUE(Application().startUp());
}

// WM_CLOSE (Alt+F4), the end of the session and Exit in the menu all let go
// of everything; the process then ends. A refused hook is reported once and
// the rest runs; a cancelled log-off ends nothing.
TEST_F(RunningApp, EveryCloseRequestLetsGoOfEverything) {
  for (const bool hooked : {true, false}) {
    for (const int way : {0, 1, 2}) {
      fresh();
      fake::answers.hookRefused = !hooked;
      ASSERT_TRUE(start());
      EXPECT_EQ(fake::desktop.messageBoxes, hooked ? Log{} : Log{"Tovix: Failed to install low-level keyboard hook."});
      SendMessageA(panel(), WM_ENDSESSION, FALSE, 0);  // a log-off cancelled: the session goes on
      EXPECT_TRUE(running() && panelShows());
      if (way == 0) SendMessageA(panel(), WM_CLOSE, 0, 0);
      if (way == 1) SendMessageA(panel(), WM_ENDSESSION, TRUE, 0);
      if (way == 2) tray(WM_RBUTTONUP, "Exit");
      EXPECT_TRUE(panel() == nullptr && fake::desktop.quit && releasedAll()) << way;
    }
  }
  // Closed while it waits its turn, a copy takes nothing and ends.
  fresh();
  fake::answers.whileWaiting = [] { SendMessageA(panel(), WM_CLOSE, 0, 0); };
  EXPECT_FALSE(start());
  EXPECT_TRUE(panel() == nullptr && fake::desktop.quit && releasedAll());
}

bool forgedTimerCalled = false;
void CALLBACK forgedTimer(HWND, UINT, UINT_PTR, DWORD) { forgedTimerCalled = true; }

// Only releases act: a right one opens the menu at the mouse, its owner in
// the foreground, and the null message after it lets it close the next time
// too; a left one shows the panel for its second. Whatever another program
// posts to the icon's window or the About window, close requests and forged
// destruction included, they go on working; the loop calls no timer address
// posted to it.
TEST_F(RunningApp, TheIconShowsTheMenuAndThePanelWhateverAnyProgramPosts) {
  startAndSettle();
  for (const UINT message : {0x200u, 0x201u, 0x203u, 0x204u, 0x206u, 0x207u, 0u, 0x7FFFu}) tray(message);
  EXPECT_TRUE(!panelShows() && fake::desktop.menu.empty() && fake::desktop.queue.empty());
  tray(WM_RBUTTONUP);  // then a click elsewhere
  EXPECT_EQ(fake::desktop.menu, (Log{"About", "Exit", "at 1000,760"}));
  EXPECT_TRUE(fake::desktop.queue.size() == 1 && fake::desktop.queue[0].message == WM_NULL);
  EXPECT_TRUE(find("TovixAbout") == nullptr && running());
  tray(WM_RBUTTONUP, "About");
  const HWND about = find("TovixAbout");
  for (const HWND target : {find("TovixPicture"), about, panel()}) {
    if (target != panel()) PostMessageA(target, WM_CLOSE, 0, 0);
    PostMessageA(target, WM_NCDESTROY, 0, 0);
  }
  PostMessageA(panel(), WM_TIMER, 1, reinterpret_cast<LPARAM>(&forgedTimer));
  app->run();
  EXPECT_FALSE(forgedTimerCalled);
  EXPECT_TRUE(fake::desktop.windows.count(about) && window(about).visible && running());
  tray(WM_LBUTTONUP);
  // A click on the panel itself activates it unless it says no.
  EXPECT_EQ(SendMessageA(panel(), WM_MOUSEACTIVATE, 0, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_NOACTIVATE);
  EXPECT_TRUE(!window(panel()).activated && showsForASecond());
}

// Esc, Enter, the close box and OK each close it; "About" again brings the
// open one forward. Exit meanwhile lets go of everything, and the process
// lives until About closes.
TEST_F(RunningApp, AboutOpensOnceCentredAndTheProcessLivesUntilItCloses) {
  startAndSettle();
  const std::pair<UINT, WPARAM> ways[] = {
      {WM_KEYDOWN, VK_ESCAPE}, {WM_KEYDOWN, VK_RETURN}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_COMMAND, IDOK}};
  for (const auto& [msg, wParam] : ways) {
    tray(WM_RBUTTONUP, "About");
    SendMessageA(find("TovixAbout"), WM_SETFOCUS, 0, 0);  // as its activation does; keys go to the focus
    PostMessageA(msg == WM_KEYDOWN ? fake::desktop.focus : find("TovixAbout"), msg, wParam, 0);
    app->run();
    EXPECT_EQ(find("TovixAbout"), nullptr) << msg << " " << wParam;
  }
  tray(WM_LBUTTONUP);
  tray(WM_RBUTTONUP, "About");
  const HWND about = find("TovixAbout");
  tray(WM_RBUTTONUP, "About");
  EXPECT_TRUE(about != nullptr && find("TovixAbout") == about && fake::desktop.foreground == about);
  // 4455 twips wide at 96 dots per inch, then at 144 after a change of scale on Windows 10.
  for (const auto& [dpi, width] : {std::pair(96, 303), {144, 452}}) {
    fake::answers.windows10 = dpi == 144, fake::answers.monitorDpi = dpi;
    SendMessageA(about, win::kWmDpiChanged, MAKEWPARAM(7, 7), 0);  // its numbers forged
    const RECT frame = window(about).frame;
    EXPECT_EQ(frame.right - frame.left, width);
    EXPECT_TRUE(std::abs(frame.left + frame.right - 1024) <= 1 && std::abs(frame.top + frame.bottom - 768) <= 1);
    fake::dispatch();
    const std::string font = ", MS Sans Serif " + std::to_string(-18 * dpi / 96) + " bold, 0";  // 13.5 points
    EXPECT_EQ(window(about).texts.at(0).first, "Tovix" + font);
    EXPECT_NE(window(about).texts.at(1).first.find(font), std::string::npos);
  }
  EXPECT_TRUE(window(about).visible && !panelShows() && running()) << "About ends nothing";
  tray(WM_RBUTTONUP, "Exit");
  EXPECT_TRUE(releasedAll() && !fake::desktop.quit);
  SendMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(find("TovixAbout") == nullptr && fake::desktop.quit);
}

// The panel's next appearance keeps inside the work area, and otherwise its
// place: right edge on the screen's, 33 pixels (500 twips) above its bottom.
// A window manager moving it to a corner of its own moves it nowhere.
TEST_F(RunningApp, ThePanelStaysClearOfTheTaskbarAsTheWorkAreaChanges) {
  startAndSettle();
  const auto corner = [] { return std::pair<int, int>(window(panel()).frame.right, window(panel()).frame.bottom); };
  fake::answers.workArea = {0, 0, 944, 720};  // taskbars of 48 pixels at the bottom and 80 on the right
  SendMessageA(panel(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  tray(WM_LBUTTONUP);
  EXPECT_EQ(corner(), std::pair(944, 720));
  SetWindowPos(panel(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(corner(), std::pair(944, 720));
  fake::answers.screen = fake::answers.workArea = {0, 0, 1280, 1024};
  SendMessageA(panel(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
  tray(WM_LBUTTONUP);
  EXPECT_EQ(corner(), std::pair(1280, 1024 - 33));
  window(panel()).minimized = true;  // as any program can make it: placed when restored
  fake::answers.workArea = {0, 0, 1280, 976};
  SendMessageA(panel(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  hotKey(0);
  EXPECT_EQ(corner(), std::pair(1280, 976));
  EXPECT_TRUE(panelShows() && panelPassive());
}

// Back from sleep or at an unlock the hook is a new one and the lamps show
// the toggles, whatever the other bits say; the program never refuses the
// computer its sleep.
TEST_F(RunningApp, ResumeAndUnlockInstallTheHookAnewAndSetLampsFromTheToggles) {
  startAndSettle();
  EXPECT_EQ(SendMessageA(panel(), WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
  ASSERT_EQ(fake::desktop.sessionWatched, panel());  // where Windows reports unlocks
  const std::map<int, SHORT> states[] = {{{VK_NUMLOCK, 1}, {VK_CAPITAL, -128}, {VK_SCROLL, -127}},
                                         {{VK_NUMLOCK, 0}, {VK_CAPITAL, 0x7F01}, {VK_SCROLL, -32768}}};
  const Colours lit[] = {{kGreen, kOlive, kGreen}, {kOlive, kGreen, kOlive}};
  int i = 0;
  // The three ways back from sleep; 0: an unlock.
  for (const WPARAM resume : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND, PBT_APMRESUMECRITICAL, 0}) {
    const HHOOK before = *fake::desktop.hooks.begin();
    fake::answers.keyStates = states[++i % 2];
    const UINT notice = resume ? WM_POWERBROADCAST : win::kWmWtsSessionChange;
    SendMessageA(panel(), notice, resume ? resume : win::kWtsSessionUnlock, 0);
    EXPECT_TRUE(fake::desktop.hooks.size() == 1 && *fake::desktop.hooks.begin() != before) << resume;
    tray(WM_LBUTTONUP);
    EXPECT_EQ(lamps(), lit[i % 2]) << resume;
    fake::advance(1000);
  }
}

// As Windows 10 answers. A lock key released over a full-screen game or a
// presentation sets its lamp and pops nothing up; a click on the icon still
// shows the panel. Each show has the keys' toggles as they are now, the
// hook's seen or not. The taskbar's messages reach an elevated copy.
TEST_F(RunningApp, OnWindows10NoPopupOverFullScreenNoStaleLampAndTheTaskbarHeardElevated) {
  fake::answers.windows10 = true;
  startAndSettle();
  for (const int quiet : {3, 4}) {  // QUNS_RUNNING_D3D_FULL_SCREEN, QUNS_PRESENTATION_MODE
    fake::answers.notificationState = quiet;
    fake::answers.keyStates = {{VK_CAPITAL, SHORT(0xFF81)}};
    key(VK_CAPITAL, true);
    EXPECT_FALSE((fake::dispatch(), panelShows())) << quiet;
    fake::answers.keyStates = {};  // Caps Lock off again where the hook did not see it
    tray(WM_LBUTTONUP);
    EXPECT_EQ(lamps(), (Colours{kOlive, kOlive, kOlive}));
    fake::answers.keyStates = {{VK_CAPITAL, SHORT(0xFF81)}};
    key(VK_CAPITAL, true);  // while the panel shows
    EXPECT_EQ(lamps(), (Colours{kOlive, kGreen, kOlive}));
    fake::advance(1000);
    fake::answers.notificationState = 5;
    fake::answers.keyStates = {{VK_NUMLOCK, 1}, {VK_SCROLL, 1}};  // Num and Scroll where the hook did not see them
    key(VK_CAPITAL, true);
    EXPECT_EQ(lamps(), (Colours{kGreen, kOlive, kGreen}));
    EXPECT_TRUE(showsForASecond());
  }
  const std::set<std::pair<HWND, UINT>> letThrough = {{panel(), 0xC0DE}, {find("TovixPicture"), WM_MOUSEMOVE}};
  EXPECT_EQ(fake::desktop.letThrough, letThrough);
}

}  // namespace
