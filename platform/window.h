#pragma once

// What the program's windows share: binding a window to the object it was
// made for, layout in twips, fonts and the program's icon.

#include "platform/handles.h"
#include "platform/win_api.h"

namespace win {

// The object a window was created for (CreateWindowEx's last argument),
// bound to it at WM_NCCREATE; null before that and once unbound.
template <typename T>
T* boundObject(HWND hwnd, UINT msg, LPARAM lParam) {
  // Only the real creation binds: a WM_NCCREATE sent later finds the window
  // bound already.
  if (msg == WM_NCCREATE && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == 0) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
inline void unbind(HWND hwnd) { SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0); }

// A rectangle in twips, 1440 to the inch: the program lays its windows out
// in twips, so they keep their size in inches at any screen density.
struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

// The screen's dots per inch. The program declares itself DPI-aware, so
// Windows neither stretches nor blurs what it draws.
int screenDpi();
// Twips to the nearest pixel, halves away from zero: at 144 dots per inch
// 1455 twips are 146 pixels.
int toPixels(int twips, int dpi);
RECT toPixels(const TwipsRect& r, int dpi);

// A face of a size in points, bold or regular, for the screen's density.
GdiObject<HFONT> createFont(const char* face, float points, bool bold, int dpi);

// The program's icon, from its resources; the system owns it.
HICON programIcon();

}  // namespace win

namespace win {

// Registers one of the program's window classes: its icon, the arrow
// cursor, the face colour of dialogs. A class belongs to the whole process:
// registering it again fails, harmlessly.
void registerClass(const char* name, WNDPROC proc);

// A hidden top-level window of the class, made for `object`, whose client
// area is clientWidth x clientHeight twips.
HWND createTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle, int clientWidth,
                    int clientHeight, int dpi, void* object);

}  // namespace win
