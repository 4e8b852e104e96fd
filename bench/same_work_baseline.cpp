// The start-up benchmark's second baseline: what Tovix must do before its
// panel shows, and nothing else. It imports the DLLs tovix.exe imports and
// makes a topmost tool window of the panel's size, adds a notification
// icon, installs a low-level keyboard hook that passes every event on and
// shows the window without activating it; then it runs a message loop
// until the window is closed. Its window is titled "Baseline", as the
// minimal baseline's is, so the benchmark finds either alike.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

namespace {

HHOOK hook = nullptr;

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(hook, code, wParam, lParam); }

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main() {
  // Referenced so that ADVAPI32 and GDI32 are imported, as by tovix.exe:
  // their loading is part of what is measured.
  if (GetStockObject(NULL_BRUSH) == nullptr) RegCloseKey(nullptr);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "Baseline";
  RegisterClassA(&wc);
  const HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Baseline", "Baseline", WS_POPUP | WS_CAPTION, 0, 0, 318, 119,
                                      nullptr, nullptr, wc.hInstance, nullptr);
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
  hook = SetWindowsHookExA(WH_KEYBOARD_LL, passOn, wc.hInstance, 0);
  ShowWindow(window, SW_SHOWNA);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
