#pragma once

// The Windows constants Tovix uses, for code that does not include
// <windows.h> (which defines the same names as macros).

#include <cstdint>

#include "platform/win_types.h"

namespace win {

constexpr int WH_KEYBOARD_LL = 13;
constexpr int HC_ACTION = 0;
constexpr std::uint32_t LLKHF_UP = 0x80;

constexpr int VK_CAPITAL = 0x14;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;

constexpr Handle HWND_TOPMOST = static_cast<Handle>(-1);
constexpr unsigned SWP_NOSIZE = 0x1;
constexpr unsigned SWP_NOMOVE = 0x2;
constexpr unsigned SWP_NOACTIVATE = 0x10;

}  // namespace win
