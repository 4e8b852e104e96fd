// The benchmarks' baseline: a minimal Win32 window program, built like
// tovix.exe. It shows a small window titled "Baseline" without activating
// it and runs a message loop. With --hook it also installs a low-level
// keyboard hook that does nothing but pass each event on. With --lamp the
// window starts hidden where Tovix's panel shows and takes the trip a lamp
// of Tovix takes and nothing else: a low-level hook that, on Caps Lock's
// release, has the window shown topmost without activation, where it paints
// a green circle; it hides again a second later.

#include "baseline_window.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kShowLamp = WM_APP + 1;
constexpr UINT_PTR kHideTimer = 1;

HHOOK hook = nullptr;
HWND window = nullptr;
POINT place = {0, 0};
bool paintsLamp = false;

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(hook, code, wParam, lParam); }

// As Tovix's hook: the show is posted, so the key goes on at once.
LRESULT CALLBACK lampHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && event->vkCode == VK_CAPITAL && (event->flags & LLKHF_UP)) {
    PostMessageA(window, kShowLamp, 0, 0);
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

void paintLamp(HWND hwnd) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd, &paint);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  HGDIOBJ old = SelectObject(dc, green);
  Ellipse(dc, 80, 48, 105, 73);
  SelectObject(dc, old);
  DeleteObject(green);
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kShowLamp:
      SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
      SetTimer(hwnd, kHideTimer, 1000, nullptr);
      return 0;
    case WM_TIMER:
      KillTimer(hwnd, kHideTimer);
      ShowWindow(hwnd, SW_HIDE);
      return 0;
    case WM_PAINT:
      if (!paintsLamp) break;
      paintLamp(hwnd);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      // As Tovix's panel: Wine under some window managers reports a window
      // it maps again where the manager's frame first appears.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (paintsLamp && (pos->x != place.x || pos->y != place.y)) pos->flags |= SWP_NOMOVE;
      break;
    }
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Where Tovix's panel shows: the bottom-right corner of the work area,
// 500 twips clear of the screen's bottom. Made there, the window is never
// found anywhere else.
POINT panelPlace() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const HDC screen = GetDC(nullptr);
  const int margin = MulDiv(500, GetDeviceCaps(screen, LOGPIXELSY), 1440);
  ReleaseDC(nullptr, screen);
  const int bottom = std::min<int>(GetSystemMetrics(SM_CYSCREEN) - margin, work.bottom);
  return {work.right - kBaselineFrame.cx, bottom - kBaselineFrame.cy};
}

}  // namespace

int main(int argc, char** argv) {
  const bool withHook = argc > 1 && std::strcmp(argv[1], "--hook") == 0;
  const bool lamp = argc > 1 && std::strcmp(argv[1], "--lamp") == 0;
  paintsLamp = lamp;
  if (lamp) place = panelPlace();
  window = createBaselineWindow(windowProc, place);
  if (!lamp) ShowWindow(window, SW_SHOWNA);
  if (withHook || lamp)
    hook = SetWindowsHookExA(WH_KEYBOARD_LL, lamp ? lampHook : passOn, GetModuleHandleA(nullptr), 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  return 0;
}
