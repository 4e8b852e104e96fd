#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/win_types.h"

// The last icon id handed out; ids start at 1.
extern std::int32_t trayIconCounter;
// Owner window of every id handed out, keyed by the id in decimal; created
// on the first add, entries are never removed.
extern std::optional<std::map<std::string, win::Handle>> trayIconWindows;

// Puts an icon into the notification area under a fresh id and remembers
// its owner window. Returns the id, or 0 (no icon) once ids have run out.
std::int32_t AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip);

// Puts the icon of an id back, for its owner window, after the taskbar lost
// it. False, with nothing added, for an id that was never handed out.
bool RestoreTrayIcon(std::int32_t id, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip);

// Takes the icon of an id away again. False, with nothing removed, for an id
// that was never handed out.
bool RemoveTrayIcon(std::int32_t id);

// The notification-area icon for as long as this object lives.
class TrayIcon {
 public:
  TrayIcon(win::Handle owner, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip)
      : trayIconId(AddTrayIcon(owner, callbackMessage, icon, tip)),
        callbackMessage_(callbackMessage),
        icon_(icon),
        tip_(tip) {}
  ~TrayIcon() {
    if (trayIconId != 0) RemoveTrayIcon(trayIconId);
  }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // After a taskbar restart: the same icon again, under the same id.
  void restore() const { RestoreTrayIcon(trayIconId, callbackMessage_, icon_, tip_); }

  const std::int32_t trayIconId;

 private:
  const std::uint32_t callbackMessage_;
  const win::Handle icon_;
  const std::string tip_;
};
