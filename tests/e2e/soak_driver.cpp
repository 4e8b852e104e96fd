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

using namespace e2e;

namespace {

struct Footprint {
  int gdiObjects;
  int windows;
  SIZE_T memory;
};

// Measured and printed after this many key events.
Footprint footprint(HANDLE process, long events) {
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  const Footprint f = {gdiObjects(process), windowCount(GetProcessId(process)), memory.WorkingSetSize};
  std::printf("after %ld events: %d GDI objects, %d windows, %lu KiB working set\n", events, f.gdiObjects, f.windows,
              static_cast<unsigned long>(f.memory / 1024));
  return f;
}

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 3 || argc == 4, "soak_driver <tovix.exe> <screenshot folder> [key events]")) return 2;
  const long events = argc == 4 ? std::atol(argv[3]) : 20000;
  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");
  const Tovix tovix(argv[1]);
  if (!check(tovix.started(), "tovix.exe starts")) return exitCode();

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
    tapKeys(keys);
    const auto arrived = [&] {
      return lastKeyUp() == keys.back() && GetWindowTextLengthA(target.edit) == static_cast<int>(typed.size());
    };
    inOrder = waitFor(arrived, 10000) && target.text() == typed;
    focusKept = target.hasFocus();
    characters += typed.size();
    SetWindowTextA(target.edit, "");
    if (sent == 1000) early = footprint(tovix.process(), sent);
  }
  const DWORD took = GetTickCount() - started;
  std::printf("%ld key events in %lu ms, %zu characters\n", sent, took, characters);
  check(inOrder && sent == events, "every character arrived, in order");
  check(focusKept, "the typing window kept the focus throughout");

  if (check(panelShown(), "the panel is up after the last lock key")) {
    for (const Lamp& lamp : kLamps) {
      check(lampColour(lamp.key) == lampFor(lamp.key),
            std::string(lamp.caption) + " lamp matches the key's toggle state");
    }
  }

  const Footprint late = footprint(tovix.process(), sent);
  check(early.gdiObjects > 0 && std::abs(late.gdiObjects - early.gdiObjects) <= 2, "GDI objects steady");
  check(early.windows > 0 && late.windows == early.windows, "windows steady");
  check(late.memory <= early.memory + 1024 * 1024, "memory within 1 MiB");

  check(tovix.close(), "Tovix ends when closed");
  return exitCode();
}
