// Starts Tovix ten times in a row under the window manager and checks that
// its panel opens at the bottom-right each time, as Windows reports it and as
// the X server shows it, and stays there when it hides and shows again.
// Given a desktop panel that reserves a strip of the screen ("bottom 48":
// 48 pixels at the bottom; "right 80"), it starts Tovix once and checks that
// the panel keeps clear of that strip, moved no more than it must.
//
// placement_driver <tovix.exe> <screenshot folder> [bottom|right <pixels>]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "driver_support.h"

using namespace e2e;

namespace {

// Both what Windows reports and where the X server shows the panel: right
// and bottom edges where they belong.
bool placedRight(const std::string& shots, const std::string& when, const POINT& corner) {
  POINT x = {-1, -1};
  const bool shown = waitFor([&] { return xWindowOrigin(shots, "Tovix", &x); }, 3000);
  const RECT frame = windowRect(panel());
  std::printf("%s: panel frame (%ld,%ld)-(%ld,%ld), X window at (%ld,%ld)\n", when.c_str(), frame.left, frame.top,
              frame.right, frame.bottom, x.x, x.y);
  return frame.right == corner.x && frame.bottom == corner.y && shown && x.x == frame.left && x.y == frame.top;
}

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 3 || argc == 5, "placement_driver <tovix.exe> <screenshot folder> [bottom|right <pixels>]")) {
    return 2;
  }
  const std::string shots = argv[2];
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  RECT work = {0, 0, width, height};
  if (argc == 5) (std::string(argv[3]) == "right" ? work.right : work.bottom) -= std::atol(argv[4]);
  // The screen's right edge, 500 twips above its bottom, inside the work area.
  const POINT corner = {std::min(width, work.right), std::min(height - twipsToPixels(500), work.bottom)};
  int right = 0;
  const int starts = argc == 5 ? 1 : 10;
  for (int start = 1; start <= starts; ++start) {
    const std::string what = "start " + std::to_string(start);
    const Tovix tovix(argv[1]);
    if (!tovix.started()) break;
    bool placed = placedRight(shots, what, corner);
    panelHidden();
    // Scroll Lock shows the panel again; pressed twice, it keeps its state.
    tapKeys({VK_SCROLL, VK_SCROLL});
    placed = panelShown() && placedRight(shots, what + ", shown again", corner) && placed;
    right += placed ? 1 : 0;
    check(tovix.close(), what + ": Tovix ends when closed");
  }
  check(right == starts, "the panel opened with its corner at (" + std::to_string(corner.x) + "," +
                             std::to_string(corner.y) + ") on " + std::to_string(right) + " starts of " +
                             std::to_string(starts) + ", and stayed there when shown again");
  return exitCode();
}
