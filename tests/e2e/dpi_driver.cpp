// Starts Tovix on a screen of 144 dots per inch (10 twips per pixel) and
// checks that the panel keeps its twips geometry: a client area of 4680 x
// 1455 twips, that is 468 x 146 pixels (145.5 rounded half away from zero),
// on the screen's right edge and 500 twips (50 pixels) above its bottom;
// and that a left click on its icon, whose messages arrive scaled by the
// twips per pixel, shows it again. Then, with a stand-in for Wine's taskbar,
// checks that the icon the taskbar receives has the small-icon size at 96,
// 120, 144 and 168 dots per inch: 16, 20 and 24 pixels, drawn for the size,
// and 28, scaled down. The program's icon holds an image of every size from
// 16 to 48 pixels in 256 colours and in 32-bit colour.
//
// dpi_driver <tovix.exe> <screenshot folder>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver_support.h"

using namespace e2e;

namespace {

// Wine reads the screen density of each new process from here.
bool setScreenDensity(DWORD dotsPerInch) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dotsPerInch,
                         sizeof dotsPerInch) == ERROR_SUCCESS;
}

// The images of tovix.exe's icon, as "width x bits per pixel" in a row.
std::string iconImages(const char* exe) {
  std::string images;
  const HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1), RT_GROUP_ICON);
  const auto* bytes = group != nullptr ? static_cast<const BYTE*>(LockResource(LoadResource(module, group))) : nullptr;
  // Six bytes, the count at 4, then 14 an image: its width first, its bits
  // per pixel at 6.
  for (int i = 0; bytes != nullptr && i < bytes[4]; ++i) {
    images += " " + std::to_string(bytes[6 + 14 * i]) + "x" + std::to_string(bytes[6 + 14 * i + 6]);
  }
  FreeLibrary(module);
  return images;
}

void checkIconSizes(const char* exe) {
  const HWND taskbar = standInTaskbar();
  if (!check(taskbar != nullptr, "a stand-in takes the place of Wine's taskbar")) return;
  for (const DWORD dpi : {96, 120, 144, 168}) {
    trayRequests.clear();
    setScreenDensity(dpi);
    const Tovix tovix(exe);
    const bool added = tovix.started() && waitFor([] { return !trayRequests.empty(); }, 5000);
    const TrayIconData icon = added ? trayRequests[0].second : TrayIconData{};
    std::printf("%lu dpi: icon of %ux%u pixels\n", dpi, icon.iconWidth, icon.iconHeight);
    check(icon.iconWidth == 16 * dpi / 96 && icon.iconHeight == icon.iconWidth,
          std::to_string(dpi) + " dots per inch: the taskbar receives an icon of the small-icon size");
  }
  DestroyWindow(taskbar);
}

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 3, "dpi_driver <tovix.exe> <screenshot folder>")) return 2;
  const std::string images = iconImages(argv[1]);
  std::printf("icon images:%s\n", images.c_str());
  check(images == " 32x8 16x8 16x32 20x8 20x32 24x8 24x32 32x32 40x8 40x32 48x8 48x32",
        "the program's icon: today's 32-pixel image first, then each of 16 to 48 pixels in 8 and 32 bits per pixel");
  if (!check(setScreenDensity(144), "the screen is set to 144 dots per inch")) return exitCode();
  const Tovix tovix(argv[1]);
  if (tovix.started()) {
    const RECT frame = windowRect(panel());
    RECT client;
    GetClientRect(panel(), &client);
    std::printf("panel frame (%ld,%ld)-(%ld,%ld), client %ldx%ld\n", frame.left, frame.top, frame.right, frame.bottom,
                client.right, client.bottom);
    check(client.right == 468 && client.bottom == 146, "client area 468 x 146 pixels = 4680 x 1455 twips");
    check(frame.right == GetSystemMetrics(SM_CXSCREEN), "right edge on the screen's right edge");
    check(std::abs(frame.bottom - (GetSystemMetrics(SM_CYSCREEN) - 50)) <= 1, "bottom edge 500 twips above the bottom");
    screenshot(panel(), argv[2], "panel-144dpi");
    panelHidden();
    check(clickIcon(1) && panelShown(), "a left click on the icon shows the panel");
  }
  check(tovix.close(), "Tovix ends when closed");
  checkIconSizes(argv[1]);
  check(setScreenDensity(96), "the screen is back to 96 dots per inch");
  return exitCode();
}
