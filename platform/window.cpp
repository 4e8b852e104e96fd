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

GdiObject<HFONT> createFont(const char* face, float points, bool bold, int dpi) {
  // Negative: Windows matches the height of the characters, not of their cells.
  const int height = -static_cast<int>(std::lround(points * static_cast<float>(dpi) / 72.0f));
  return GdiObject<HFONT>(CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                      DEFAULT_PITCH | FF_DONTCARE, face));
}

HICON programIcon() { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)); }

}  // namespace win

namespace win {

void registerClass(const char* name, WNDPROC proc) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hIcon = programIcon();
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<LONG_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

HWND createTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle, int clientWidth,
                    int clientHeight, int dpi, void* object) {
  RECT outer = {0, 0, toPixels(clientWidth, dpi), toPixels(clientHeight, dpi)};
  AdjustWindowRectEx(&outer, style, FALSE, exStyle);
  return CreateWindowExA(exStyle, className, caption, style, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                         nullptr, nullptr, GetModuleHandleA(nullptr), object);
}

}  // namespace win
