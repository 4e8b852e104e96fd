#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/handles.h"

// The program's notification-area icon, for as long as this object lives.
class TrayIcon {
 public:
  // The icon's messages reach `owner` as callbackMessage, the mouse message
  // in lParam. Its image is the program's, at the small-icon size.
  TrayIcon(HWND owner, UINT callbackMessage, const char* tip);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // After a taskbar restart, or a change of the screen's scale: the same
  // icon again, its image loaded anew for the small-icon size.
  void restore();

 private:
  // NOTIFYICONDATA in the 88-byte ANSI form every Windows version since 95
  // accepts, handles as the 32-bit values they are.
  struct Record {
    std::uint32_t cbSize;
    std::uint32_t hWnd;
    std::uint32_t uID;
    std::uint32_t uFlags;
    std::uint32_t uCallbackMessage;
    std::uint32_t hIcon;
    char szTip[64];
  };
  static_assert(sizeof(Record) == 88, "the 88-byte record");
  static_assert(offsetof(Record, szTip) == 24, "szTip at offset 24");

  Record record_;
  win::Icon image_;
  int imageSize_ = 0;  // in pixels, square
};
