#include "app/about_window.h"

#include <cmath>
#include <utility>

#include "platform/newer_windows.h"

namespace {

constexpr int kClientWidth = 4455;
constexpr int kClientHeight = 2580;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

constexpr win::Caption kTexts[] = {
    {"Tovix", {720, 360, 3375, 495}},
    {"For WIndows 2000/XP/Vista/7", {1200, 840, 2295, 735}},
};
constexpr win::TwipsRect kOkBounds = {1560, 1800, 1575, 615};

}  // namespace

AboutWindow::AboutWindow(std::function<void()> closed)
    : closed_(std::move(closed)), window_(*this, kClassName, "About", kStyle, kExStyle, RECT{}) {
  // The default button, first in the tab order: Enter clicks it.
  ok_ = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0, hwnd(),
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDOK)), GetModuleHandleA(nullptr), nullptr);
  layOut(win::windowDpi(hwnd()));
}

void AboutWindow::layOut(int dpi) {
  dpi_ = dpi;
  win::GdiObject<HFONT> font = win::createFont("MS Sans Serif", 13.5f, true, dpi);
  SendMessageA(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);  // the old font goes once OK has the new one
  const RECT frame = win::frameBounds(kClientWidth, kClientHeight, kStyle, kExStyle, dpi);
  SetWindowPos(hwnd(), nullptr, 0, 0, frame.right, frame.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT ok = win::toPixels(kOkBounds, dpi);
  SetWindowPos(ok_, nullptr, ok.left, ok.top, ok.right - ok.left, ok.bottom - ok.top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void AboutWindow::showCentred() {
  centre();
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());  // when it was open already, behind others
}

void AboutWindow::centre() {
  RECT frame;
  GetWindowRect(hwnd(), &frame);
  // Halves rounded away from zero, as the first versions placed it.
  const auto centre = [](int screen, LONG size) { return static_cast<int>(std::lround((screen - size) / 2.0)); };
  SetWindowPos(hwnd(), nullptr, centre(GetSystemMetrics(SM_CXSCREEN), frame.right - frame.left),
               centre(GetSystemMetrics(SM_CYSCREEN), frame.bottom - frame.top), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::paint() {
  const win::PaintDC dc(hwnd());
  SelectObject(dc.get(), font_.get());
  for (const win::Caption& text : kTexts) win::drawCaption(dc.get(), text, dpi_);
}

LRESULT AboutWindow::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT:
      paint();
      return 0;
    case win::kWmDpiChanged:  // as for the panel: the window's density, not the message's
      layOut(win::windowDpi(hwnd));
      centre();
      return 0;
    case WM_SETFOCUS:
      // The window hands its focus on to OK.
      SetFocus(ok_);
      return 0;
    case WM_COMMAND:
      // OK, Enter or Esc.
      if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == BN_CLICKED) window_.destroy();
      return 0;
    case WM_SYSCOMMAND:
      // The close box and Alt+F4.
      if ((wParam & 0xFFF0) != SC_CLOSE) break;
      window_.destroy();
      return 0;
    case WM_CLOSE:
      return 0;
    case WM_NCDESTROY:
      closed_();
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
