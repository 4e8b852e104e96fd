#pragma once

#include "platform/win_api.h"

// The hidden child window of the panel that the notification icon reports
// to: its callback message arrives here with the mouse message in lParam.
class TrayReceiver {
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
  ~TrayReceiver();
  TrayReceiver(const TrayReceiver&) = delete;
  TrayReceiver& operator=(const TrayReceiver&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Events& events_;
  HWND hwnd_ = nullptr;  // null once it went with the panel
};
