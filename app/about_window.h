#pragma once

#include <functional>

#include "platform/window.h"

// The About window: the program's name, the Windows versions it is made
// for, and OK, which closes it as Esc, Alt+F4 and its close box do. A bare
// WM_CLOSE, which any program can post, leaves it open.
class AboutWindow : win::MessageHandler {
 public:
  static constexpr char kClassName[] = "TovixAbout";

  // `closed` runs once the window is gone.
  explicit AboutWindow(std::function<void()> closed);

  // Null once it is closed.
  HWND hwnd() const { return window_.hwnd(); }
  // Centres the window on the screen and shows it, activated.
  void showCentred();

 private:
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Size, font and OK for a density, in twips as at any other.
  void layOut(int dpi);
  void centre();
  void paint();

  const std::function<void()> closed_;
  int dpi_ = 0;
  win::GdiObject<HFONT> font_;
  win::Window window_;
  HWND ok_ = nullptr;
};
