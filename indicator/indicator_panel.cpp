#include "indicator/indicator_panel.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/newer_windows.h"

namespace {

constexpr int kClientWidth = 4680;
constexpr int kClientHeight = 1455;
constexpr int kBottomMargin = 500;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;

// Each lamp under its caption, left to right as kLampKeys; in twips.
struct LampPlace {
  win::Caption caption;
  win::TwipsRect lampBounds;
};
constexpr LampPlace kLayout[] = {
    {{"Num", {1080, 240, 615, 375}}, {1200, 720, 375, 375}},
    {{"Caps", {2040, 240, 615, 375}}, {2160, 720, 375, 375}},
    {{"Scroll", {2880, 240, 735, 375}}, {3120, 720, 375, 375}},
};

constexpr UINT_PTR kHideTimer = 1;
constexpr DWORD kHideDelayMs = 1000;
// Posted by showSoon.
constexpr UINT kShowSoon = WM_APP + 1;

}  // namespace

IndicatorPanel::IndicatorPanel(win::MessageHandler& program, const char* caption)
    : window_(program, kClassName, caption, kStyle, kExStyle, RECT{}) {
  layOut(win::windowDpi(hwnd()));
}

void IndicatorPanel::layOut(int dpi) {
  dpi_ = dpi;
  font_ = win::createFont("MS Sans Serif", 12.0f, true, dpi);
}

// Shown, the panel has its second, however it came to show: the hide timer
// runs exactly while it shows. The lamps not set meanwhile show their keys'
// toggles as they are now, which the hook may not have seen change: in an
// elevated program, on the secure desktop, while Windows had dropped the
// hook. GetKeyState brings this thread's key state up to date with the
// keyboard's; GetKeyboardState alone would keep it as this thread's own
// input last left it.
void IndicatorPanel::show() {
  for (const LampKey& key : kLampKeys) {
    const auto lamp = static_cast<int>(key.lamp);
    if (!std::exchange(lampSet_[lamp], false)) lamps_[lamp] = toggleColor(GetKeyState(key.virtualKey));
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
  ShowWindow(hwnd(), SW_SHOWNA);
  if (!armed_) SetTimer(hwnd(), kHideTimer, kHideDelayMs, nullptr);
  armed_ = true;
  armHideTimer();
}

void IndicatorPanel::showSoon() { PostMessageA(hwnd(), kShowSoon, 0, 0); }

void IndicatorPanel::hide() {
  ShowWindow(hwnd(), SW_HIDE);
  KillTimer(hwnd(), kHideTimer);
  armed_ = false;
}

void IndicatorPanel::armHideTimer() {
  if (armed_) hideAt_ = GetTickCount() + kHideDelayMs;
}

void IndicatorPanel::setLamp(Lamp lamp, COLORREF colour) {
  lamps_[static_cast<int>(lamp)] = colour;
  lampSet_[static_cast<int>(lamp)] = true;
}

// Sized and moved in one call: each call is a trip to the window system.
void IndicatorPanel::place() {
  const RECT frame = win::frameBounds(kClientWidth, kClientHeight, kStyle, kExStyle, dpi_);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  // The margin cleared the taskbars of Windows 2000 and XP; a taller one, or
  // one on the right edge, shrinks the work area, which the panel keeps
  // inside. The whole screen where the work area cannot be read.
  RECT work = {0, 0, screenWidth, screenHeight};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int right = std::min<int>(screenWidth, work.right);
  const int bottom = std::min<int>(screenHeight - win::toPixels(kBottomMargin, dpi_), work.bottom);
  placedAt_ = POINT{right - frame.right, bottom - frame.bottom};
  SetWindowPos(hwnd(), nullptr, placedAt_->x, placedAt_->y, frame.right, frame.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void IndicatorPanel::restore() {
  if (!IsIconic(hwnd()) && !IsZoomed(hwnd())) return;
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  place();  // the screen or the work area may have changed meanwhile
  show();
}

void IndicatorPanel::paint() {
  const win::PaintDC dc(hwnd());
  SelectObject(dc.get(), font_.get());
  SelectObject(dc.get(), GetStockObject(DC_BRUSH));
  // The lamps first: they are what the user waits for.
  for (std::size_t i = 0; i < std::size(kLayout); ++i) {
    const RECT lamp = win::toPixels(kLayout[i].lampBounds, dpi_);
    SetDCBrushColor(dc.get(), lamps_[i]);
    Ellipse(dc.get(), lamp.left, lamp.top, lamp.right, lamp.bottom);
  }
  for (const LampPlace& place : kLayout) win::drawCaption(dc.get(), place.caption, dpi_);
}

// A tick hides the panel, unless the timer was armed again since Windows'
// timer was set: then it waits out the rest of the second.
void IndicatorPanel::onHideTimer() {
  const auto left = static_cast<LONG>(hideAt_ - GetTickCount());
  if (armed_ && left > 0) {
    SetTimer(hwnd(), kHideTimer, static_cast<UINT>(left), nullptr);
  } else {
    hide();
  }
}

std::optional<LRESULT> IndicatorPanel::onMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_TIMER:
      if (wParam == kHideTimer) onHideTimer();
      return 0;
    case kShowSoon:
      // Nothing pops up over a full-screen game or a presentation: it could
      // throw the game out of its full screen. A panel shown already shows
      // the new lamp.
      if (!win::popupsUnwelcome()) {
        show();
      } else {
        std::fill(std::begin(lampSet_), std::end(lampSet_), false);
        InvalidateRect(hwnd(), nullptr, TRUE);
      }
      return 0;
    case win::kWmDpiChanged:
      // Any program can post it: the density is the window's, not the message's.
      layOut(win::windowDpi(hwnd()));
      if (!IsIconic(hwnd()) && !IsZoomed(hwnd())) place();
      InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      // The panel stays where it was placed, minimized aside. Wine under
      // some window managers reports a window it maps again at the corner
      // where the window manager's frame first appears, and would move it
      // there.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (placedAt_ && !IsIconic(hwnd()) && (pos->x != placedAt_->x || pos->y != placedAt_->y)) {
        pos->flags |= SWP_NOMOVE;
      }
      return std::nullopt;
    }
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
      // Minimized or maximized, the panel is placed when it is restored.
      if ((msg == WM_DISPLAYCHANGE || wParam == SPI_SETWORKAREA) && !IsIconic(hwnd()) && !IsZoomed(hwnd())) place();
      return std::nullopt;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
  }
  return std::nullopt;
}
