#pragma once

// What the program's windows share: a window whose messages go to the object
// that handles them, layout in twips, and fonts.

#include "platform/handles.h"

namespace win {

// A rectangle in twips, 1440 to the inch: the program lays its windows out
// in twips, so they keep their size in inches at any screen density.
struct TwipsRect {
  int left, top, width, height;
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

// What handles the messages of the windows made for it, each as its window
// procedure would, DefWindowProc included.
class MessageHandler {
 public:
  virtual LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~MessageHandler() = default;
};

// A hidden window of one of the program's classes, destroyed with this
// object. The classes share one window procedure, which hands each message
// to the window's handler once the window is created, its WM_NCDESTROY last.
class Window {
 public:
  // Bounds in pixels, in the parent's client area for a child window.
  Window(MessageHandler& handler, const char* className, const char* caption, DWORD style, DWORD exStyle,
         const RECT& bounds, HWND parent = nullptr);
  ~Window() { destroy(); }
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Null once the window is destroyed.
  HWND hwnd() const { return hwnd_; }
  void destroy();

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  MessageHandler& handler_;
  const HWND parent_;
  HWND hwnd_ = nullptr;
  // Set while the program destroys the window: any other process can post
  // a WM_NCDESTROY, and only the real one ends the window.
  bool destroying_ = false;
};

// The bounds at the screen's origin of a top-level window whose client area
// is width x height twips.
RECT frameBounds(int width, int height, DWORD style, DWORD exStyle, int dpi);

}  // namespace win
