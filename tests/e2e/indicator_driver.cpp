// Starts tovix.exe and checks the lock indicator as a user meets it: the
// panel at the bottom-right, topmost, hiding itself; each lock key's lamp
// showing the key's real toggle state after its release; and the window the
// user types into keeping the focus and every character.
//
// indicator_driver <tovix.exe> <folder for screenshots>

#include <cstdio>
#include <string>

#include "driver_support.h"

namespace {

using e2e::check;

using e2e::panel;
using e2e::panelVisible;

void typeDigits(const std::string& digits) {
  std::vector<WORD> keys(digits.begin(), digits.end());
  e2e::tapKeys(keys);
}

void checkPlacement(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  RECT client;
  GetClientRect(window, &client);
  std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld, screen %dx%d at %.2f twips/pixel\n", frame.left,
              frame.top, frame.right, frame.bottom, client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), e2e::twipsPerPixel());
  check(e2e::panelPlacedBottomRight(window),
        "the panel's right edge is on the screen's right edge, its bottom edge 500 twips above the screen's");
  check(client.right == e2e::twipsToPixels(4680) && client.bottom == e2e::twipsToPixels(1455),
        "the client area is 4680 x 1455 twips");
  const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  check((exStyle & WS_EX_TOPMOST) != 0, "the panel is topmost");
  check((exStyle & WS_EX_TOOLWINDOW) != 0 && (style & WS_SYSMENU) == 0,
        "the panel is a tool window without a control box");
  e2e::checkCaptionFits("Num", 615, 375, 12.0f);
  e2e::checkCaptionFits("Caps", 615, 375, 12.0f);
  e2e::checkCaptionFits("Scroll", 735, 375, 12.0f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: indicator_driver <tovix.exe> <screenshot folder>\n");
    return 2;
  }
  const std::string shots = argv[2];

  // The user is typing somewhere when Tovix starts.
  e2e::TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  const e2e::Tovix tovix(argv[1]);
  if (!check(tovix.process() != nullptr, "tovix.exe starts")) return e2e::exitCode();

  // Of the drivers, this one checks the start-up show and hide; the others
  // wait for them.
  if (check(tovix.started(), "the panel appears after start-up")) {
    const DWORD shown = GetTickCount();
    checkPlacement(panel());
    check(target.hasFocus(), "the typing window keeps the focus while the panel shows");
    const bool hid = e2e::waitFor([] { return !panelVisible(); }, 2500);
    check(hid, "the panel hides by itself after start-up (" + std::to_string(GetTickCount() - shown) + " ms)");
  }
  check(target.hasFocus(), "the typing window has the focus after start-up");

  std::string typed;
  int round = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (const e2e::Lamp& lamp : e2e::kLamps) {
      const std::string digits = std::to_string(10 + round++);
      typeDigits(digits);
      typed += digits;
      std::string name = lamp.caption;
      CharLowerA(&name[0]);
      const std::string what = name + " lock release " + std::to_string(pass + 1);

      e2e::tapKeys({lamp.key});
      const bool shown = e2e::waitFor([&] { return panelVisible() && e2e::lastKeyUp() == lamp.key; }, 3000);
      if (!check(shown, what + ": the panel shows")) continue;
      const bool on = (GetKeyState(lamp.key) & 1) != 0;
      const std::uint32_t expected = on ? e2e::kLampOn : e2e::kLampOff;
      std::uint32_t seen = 0;
      const bool lit = e2e::waitFor([&] { return (seen = e2e::lampColour(lamp.key)) == expected; }, 1000);
      check(lit, what + ": the lamp is " + (on ? "green" : "olive") + " with the toggle " + (on ? "on" : "off") +
                     " (pixel " + e2e::hex(seen) + ")");
      e2e::screenshot(panel(), shots, "panel-" + name + (on ? "-on" : "-off"));
      check(target.hasFocus(), what + ": the typing window keeps the focus");
      check(e2e::waitFor([] { return !panelVisible(); }, 2500), what + ": the panel hides again");
    }
  }

  // Every key event starts the second over: the panel stays up while the
  // user types on after a lock key, and hides a second after the last key.
  e2e::tapKeys({VK_SCROLL});
  if (check(e2e::waitFor(panelVisible, 3000), "scroll lock shows the panel before typing on")) {
    bool stayed = true;
    DWORD lastKey = 0;
    for (int i = 0; i < 8 && stayed; ++i) {
      typeDigits("7");
      typed += "7";
      lastKey = GetTickCount();
      stayed = !e2e::waitFor([] { return !panelVisible(); }, 250);
    }
    check(stayed, "the panel stays up through two seconds of typing");
    const bool hid = e2e::waitFor([] { return !panelVisible(); }, 2500);
    const DWORD after = GetTickCount() - lastKey;
    check(hid && after >= 800, "and hides a second after the last key (" + std::to_string(after) + " ms)");
  }
  e2e::tapKeys({VK_SCROLL});

  typeDigits("99");
  typed += "99";
  const bool arrived = e2e::waitFor([&] { return target.text() == typed; }, 3000);
  check(arrived, "every character typed arrives: \"" + target.text() + "\" (expected \"" + typed + "\")");
  check(target.hasFocus(), "the typing window has the focus at the end");

  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
  return e2e::exitCode();
}
