// The start-up benchmark's second baseline: what Tovix must do before its
// panel shows, and nothing else. It carries tovix.exe's resources (icon,
// manifests, version), imports the DLLs tovix.exe imports, makes a topmost
// tool window of the panel's size, adds a notification icon, installs a
// low-level keyboard hook that passes every event on and shows the window
// without activating it; then it runs a message loop until the window is
// closed. Its window is the minimal baseline's, so the benchmark finds
// either alike.

#include "baseline_window.h"

#include <shellapi.h>

namespace {

HHOOK hook = nullptr;

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(hook, code, wParam, lParam); }

// A close destroys the window, which ends the message loop.
LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main() {
  // Referenced so that ADVAPI32 and GDI32 are imported, as by tovix.exe:
  // their loading is part of what is measured.
  if (GetStockObject(NULL_BRUSH) == nullptr) RegCloseKey(nullptr);
  const HWND window = createBaselineWindow(windowProc);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  NOTIFYICONDATAA icon = {};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window;
  icon.uID = 1;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpyA(icon.szTip, "Baseline");
  Shell_NotifyIconA(NIM_ADD, &icon);
  hook = SetWindowsHookExA(WH_KEYBOARD_LL, passOn, GetModuleHandleA(nullptr), 0);
  ShowWindow(window, SW_SHOWNA);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
