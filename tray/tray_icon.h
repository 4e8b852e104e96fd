#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/window.h"

// The program's notification-area icon, for as long as this object lives,
// and the hidden child window of the panel its messages reach.
class TrayIcon {
 public:
  static constexpr char kReceiverClass[] = "TovixPicture";
  // WM_MOUSEMOVE, as the first versions had it, the mouse message in lParam.
  static constexpr UINT kCallbackMessage = WM_MOUSEMOVE;

  // The receiver's messages go to `program`. The icon's image is the
  // program's, at the small-icon size for the panel's density.
  TrayIcon(win::MessageHandler& program, HWND panel, const char* tip, int dpi);
  ~TrayIcon();

  HWND receiver() const { return receiver_.hwnd(); }

  // After a taskbar restart, or a change of the screen's scale: the same
  // icon again, its image loaded anew where the small-icon size changed.
  void restore(int dpi);

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

  win::Window receiver_;
  Record record_;
  win::Icon image_;
  int imageSize_ = 0;  // in pixels, square
};
