// Throws random messages at the running program on the fake of Windows: key
// events at the keyboard hook, and hot keys, icon clicks, timer ticks,
// resume, unlock and taskbar notices and forged ones at its windows. Every
// hook call must be passed on exactly once with its result returned (no key
// swallowed, none changed), a second after the last event the panel must be
// hidden again, and nothing may crash or trip a sanitizer.
//
//   message_fuzz [iterations] [seed]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "app/application.h"
#include "fake.h"
#include "indicator/keyboard_hook.h"

namespace {

std::mt19937 rng;

DWORD any32() { return static_cast<DWORD>(rng()); }

template <typename T>
T pick(std::initializer_list<T> choices) {
  return *(choices.begin() + rng() % choices.size());
}

int failures = 0;

void expect(bool ok, const std::string& what, unsigned long long iteration) {
  if (!ok && ++failures <= 10) std::printf("FAIL at %llu: %s\n", iteration, what.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned long long iterations = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
  rng.seed(seed);

  fake::reset();
  Application app;
  app.startUp();
  const HWND panel = FindWindowA("TovixForm", nullptr);
  const HWND receiver = FindWindowA("TovixPicture", nullptr);
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

  for (unsigned long long i = 0; i < iterations && !fake::desktop.hooks.empty(); ++i) {
    fake::desktop.passedOn.clear();
    fake::desktop.log.clear();
    fake::answers.nextHookResult = static_cast<LRESULT>(static_cast<LONG>(any32()));
    fake::answers.keyStates[pick({0x14, 0x90, 0x91})] = static_cast<SHORT>(any32());
    fake::answers.keysDown = {pick<int>({0, 0xB5, 0xB6, 0xB7})};
    fake::answers.menuChoice = pick<int>({0, 0, 1, 3});

    if (rng() % 2 == 0) {  // a keyboard event
      KBDLLHOOKSTRUCT event = {pick<DWORD>({0x14, 0x90, 0x91, 0x41, 0xB7, any32()}), any32(),
                               pick<DWORD>({0, 0x80, 0x90, 0x01, any32()}), any32(), any32()};
      const int nCode = pick<int>({0, 0, 0, -1, 3, static_cast<int>(any32())});
      // For other codes the record is never read: an address not to touch.
      const LPARAM lParam = nCode == 0 ? reinterpret_cast<LPARAM>(&event) : 0x10;
      const WPARAM wParam = pick<WPARAM>({0x100, 0x101, 0x104, 0x105, any32()});
      const LRESULT result = KeyboardHookProc(nCode, wParam, lParam);
      const auto hook = *fake::desktop.hooks.begin();
      expect(result == fake::answers.nextHookResult, "hook result returned", i);
      expect(fake::desktop.passedOn == decltype(fake::desktop.passedOn){{hook, nCode, wParam, lParam}},
             "event passed on once, unchanged", i);
    } else {  // a message at one of its windows, sent or posted by anyone
      const UINT msg = pick<UINT>({WM_HOTKEY, WM_MOUSEMOVE, WM_TIMER, WM_POWERBROADCAST, taskbarCreated, WM_NCDESTROY,
                                   WM_NCCREATE, WM_SETFOCUS, WM_PAINT, WM_APP + 1, win::kWmWtsSessionChange});
      const WPARAM wParam = pick<WPARAM>({0, 1, 7, 0x12, static_cast<WPARAM>(-16383), any32()});
      const LPARAM lParam = pick<LPARAM>({0, WM_LBUTTONUP, WM_RBUTTONUP, static_cast<LPARAM>(any32())});
      PostMessageA(msg == WM_MOUSEMOVE ? receiver : panel, msg, wParam, msg == WM_NCCREATE ? 0 : lParam);
      fake::advance(pick<DWORD>({0, 10, 999, 1000, 5000}));
      app.run();
      if (const HWND about = FindWindowA("TovixAbout", nullptr); about != nullptr && rng() % 4 == 0) {
        SendMessageA(about, WM_COMMAND, IDOK, 0);
      }
    }
    if (i % 64 == 63) {
      app.run();
      fake::advance(1000);
      expect(!fake::desktop.windows.at(panel).visible, "the panel hidden a second after the last event", i);
    }
  }
  expect(fake::desktop.faults.empty(), "nothing released that was not held", iterations);
  std::printf("message fuzz: %llu calls, seed %u, %d failures\n", iterations, seed, failures);
  return failures == 0 ? 0 : 1;
}
