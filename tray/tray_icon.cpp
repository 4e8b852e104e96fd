#include "tray/tray_icon.h"

#include <algorithm>
#include <cstring>

namespace {

// The program's one icon: ids count from 1.
constexpr std::uint32_t kIconId = 1;
constexpr std::uint32_t kAllFields = NIF_MESSAGE | NIF_ICON | NIF_TIP;

template <typename Record>
void notify(DWORD message, Record& record) {
  Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&record));
}

}  // namespace

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon, const char* tip) : record_() {
  record_.cbSize = sizeof record_;
  record_.hWnd = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(owner));
  record_.uID = kIconId;
  record_.uFlags = kAllFields;
  record_.uCallbackMessage = callbackMessage;
  record_.hIcon = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(icon));
  // The tip, its NUL, then spaces to the end of the field, as the first
  // versions wrote it. A longer tip is cut so the NUL stays inside.
  std::memset(record_.szTip, ' ', sizeof record_.szTip);
  const std::size_t length = std::min(std::strlen(tip), sizeof record_.szTip - 1);
  std::memcpy(record_.szTip, tip, length);
  record_.szTip[length] = '\0';
  restore();
}

TrayIcon::~TrayIcon() {
  Record gone = {};
  gone.cbSize = sizeof gone;
  gone.hWnd = record_.hWnd;
  gone.uID = record_.uID;
  gone.uFlags = kAllFields;
  notify(NIM_DELETE, gone);
}

void TrayIcon::restore() { notify(NIM_ADD, record_); }
