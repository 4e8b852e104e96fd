#pragma once

#include <cstddef>
#include <cstdint>

namespace win {

// Low-level keyboard event as the system passes it to a WH_KEYBOARD_LL hook.
struct KBDLLHOOKSTRUCT {
  std::uint32_t vkCode;
  std::uint32_t scanCode;
  std::uint32_t flags;
  std::uint32_t time;
  std::uint32_t dwExtraInfo;
};
static_assert(sizeof(KBDLLHOOKSTRUCT) == 20, "KBDLLHOOKSTRUCT is 20 bytes");
static_assert(offsetof(KBDLLHOOKSTRUCT, flags) == 8, "flags at offset 8");
static_assert(offsetof(KBDLLHOOKSTRUCT, dwExtraInfo) == 16, "dwExtraInfo at offset 16");

}  // namespace win

namespace win {

// Notification-area icon, in the 88-byte ANSI form every Windows version
// since 95 accepts.
struct NOTIFYICONDATA {
  std::uint32_t cbSize;
  std::uint32_t hWnd;
  std::uint32_t uID;
  std::uint32_t uFlags;
  std::uint32_t uCallbackMessage;
  std::uint32_t hIcon;
  char szTip[64];
};
static_assert(sizeof(NOTIFYICONDATA) == 88, "NOTIFYICONDATA is 88 bytes");
static_assert(offsetof(NOTIFYICONDATA, hIcon) == 20, "hIcon at offset 20");
static_assert(offsetof(NOTIFYICONDATA, szTip) == 24, "szTip at offset 24");

// Windows version, ANSI form.
struct OSVERSIONINFO {
  std::uint32_t dwOSVersionInfoSize;
  std::uint32_t dwMajorVersion;
  std::uint32_t dwMinorVersion;
  std::uint32_t dwBuildNumber;
  std::uint32_t dwPlatformId;
  char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFO) == 148, "OSVERSIONINFO is 148 bytes");
static_assert(offsetof(OSVERSIONINFO, szCSDVersion) == 20, "szCSDVersion at offset 20");

}  // namespace win
