#pragma once

#include "platform/window.h"

// The About window: the program's name, the Windows versions it is made
// for, and OK, which closes it as its close box does.
class AboutWindow : public win::Window {
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

  // Centres the window on the screen and shows it, activated.
  void showCentred();

 private:
  LRESULT onMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void onDestroyed() override { events_.onAboutClosed(); }
  void paint();

  Events& events_;
  const int dpi_;
  const win::GdiObject<HFONT> font_;
  HWND ok_ = nullptr;
};
