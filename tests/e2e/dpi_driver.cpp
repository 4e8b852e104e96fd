// Starts Tovix on a screen of 144 dots per inch (10 twips per pixel) and
// checks that the panel keeps its twips geometry: a client area of 4680 x
// 1455 twips, that is 468 x 146 pixels (145.5 rounded half away from zero),
// on the screen's right edge and 500 twips (50 pixels) above its bottom;
// and that a left click on its icon, whose messages arrive scaled by the
// twips per pixel, shows it again. Then, with a stand-in for Wine's taskbar,
// checks that the icon the taskbar receives has the small-icon size at 96,
// 120 and 144 dots per inch: 16, 20 and 24 pixels, each drawn for its size
// in the program's icon, which holds every size from 16 to 48 pixels in 256
// colours and in 32-bit colour.
//
// dpi_driver <tovix.exe> <screenshot folder>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "driver_support.h"

#include <shellapi.h>

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

// The images of tovix.exe's icon, as "width x height x bits per pixel".
std::set<std::string> iconImages(const char* exe) {
  std::set<std::string> images;
  const HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC group = module != nullptr ? FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON) : nullptr;
  const auto* bytes = group != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  // Six bytes, the count at 4, then 14 an image: width, height, colours,
  // a reserved byte, planes and bits per pixel in words, and so on.
  for (int i = 0; bytes != nullptr && i < bytes[4]; ++i) {
    const BYTE* image = bytes + 6 + 14 * i;
    images.insert(std::to_string(image[0]) + "x" + std::to_string(image[1]) + "x" + std::to_string(image[6]));
  }
  if (module != nullptr) FreeLibrary(module);
  return images;
}

std::vector<e2e::TrayIconData> iconsAdded;

LRESULT CALLBACK taskbarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COPYDATA) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data->dwData == NIM_ADD && data->cbData >= sizeof(e2e::TrayIconData)) {
    iconsAdded.push_back(*static_cast<const e2e::TrayIconData*>(data->lpData));
  }
  return TRUE;
}

void checkIconSizes(const char* exe) {
  const HWND taskbar = e2e::standInTaskbar(taskbarProc);
  if (!check(taskbar != nullptr, "a stand-in takes the place of Wine's taskbar")) return;
  for (const DWORD dpi : {96, 120, 144}) {
    iconsAdded.clear();
    setScreenDensity(dpi);
    const e2e::Tovix tovix(exe);
    const bool added = tovix.started() && e2e::waitFor([] { return !iconsAdded.empty(); }, 5000);
    const UINT side = 16 * dpi / 96;
    std::printf("%lu dpi: icon of %ux%u pixels\n", dpi, added ? iconsAdded[0].iconWidth : 0,
                added ? iconsAdded[0].iconHeight : 0);
    check(added && iconsAdded[0].iconWidth == side && iconsAdded[0].iconHeight == side,
          std::to_string(dpi) + " dots per inch: the taskbar receives an icon of the small-icon size");
  }
  DestroyWindow(taskbar);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dpi_driver <tovix.exe> <screenshot folder>\n");
    return 2;
  }
  const std::set<std::string> images = iconImages(argv[1]);
  for (const int side : {16, 20, 24, 32, 40, 48}) {
    for (const int bits : {8, 32}) {
      const std::string image = std::to_string(side) + "x" + std::to_string(side) + "x" + std::to_string(bits);
      check(images.count(image) == 1, "the program's icon holds a " + image + " image");
    }
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
  checkIconSizes(argv[1]);
  check(setScreenDensity(96), "the screen is back to 96 dots per inch");
  return e2e::exitCode();
}
