#include "platform/window.h"

#include <cmath>

namespace win {

int screenDpi() {
  const ScreenDC screen;
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

HICON programIcon() { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)); }

Window::~Window() {
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  destroying_ = true;
  DestroyWindow(hwnd_);
}

void Window::destroy() {
  if (hwnd_ == nullptr) return;
  destroying_ = true;
  DestroyWindow(hwnd_);
}

void Window::createTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle, int width,
                            int height, int dpi) {
  RECT outer = {0, 0, toPixels(width, dpi), toPixels(height, dpi)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  create(className, caption, style, exStyle, {0, 0, outer.right - outer.left, outer.bottom - outer.top}, nullptr);
}

// A class belongs to the whole process: registering it again fails, harmlessly.
void Window::create(const char* className, const char* caption, DWORD style, DWORD exStyle, const RECT& bounds,
                    HWND parent) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = programIcon();
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);
  // Null where creation failed after WM_NCCREATE bound the window.
  hwnd_ = CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top, bounds.right - bounds.left,
                          bounds.bottom - bounds.top, parent, nullptr, windowClass.hInstance, this);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  // Only the real creation binds: a WM_NCCREATE sent later finds the window
  // bound already.
  if (msg == WM_NCCREATE && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == 0) {
    auto* created = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
    created->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg != WM_NCDESTROY) return window->onMessage(msg, wParam, lParam);
  // Forged: DefWindowProcA would free what the window still uses.
  if (!window->destroying_) return 0;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  window->hwnd_ = nullptr;
  window->onDestroyed();
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace win
