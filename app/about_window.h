#pragma once

#include "platform/handles.h"
#include "platform/win_api.h"

// The About window: the program's name, the Windows versions it is made
// for, and OK, which closes it as its close box does.
class AboutWindow {
 public:
  class Events {
   public:
    // The window is gone: OK, its close box, or WM_CLOSE.
    virtual void onAboutClosed() = 0;

   protected:
    ~Events() = default;
  };

  static constexpr char kClassName[] = "TovixAbout";

  explicit AboutWindow(Events& events);
  ~AboutWindow();
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  // Null once the window is closed.
  HWND hwnd() const { return hwnd_; }

  // Centres the window on the screen and shows it, activated.
  void showCentred();

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void paint();
  void close();

  Events& events_;
  const int dpi_;
  const win::GdiObject<HFONT> font_;
  HWND hwnd_ = nullptr;
  HWND ok_ = nullptr;
  // Set while the program destroys the window: only that WM_NCDESTROY ends it.
  bool destroying_ = false;
};
