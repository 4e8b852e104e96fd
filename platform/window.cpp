#include "platform/window.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/newer_windows.h"

namespace win {

namespace {

void releaseScreenDC(HDC dc) { ReleaseDC(nullptr, dc); }

// The program's windows and their objects, looked up by handle. A window's
// own GWLP_USERDATA would not do: any process can change it, and the window
// procedure would call through whatever it was set to.
Window* bound[4] = {};
Window** slotOf(HWND hwnd) {
  Window** slot = bound;
  while (slot != std::end(bound) && (*slot == nullptr || (*slot)->hwnd() != hwnd)) ++slot;
  return slot;
}

}  // namespace

int screenDpi() {
  const Owned<HDC, &releaseScreenDC> screen(GetDC(nullptr));
  return GetDeviceCaps(screen.get(), LOGPIXELSX);
}

int toPixels(int twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<float>(twips) / (1440.0f / static_cast<float>(dpi))));
}

RECT toPixels(const TwipsRect& r, int dpi) {
  const LONG left = toPixels(r.left, dpi);
  const LONG top = toPixels(r.top, dpi);
  return {left, top, left + toPixels(r.width, dpi), top + toPixels(r.height, dpi)};
}

void drawCaption(HDC dc, const Caption& caption, int dpi) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT bounds = toPixels(caption.bounds, dpi);
  DrawTextA(dc, caption.text, -1, &bounds, DT_LEFT | DT_TOP | DT_WORDBREAK);
}

GdiObject<HFONT> createFont(const char* face, float points, bool bold, int dpi) {
  // Negative: Windows matches the height of the characters, not of their cells.
  const int height = -static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
  return GdiObject<HFONT>(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, face));
}

RECT frameBounds(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  RECT outer = {0, 0, toPixels(width, dpi), toPixels(height, dpi)};
  adjustFrame(outer, style, exStyle, dpi);
  return {0, 0, outer.right - outer.left, outer.bottom - outer.top};
}

// A class belongs to the whole process: registering it again fails, harmlessly.
Window::Window(MessageHandler& handler, const char* className, const char* caption, DWORD style, DWORD exStyle,
               const RECT& bounds, HWND parent)
    : handler_(handler), parent_(parent) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(1));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  hwnd_ = CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                          bounds.bottom - bounds.top, parent, nullptr, windowClass.hInstance, nullptr);
  Window** free = std::find(std::begin(bound), std::end(bound), nullptr);
  if (hwnd_ != nullptr && free != std::end(bound)) *free = this;
}

void Window::destroy() {
  if (hwnd_ == nullptr) return;
  destroying_ = true;
  DestroyWindow(hwnd_);  // its WM_NCDESTROY lets go of the handle
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Window** slot = slotOf(hwnd);
  if (slot == std::end(bound)) return DefWindowProcA(hwnd, msg, wParam, lParam);  // still being created
  Window& window = **slot;
  if (msg == WM_NCDESTROY) {
    // Real only while the program destroys the window or its parent; a forged
    // one DefWindowProc would answer by freeing what the window still uses.
    Window** parent = slotOf(window.parent_);
    if (!window.destroying_ && (parent == std::end(bound) || !(*parent)->destroying_)) return 0;
    *slot = nullptr;
    window.hwnd_ = nullptr;
  }
  return window.handler_.onMessage(hwnd, msg, wParam, lParam);
}

}  // namespace win
