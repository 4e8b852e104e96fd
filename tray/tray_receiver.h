#pragma once

#include "platform/window.h"

// The hidden child window of the panel that the notification icon reports
// to: its callback message arrives here with the mouse message in lParam.
class TrayReceiver : public win::Window {
 public:
  class Events {
   public:
    virtual void onTrayLeftClick() = 0;
    virtual void onTrayRightClick() = 0;

   protected:
    ~Events() = default;
  };

  static constexpr char kClassName[] = "TovixPicture";
  // WM_MOUSEMOVE, as the first versions had it.
  static constexpr UINT kCallbackMessage = WM_MOUSEMOVE;

  TrayReceiver(HWND panel, Events& events);

 private:
  LRESULT onMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  Events& events_;
};
