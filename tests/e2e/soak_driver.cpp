// A keyboard soak: types key events into an edit control with Tovix running,
// digits mixed with the three lock keys, and checks that every character
// arrives in order, the focus never moves, the lamps match the keys at the
// end, and Tovix's GDI objects, windows and memory stay where they were
// after the first thousand events.
//
// soak_driver <tovix.exe> <screenshot folder> [key events, 20000 if not given]

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "driver_support.h"

#include <psapi.h>

namespace {

using e2e::check;

using e2e::panel;
using e2e::panelVisible;

struct Footprint {
  int gdiObjects;
  int windows;
  SIZE_T memory;
};

Footprint footprint(HANDLE process) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  return {e2e::gdiObjects(process), e2e::windowCount(GetProcessId(process)), memory.WorkingSetSize};
}

std::string describe(const Footprint& f) {
  char text[128];
  std::snprintf(text, sizeof text, "%d GDI objects, %d windows, %lu KiB working set", f.gdiObjects, f.windows,
                static_cast<unsigned long>(f.memory / 1024));
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: soak_driver <tovix.exe> <screenshot folder> [key events]\n");
    return 2;
  }
  const long events = argc == 4 ? std::atol(argv[3]) : 20000;
  e2e::TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");
  const e2e::Tovix tovix(argv[1]);
  if (!check(tovix.started(), "tovix.exe starts")) return e2e::exitCode();

  std::mt19937 rng(7);
  const WORD locks[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};
  Footprint early = {};
  bool inOrder = true;
  bool focusKept = true;
  long sent = 0;
  size_t characters = 0;
  const DWORD started = GetTickCount();
  while (sent < events && inOrder && focusKept) {
    // Fifty presses and releases a batch; the last key of the soak is a
    // lock key, so the panel is up at the end. The edit control is emptied
    // after each batch: its own cost grows with its text.
    std::vector<WORD> keys;
    std::string typed;
    for (int i = 0; i < 50 && sent < events; ++i, sent += 2) {
      const bool last = sent + 2 >= events;
      if (last || rng() % 5 == 0) {
        keys.push_back(locks[rng() % 3]);
      } else {
        keys.push_back(static_cast<WORD>('0' + rng() % 10));
        typed += static_cast<char>(keys.back());
      }
    }
    e2e::tapKeys(keys);
    const WORD lastKey = keys.back();
    const auto arrived = [&] {
      return e2e::lastKeyUp() == lastKey && GetWindowTextLengthA(target.edit) == static_cast<int>(typed.size());
    };
    inOrder = e2e::waitFor(arrived, 10000) && target.text() == typed;
    focusKept = target.hasFocus();
    characters += typed.size();
    SetWindowTextA(target.edit, "");
    if (sent == 1000) early = footprint(tovix.process());
  }
  const DWORD took = GetTickCount() - started;
  std::printf("%ld key events in %lu ms, %zu characters\n", sent, took, characters);
  check(inOrder && sent == events, "every character arrived, in order");
  check(focusKept, "the typing window kept the focus throughout");

  if (check(e2e::waitFor(panelVisible, 3000), "the panel is up after the last lock key")) {
    for (const e2e::Lamp& lamp : e2e::kLamps) {
      const std::uint32_t expected = (GetKeyState(lamp.key) & 1) ? e2e::kLampOn : e2e::kLampOff;
      check(e2e::lampColour(lamp.key) == expected, std::string(lamp.caption) + " lamp matches the key's toggle state");
    }
  }

  const Footprint late = footprint(tovix.process());
  std::printf("after 1000 events: %s\n", describe(early).c_str());
  std::printf("after %ld events: %s\n", sent, describe(late).c_str());
  check(early.gdiObjects > 0 && std::abs(late.gdiObjects - early.gdiObjects) <= 2, "GDI objects steady");
  check(early.windows > 0 && late.windows == early.windows, "windows steady");
  check(late.memory <= early.memory + 1024 * 1024, "memory within 1 MiB");

  check(tovix.close(), "Tovix ends when closed");
  return e2e::exitCode();
}
