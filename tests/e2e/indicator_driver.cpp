// Starts tovix.exe and checks the lock indicator as a user meets it: the
// panel at the bottom-right, topmost, hiding itself; each lock key's lamp
// showing the key's real toggle state after its release; and the window the
// user types into keeping the focus and every character.
//
// indicator_driver <tovix.exe> <folder for screenshots>

#include <cstdio>
#include <string>

#include "driver_support.h"

using namespace e2e;

namespace {

void checkPlacement(HWND window) {
  const RECT frame = windowRect(window);
  RECT client;
  GetClientRect(window, &client);
  std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld, screen %dx%d at %.2f twips/pixel\n", frame.left,
              frame.top, frame.right, frame.bottom, client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN), twipsPerPixel());
  check(panelPlacedBottomRight(window),
        "the panel's right edge is on the screen's right edge, its bottom edge 500 twips above the screen's");
  check(client.right == twipsToPixels(4680) && client.bottom == twipsToPixels(1455),
        "the client area is 4680 x 1455 twips");
  const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
  check((exStyle & WS_EX_TOPMOST) != 0, "the panel is topmost");
  check((exStyle & WS_EX_TOOLWINDOW) != 0 && (GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) == 0,
        "the panel is a tool window without a control box");
  for (const auto& [caption, width] : {std::pair{"Num", 615}, {"Caps", 615}, {"Scroll", 735}}) {
    checkCaptionFits(caption, width, 375, 12.0f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 3, "indicator_driver <tovix.exe> <screenshot folder>")) return 2;

  // The user is typing somewhere when Tovix starts.
  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  const Tovix tovix(argv[1]);
  if (!check(tovix.process() != nullptr, "tovix.exe starts")) return exitCode();

  // Of the drivers, this one checks the start-up show and hide; the others
  // wait for them.
  if (check(tovix.started(), "the panel appears after start-up")) {
    const DWORD shown = GetTickCount();
    checkPlacement(panel());
    check(target.hasFocus(), "the typing window keeps the focus while the panel shows");
    const bool hid = panelHidden();
    check(hid, "the panel hides by itself after start-up (" + std::to_string(GetTickCount() - shown) + " ms)");
  }
  check(target.hasFocus(), "the typing window has the focus after start-up");

  // Digits typed before each lock key, and at the end, must all arrive.
  std::string typed;
  const auto type = [&typed](const std::string& digits) {
    tapKeys(std::vector<WORD>(digits.begin(), digits.end()));
    typed += digits;
  };
  for (int round = 0; round < 6; ++round) {
    const Lamp& lamp = kLamps[round % 3];
    type(std::to_string(10 + round));
    std::string name = lamp.caption;
    CharLowerA(&name[0]);
    const std::string what = name + " lock release " + std::to_string(round / 3 + 1);
    checkLockKey(lamp.key, what);
    screenshot(panel(), argv[2], "panel-" + name + (GetKeyState(lamp.key) & 1 ? "-on" : "-off"));
    check(target.hasFocus(), what + ": the typing window keeps the focus");
    check(panelHidden(), what + ": the panel hides again");
  }

  // Every key event starts the second over: the panel stays up while the
  // user types on after a lock key, and hides a second after the last key.
  tapKeys({VK_SCROLL});
  if (check(panelShown(), "scroll lock shows the panel before typing on")) {
    bool stayed = true;
    DWORD lastKey = 0;
    for (int i = 0; i < 8 && stayed; ++i) {
      type("7");
      lastKey = GetTickCount();
      stayed = !panelHidden(250);
    }
    check(stayed, "the panel stays up through two seconds of typing");
    const bool hid = panelHidden();
    const DWORD after = GetTickCount() - lastKey;
    check(hid && after >= 800, "and hides a second after the last key (" + std::to_string(after) + " ms)");
  }
  tapKeys({VK_SCROLL});

  type("99");
  const bool arrived = waitFor([&] { return target.text() == typed; }, 3000);
  check(arrived, "every character typed arrives: \"" + target.text() + "\" (expected \"" + typed + "\")");
  check(target.hasFocus(), "the typing window has the focus at the end");

  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
  return exitCode();
}
