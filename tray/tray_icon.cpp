#include "tray/tray_icon.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

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

}  // namespace

const win::Handle* TrayIconRegistry::ownerOf(std::int32_t id) const {
  const auto owner = owners_.find(id);
  return owner == owners_.end() ? nullptr : &owner->second;
}

std::int32_t TrayIconRegistry::AddTrayIcon(win::Handle hWnd, std::uint32_t callbackMessage, win::Handle icon,
                                           const std::string& tip) {
  if (lastId_ == std::numeric_limits<std::int32_t>::max()) return 0;
  ++lastId_;
  owners_[lastId_] = hWnd;
  notifyAdd(hWnd, lastId_, callbackMessage, icon, tip);
  return lastId_;
}

bool TrayIconRegistry::RestoreTrayIcon(std::int32_t id, std::uint32_t callbackMessage, win::Handle icon,
                                       const std::string& tip) {
  const win::Handle* owner = ownerOf(id);
  if (owner == nullptr) return false;
  notifyAdd(*owner, id, callbackMessage, icon, tip);
  return true;
}

bool TrayIconRegistry::RemoveTrayIcon(std::int32_t id) {
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
