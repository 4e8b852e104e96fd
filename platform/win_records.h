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
