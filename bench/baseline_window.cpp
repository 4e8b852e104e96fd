// The benchmarks' baseline: a minimal Win32 window program, built like
// tovix.exe. It shows a small window titled "Baseline" without activating
// it and runs a message loop. With --hook it also installs a low-level
// keyboard hook that does nothing but pass each event on.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

namespace {

HHOOK hook = nullptr;

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) { return CallNextHookEx(hook, code, wParam, lParam); }

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) {
    DestroyWindow(window);
    return 0;
  }
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "Baseline";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "Baseline", "Baseline", WS_POPUP | WS_CAPTION, 0, 0, 318, 119,
                                nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOWNA);
  if (argc > 1 && std::strcmp(argv[1], "--hook") == 0) {
    hook = SetWindowsHookExA(WH_KEYBOARD_LL, passOn, wc.hInstance, 0);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  return 0;
}
