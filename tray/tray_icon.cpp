#include "tray/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <optional>

#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

std::int32_t trayIconCounter = 0;
std::optional<std::map<std::string, win::Handle>> trayIconWindows;

namespace {

constexpr std::uint32_t kAllFields = win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP;

void notifyAdd(win::Handle hWnd, std::int32_t id, std::uint32_t callbackMessage, win::Handle icon,
               const std::string& tip) {
  win::NOTIFYICONDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = hWnd;
  data.uID = static_cast<std::uint32_t>(id);
  data.uFlags = kAllFields;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  // The tip, its NUL, then spaces to the end of the field. A longer tip is
  // cut so the NUL always stays inside.
  std::memset(data.szTip, ' ', sizeof data.szTip);
  const std::size_t length = std::min(tip.size(), sizeof data.szTip - 1);
  std::memcpy(data.szTip, tip.data(), length);
  data.szTip[length] = '\0';
  win::Shell_NotifyIconA(win::NIM_ADD, data);
}

// The owner window handed out with an id, or nullptr for an unknown id.
const win::Handle* ownerOf(std::int32_t id) {
  if (!trayIconWindows) return nullptr;
  const auto owner = trayIconWindows->find(std::to_string(id));
  return owner == trayIconWindows->end() ? nullptr : &owner->second;
}

}  // namespace

std::int32_t AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip) {
  if (trayIconCounter == std::numeric_limits<std::int32_t>::max()) return 0;
  ++trayIconCounter;
  if (!trayIconWindows) trayIconWindows.emplace();
  (*trayIconWindows)[std::to_string(trayIconCounter)] = hWnd;
  notifyAdd(hWnd, trayIconCounter, callbackMessage, icon, tip);
  return trayIconCounter;
}

bool RestoreTrayIcon(std::int32_t id, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip) {
  const win::Handle* owner = ownerOf(id);
  if (owner == nullptr) return false;
  notifyAdd(*owner, id, callbackMessage, icon, tip);
  return true;
}

bool RemoveTrayIcon(std::int32_t id) {
  const win::Handle* owner = ownerOf(id);
  if (owner == nullptr) return false;

  win::NOTIFYICONDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = *owner;
  data.uID = static_cast<std::uint32_t>(id);
  data.uFlags = kAllFields;
  win::Shell_NotifyIconA(win::NIM_DELETE, data);
  return true;
}
