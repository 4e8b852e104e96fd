// Throws random messages at the running program on the fake of Windows: key
// events at the keyboard hook, and hot keys, icon clicks, timer ticks,
// resume, unlock and taskbar notices and forged ones at its windows. Every
// hook call must be passed on exactly once with its result returned (no key
// swallowed, none changed), a second after the last event the panel must be
// hidden again, and nothing may crash or trip a sanitizer; at the end the
// program gives back all it took, as after every unit test.
//
//   message_fuzz [iterations] [seed]

#include <cstdlib>
#include <random>

#include "running_app.h"

namespace {

unsigned long long iterations = 20000;
unsigned seed = 1;

using MessageFuzz = RunningApp;

TEST_F(MessageFuzz, NoMessageStopsTheHookOrThePanel) {
  std::mt19937 rng(seed);
  const auto any = [&] { return static_cast<DWORD>(rng()); };
  const auto pick = [&](std::initializer_list<DWORD> choices) { return choices.begin()[rng() % choices.size()]; };
  ASSERT_TRUE(start());
  const HWND panel = RunningApp::panel(), receiver = find("TovixPicture");
  for (unsigned long long i = 0; i < iterations; ++i) {
    fake::answers.nextHookResult = static_cast<LONG>(any());
    fake::answers.keyStates[static_cast<int>(pick({0x14, 0x90, 0x91}))] = static_cast<SHORT>(any());
    fake::answers.keysDown = {static_cast<int>(pick({0, 0xB5, 0xB6, 0xB7}))};
    fake::answers.menuClick = pick({0, 0, 1}) ? "About" : "";
    if (rng() % 2 == 0) {  // a keyboard event, of any code
      hook(static_cast<int>(pick({0, 0, 0, 0xFFFFFFFF, 3, any()})), pick({0x14, 0x90, 0x91, 0x41, 0xB7, any()}),
           pick({0, 0x80, 0x90, 0x01, any()}), pick({0x100, 0x101, 0x104, 0x105, any()}));
      ASSERT_FALSE(HasFailure()) << i;
    } else {  // a message at one of its windows, sent or posted by anyone
      const UINT msg =
          pick({WM_HOTKEY, WM_MOUSEMOVE, WM_TIMER, WM_POWERBROADCAST, RegisterWindowMessageA("TaskbarCreated"),
                WM_NCDESTROY, WM_NCCREATE, WM_SETFOCUS, WM_PAINT, WM_APP + 1, win::kWmWtsSessionChange});
      const DWORD lParam = msg == WM_NCCREATE ? 0 : pick({0, WM_LBUTTONUP, WM_RBUTTONUP, any()});
      PostMessageA(msg == WM_MOUSEMOVE ? receiver : panel, msg, pick({0, 1, 7, 0x12, 0xFFFFC001, any()}), lParam);
      fake::advance(pick({0, 10, 999, 1000, 5000}));
      app->run();
      if (find("TovixAbout") != nullptr && rng() % 4 == 0) SendMessageA(find("TovixAbout"), WM_COMMAND, IDOK, 0);
    }
    if (i % 64 == 63) {
      app->run();
      fake::advance(1000);
      ASSERT_FALSE(window(panel).visible) << "the panel hidden a second after the last event, at " << i;
    }
  }
  ASSERT_TRUE(running() && fake::desktop.hooks.size() == 1);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);  // leaves the iterations and the seed
  if (argc > 1) iterations = std::strtoull(argv[1], nullptr, 10);
  if (argc > 2) seed = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
  return RUN_ALL_TESTS();
}
