#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

// The last icon id handed out; ids start at 1.
extern std::int32_t trayIconCounter;

// Puts an icon into the notification area under a fresh id and remembers
// its owner window. Returns the id, or 0 (no icon) once ids have run out.
std::int32_t AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip);

// Takes the icon of an id away again. False, with nothing removed, for an id
// that was never handed out.
bool RemoveTrayIcon(std::int32_t id);

// The notification-area icon for as long as this object lives.
class TrayIcon {
 public:
  TrayIcon(win::Handle owner, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip)
      : trayIconId(AddTrayIcon(owner, callbackMessage, icon, tip)) {}
  ~TrayIcon() {
    if (trayIconId != 0) RemoveTrayIcon(trayIconId);
  }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  const std::int32_t trayIconId;
};
