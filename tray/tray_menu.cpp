#include "tray/tray_menu.h"

#include "platform/handles.h"

TrayChoice trackTrayMenu(HWND owner) {
  const win::Menu menu(CreatePopupMenu());
  AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(TrayChoice::About), "About");
  AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(TrayChoice::Exit), "Exit");
  POINT at = {0, 0};
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the null message after it lets it close the next time too.
  SetForegroundWindow(owner);
  const auto chosen = static_cast<TrayChoice>(
      TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
  PostMessageA(owner, WM_NULL, 0, 0);
  return chosen;
}
