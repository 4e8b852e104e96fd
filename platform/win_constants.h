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

constexpr std::uint32_t WM_NULL = 0x000;
constexpr std::uint32_t WM_SETFOCUS = 0x007;
constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
constexpr std::uint32_t WM_LBUTTONUP = 0x202;
constexpr std::uint32_t WM_RBUTTONUP = 0x205;
constexpr std::uint32_t WM_HOTKEY = 0x312;
constexpr unsigned SMTO_ABORTIFHUNG = 0x2;
constexpr int SW_SHOWNORMAL = 1;
constexpr unsigned TPM_RIGHTBUTTON = 0x2;

constexpr std::uint32_t NIM_ADD = 0;
constexpr std::uint32_t NIM_DELETE = 2;
constexpr std::uint32_t NIF_MESSAGE = 1;
constexpr std::uint32_t NIF_ICON = 2;
constexpr std::uint32_t NIF_TIP = 4;

constexpr std::uint32_t MOD_NOREPEAT = 0x4000;
constexpr std::uint32_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr std::uint32_t VK_LAUNCH_APP1 = 0xB6;
constexpr std::uint32_t VK_LAUNCH_APP2 = 0xB7;

constexpr int CSIDL_PROGRAM_FILES = 0x26;

}  // namespace win
