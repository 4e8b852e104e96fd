#pragma once

// What the program's windows share: a window bound to the object it was
// made for, layout in twips, fonts and the program's icon.

#include "platform/handles.h"

namespace win {

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

// Text in a box, in twips, word-wrapped at the box's width.
struct Caption {
  const char* text;
  TwipsRect bounds;
};
// Draws it in the face colour's text colour, over what is there.
void drawCaption(HDC dc, const Caption& caption, int dpi);

// A face of a size in points, bold or regular, for the screen's density.
GdiObject<HFONT> createFont(const char* face, float points, bool bold, int dpi);

// The program's icon, from its resources; the system owns it.
HICON programIcon();

// A window of one of the program's classes, bound to this object from its
// creation to its WM_NCDESTROY. The classes share one window procedure,
// which hands every message to the object's onMessage.
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Null once the window is destroyed.
  HWND hwnd() const { return hwnd_; }
  // Destroys the window; onDestroyed follows.
  void destroy();

 protected:
  Window() = default;
  // The window goes without a word to the rest of the object, which is
  // gone already.
  ~Window();

  // A hidden top-level window whose client area is width x height twips.
  void createTopLevel(const char* className, const char* caption, DWORD style, DWORD exStyle, int width, int height,
                      int dpi);
  void create(const char* className, const char* caption, DWORD style, DWORD exStyle, const RECT& bounds, HWND parent);

  virtual LRESULT onMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
  }
  virtual void onDestroyed() {}

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  // Set while the program destroys the window: any other process can post
  // a WM_NCDESTROY, and only the real one ends the window.
  bool destroying_ = false;
};

}  // namespace win
