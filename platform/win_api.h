#pragma once

// The Windows functions Tovix calls, in their ANSI forms. Tovix links either
// the real user32/kernel32 calls (platform/win32) or the recording fakes of
// the host tests. Their constants are in win_constants.h, which must not meet
// <windows.h> in one file: that header defines the same names as macros.

#include <cstdint>
#include <string>

#include "platform/win_records.h"
#include "platform/win_types.h"

namespace win {

Handle SetWindowsHookExA(int idHook, HookProc proc, Handle hInstance, std::uint32_t threadId);
LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam);
bool UnhookWindowsHookEx(Handle hook);

std::int16_t GetKeyState(int virtualKey);
// Whether the key is down now, wherever the keyboard's input goes.
bool KeyIsDown(int virtualKey);
bool GetKeyboardState(std::uint8_t (&keyState)[256]);

bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy, unsigned flags);

// hWnd 0 when no top-level window has that caption.
Handle FindWindowA(const char* className, const char* windowName);
// True when the window handled the message; false when it did not within
// timeoutMs, or at once when its thread has stopped answering
// (SMTO_ABORTIFHUNG in flags).
bool SendMessageTimeoutA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam, unsigned flags,
                         unsigned timeoutMs);
bool PostMessageA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam);
bool SetForegroundWindow(Handle hWnd);

bool Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data);

std::uint16_t GlobalAddAtomA(const char* name);
bool RegisterHotKey(Handle hWnd, std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey);
bool UnregisterHotKey(Handle hWnd, std::int32_t id);

Handle ShellExecuteA(Handle hWnd, const char* operation, const char* file, const char* parameters,
                     const char* directory, int showCommand);

bool GetVersionExA(OSVERSIONINFO& info);

// Lets the program load DLLs from the system folder only, never from the
// current folder or its own, on every Windows version that allows it.
void RestrictDllSearchToSystem();

// The Windows folder shared by every user, and the system folder; no
// trailing backslash.
std::string GetSystemWindowsDirectoryA();
std::string GetSystemDirectoryA();

// The folder Windows reports for a CSIDL, or an empty text when it reports
// none.
std::string SHGetFolderPathA(int csidl);

}  // namespace win
