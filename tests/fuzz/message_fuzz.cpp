// Throws random calls at the program's message entry points, on the
// recording fakes: the keyboard hook, the panel's hot keys, the notification
// callback, timer ticks, resume and taskbar notices. Every hook call must be
// passed on exactly once with its result returned (no key swallowed, none
// changed), and nothing may crash or trip a sanitizer.
//
//   message_fuzz [iterations] [seed]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "app/application.h"
#include "fake.h"
#include "indicator/keyboard_hook.h"
#include "platform/win_records.h"

namespace {

std::mt19937 rng;

std::uint32_t any32() { return static_cast<std::uint32_t>(rng()); }

template <typename T>
T pick(std::initializer_list<T> choices) {
  return *(choices.begin() + rng() % choices.size());
}

int failures = 0;

void expect(bool ok, const std::string& what, std::uint64_t iteration) {
  if (ok) return;
  if (++failures <= 10) std::printf("FAIL at %llu: %s\n", static_cast<unsigned long long>(iteration), what.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t iterations = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 20000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1;
  rng.seed(seed);

  fake::reset();
  fake::logging() = false;  // the log would only grow: the desktop's state is what counts
  Application app;
  app.startUp();
  IndicatorPanel& panel = app.panel();
  const std::int32_t atoms[] = {-16383, -16382, -16381};

  for (std::uint64_t i = 0; i < iterations; ++i) {
    fake::desktop().passedOn.clear();
    fake::answers().nextHookResult = static_cast<win::LResult>(static_cast<std::int32_t>(any32()));
    fake::answers().keyStates[pick({0x14, 0x90, 0x91})] = static_cast<std::int16_t>(any32());
    fake::answers().menuChoice = pick<int>({-1, -1, 0});

    switch (rng() % 6) {
      case 0:
      case 1: {  // a keyboard event
        win::KBDLLHOOKSTRUCT event = {pick<std::uint32_t>({0x14, 0x90, 0x91, 0x41, 0x10, any32()}), any32(),
                                      pick<std::uint32_t>({0, 0x80, 0x90, 0x01, any32()}), any32(), any32()};
        const int nCode = pick<int>({0, 0, 0, -1, 3, static_cast<int>(any32())});
        // For other codes the record is never read: hand it an address that
        // must not be touched.
        const win::LParam lParam = nCode == 0 ? reinterpret_cast<win::LParam>(&event) : 0x10;
        const win::WParam wParam = pick<win::WParam>({0x100, 0x101, 0x104, 0x105, any32()});
        const win::LResult result = KeyboardHookProc(nCode, wParam, lParam);
        expect(result == fake::answers().nextHookResult, "hook result returned", i);
        expect(fake::desktop().passedOn ==
                   std::vector<fake::Desktop::PassedOn>{{fake::answers().hookHandle, nCode, wParam, lParam}},
               "event passed on once, unchanged", i);
        break;
      }
      case 2:  // a hot key of the panel, pressed or posted
        fake::answers().keysDown = {pick<int>({0, 0xB5, 0xB6, 0xB7})};
        panel.form().onHotKey(pick({atoms[0], atoms[1], atoms[2], 0, static_cast<std::int32_t>(any32())}));
        break;
      case 3: {  // the notification callback, as the toolkit reports it
        const float tpp = fake::screen().twipsPerPixel;
        const float x = pick<float>({514 * tpp, 517 * tpp, 513 * tpp, static_cast<std::int16_t>(any32()) * tpp});
        panel.trayReceiver.onMouseMove(static_cast<int>(rng() % 8), static_cast<int>(rng() % 4), x,
                                   static_cast<std::int16_t>(any32()) * tpp);
        break;
      }
      case 4:
        fake::tick(panel.hwnd(), "hideTimer");
        if (app.about() != nullptr && rng() % 4 == 0) app.about()->onOk();
        break;
      case 5:
        if (rng() % 2 == 0) {
          fake::resume(panel.hwnd());
        } else {
          panel.form().onTaskbarCreated();
        }
        break;
    }
  }
  app.shutDown();
  std::printf("message fuzz: %llu calls, seed %u, %d failures\n", static_cast<unsigned long long>(iterations), seed,
              failures);
  return failures == 0 ? 0 : 1;
}
