#include "platform/win_api.h"

#include "platform/win32/handles.h"
#include "platform/win_records.h"

static_assert(sizeof(win::KBDLLHOOKSTRUCT) == sizeof(::KBDLLHOOKSTRUCT), "KBDLLHOOKSTRUCT layout");

namespace win {

namespace {
// The program installs one hook at a time; the system calls it through this
// __stdcall thunk.
HookProc installedHookProc = nullptr;

LRESULT CALLBACK hookThunk(int nCode, WPARAM wParam, LPARAM lParam) {
  return installedHookProc(nCode, wParam, lParam);
}
}  // namespace

Handle SetWindowsHookExA(int idHook, HookProc proc, Handle hInstance, std::uint32_t threadId) {
  installedHookProc = proc;
  return toHandle(::SetWindowsHookExA(idHook, hookThunk, fromHandle<HINSTANCE>(hInstance), threadId));
}

LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam) {
  return ::CallNextHookEx(fromHandle<HHOOK>(hook), nCode, wParam, lParam);
}

bool UnhookWindowsHookEx(Handle hook) {
  return ::UnhookWindowsHookEx(fromHandle<HHOOK>(hook)) != FALSE;
}

std::int16_t GetKeyState(int virtualKey) {
  return ::GetKeyState(virtualKey);
}

bool GetKeyboardState(std::uint8_t (&keyState)[256]) {
  return ::GetKeyboardState(keyState) != FALSE;
}

bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy, unsigned flags) {
  return ::SetWindowPos(fromHandle<HWND>(hWnd), fromHandle<HWND>(insertAfter), x, y, cx, cy, flags) != FALSE;
}

}  // namespace win
