#pragma once

// The window both baselines make: a tool window titled "Baseline", of the
// panel's size, which the benchmark finds by its class and caption.

#include <windows.h>

constexpr SIZE kBaselineFrame = {318, 119};

// At `at`, its frame's top-left corner.
inline HWND createBaselineWindow(WNDPROC proc, POINT at = {0, 0}) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "Baseline";
  RegisterClassA(&wc);
  return CreateWindowExA(WS_EX_TOOLWINDOW, "Baseline", "Baseline", WS_POPUP | WS_CAPTION, at.x, at.y, kBaselineFrame.cx,
                         kBaselineFrame.cy, nullptr, nullptr, wc.hInstance, nullptr);
}
