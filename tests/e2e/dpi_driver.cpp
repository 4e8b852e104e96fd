// Starts Tovix on a screen of 144 dots per inch (10 twips per pixel) and
// checks that the panel keeps its twips geometry: a client area of 4680 x
// 1455 twips, that is 468 x 146 pixels (145.5 rounded half away from zero),
// on the screen's right edge and 500 twips (50 pixels) above its bottom;
// and that a left click on its icon, whose messages arrive scaled by the
// twips per pixel, shows it again.
//
// dpi_driver <tovix.exe> <screenshot folder>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver_support.h"

namespace {

using e2e::check;

// Wine reads the screen density of each new process from here.
bool setScreenDensity(DWORD dotsPerInch) {
  HKEY desktop = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &desktop,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool set = RegSetValueExA(desktop, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dotsPerInch),
                                  sizeof dotsPerInch) == ERROR_SUCCESS;
  RegCloseKey(desktop);
  return set;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dpi_driver <tovix.exe> <screenshot folder>\n");
    return 2;
  }
  if (!check(setScreenDensity(144), "the screen is set to 144 dots per inch")) return e2e::exitCode();
  const e2e::Tovix tovix(argv[1]);
  if (tovix.started()) {
    HWND panel = e2e::panel();
    RECT frame;
    RECT client;
    GetWindowRect(panel, &frame);
    GetClientRect(panel, &client);
    std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld\n", frame.left, frame.top, frame.right, frame.bottom,
                client.right, client.bottom);
    check(client.right == 468 && client.bottom == 146, "client area 468 x 146 pixels = 4680 x 1455 twips");
    check(frame.right == GetSystemMetrics(SM_CXSCREEN), "right edge on the screen's right edge");
    check(std::abs(frame.bottom - (GetSystemMetrics(SM_CYSCREEN) - 50)) <= 1, "bottom edge 500 twips above the bottom");
    e2e::screenshot(panel, argv[2], "panel-144dpi");
    e2e::waitFor([] { return !e2e::panelVisible(); }, 2500);
    HWND icon = e2e::firstTrayIcon();
    if (icon != nullptr) e2e::click(e2e::centreOf(icon), 1);
    check(e2e::waitFor(e2e::panelVisible, 3000), "a left click on the icon shows the panel");
  }
  check(tovix.close(), "Tovix ends when closed");
  check(setScreenDensity(96), "the screen is back to 96 dots per inch");
  return e2e::exitCode();
}
