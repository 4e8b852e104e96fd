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

namespace {

// Owner window of every id handed out, keyed by the id in decimal; created
// on the first add, entries are never removed.
std::optional<std::map<std::string, win::Handle>> trayIconWindows;

constexpr std::uint32_t kAllFields = win::NIF_MESSAGE | win::NIF_ICON | win::NIF_TIP;

}  // namespace

std::int32_t AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon, const std::string& tip) {
  if (trayIconCounter == std::numeric_limits<std::int32_t>::max()) return 0;
  ++trayIconCounter;

  win::NOTIFYICONDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = hWnd;
  data.uID = static_cast<std::uint32_t>(trayIconCounter);
  data.uFlags = kAllFields;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  // The tip, its NUL, then spaces to the end of the field. A longer tip is
  // cut so the NUL always stays inside.
  std::memset(data.szTip, ' ', sizeof data.szTip);
  const std::size_t length = std::min(tip.size(), sizeof data.szTip - 1);
  std::memcpy(data.szTip, tip.data(), length);
  data.szTip[length] = '\0';

  if (!trayIconWindows) trayIconWindows.emplace();
  (*trayIconWindows)[std::to_string(trayIconCounter)] = hWnd;
  win::Shell_NotifyIconA(win::NIM_ADD, data);
  return trayIconCounter;
}

bool RemoveTrayIcon(std::int32_t id) {
  if (!trayIconWindows) return false;
  const auto owner = trayIconWindows->find(std::to_string(id));
  if (owner == trayIconWindows->end()) return false;

  win::NOTIFYICONDATA data = {};
  data.cbSize = sizeof data;
  data.hWnd = owner->second;
  data.uID = static_cast<std::uint32_t>(id);
  data.uFlags = kAllFields;
  win::Shell_NotifyIconA(win::NIM_DELETE, data);
  return true;
}
