#pragma once

// The Windows functions Tovix calls, in their ANSI forms. Tovix links either
// the real user32/kernel32 calls (platform/win32) or the recording fakes of
// the host tests. Their constants are in win_constants.h, which must not meet
// <windows.h> in one file: that header defines the same names as macros.

#include <cstdint>

#include "platform/win_types.h"

namespace win {

Handle SetWindowsHookExA(int idHook, HookProc proc, Handle hInstance, std::uint32_t threadId);
LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam);
bool UnhookWindowsHookEx(Handle hook);

std::int16_t GetKeyState(int virtualKey);
bool GetKeyboardState(std::uint8_t (&keyState)[256]);

bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy, unsigned flags);

}  // namespace win
