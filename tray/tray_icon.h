#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/win_types.h"

// The notification-area icons the program puts up, by id: ids start at 1
// and each keeps its owner window, even after its icon was removed.
class TrayIconRegistry {
 public:
  // lastId: the last id handed out before.
  explicit TrayIconRegistry(std::int32_t lastId = 0) : lastId_(lastId) {}

  // Puts an icon into the notification area under a fresh id and remembers
  // its owner window. Returns the id, or 0 (no icon) once ids have run out.
  std::int32_t AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip);

  // Puts the icon of an id back, for its owner window, after the taskbar
  // lost it. False, with nothing added, for an id that was never handed out.
  bool RestoreTrayIcon(std::int32_t id, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip);

  // Takes the icon of an id away again. False, with nothing removed, for an
  // id that was never handed out.
  bool RemoveTrayIcon(std::int32_t id);

 private:
  // The owner window handed out with an id, or nullptr for an unknown id.
  const win::Handle* ownerOf(std::int32_t id) const;

  std::int32_t lastId_;
  std::map<std::int32_t, win::Handle> owners_;
};

// The notification-area icon for as long as this object lives.
class TrayIcon {
 public:
  TrayIcon(TrayIconRegistry& registry, win::Handle owner, std::uint32_t callbackMessage, win::Handle icon,
           const std::string& tip)
      : trayIconId(registry.AddTrayIcon(owner, callbackMessage, icon, tip)),
        registry_(registry),
        callbackMessage_(callbackMessage),
        icon_(icon),
        tip_(tip) {}
  ~TrayIcon() {
    if (trayIconId != 0) registry_.RemoveTrayIcon(trayIconId);
  }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // After a taskbar restart: the same icon again, under the same id.
  void restore() const { registry_.RestoreTrayIcon(trayIconId, callbackMessage_, icon_, tip_); }

  const std::int32_t trayIconId;

 private:
  TrayIconRegistry& registry_;
  const std::uint32_t callbackMessage_;
  const win::Handle icon_;
  const std::string tip_;
};
