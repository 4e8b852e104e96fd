#include "platform/newer_windows.h"

#include "platform/win32/system_function.h"
#include "platform/window.h"

namespace win {

bool popupsUnwelcome() {
  // QUERY_USER_NOTIFICATION_STATE's QUNS_RUNNING_D3D_FULL_SCREEN and QUNS_PRESENTATION_MODE.
  constexpr int kFullScreenDirect3d = 3, kPresentation = 4;
  const auto query = systemFunction<HRESULT(WINAPI*)(int*)>("shell32.dll", "SHQueryUserNotificationState");
  int state = 0;
  return query != nullptr && SUCCEEDED(query(&state)) && (state == kFullScreenDirect3d || state == kPresentation);
}

int windowDpi(HWND hwnd) {
  const auto forWindow = systemFunction<UINT(WINAPI*)(HWND)>("user32.dll", "GetDpiForWindow");
  const UINT dpi = forWindow != nullptr ? forWindow(hwnd) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : screenDpi();
}

int smallIconSize(int dpi) {
  const auto forDpi = systemFunction<int(WINAPI*)(int, UINT)>("user32.dll", "GetSystemMetricsForDpi");
  return forDpi != nullptr ? forDpi(SM_CXSMICON, static_cast<UINT>(dpi)) : GetSystemMetrics(SM_CXSMICON);
}

void adjustFrame(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  using ForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const auto forDpi = systemFunction<ForDpiFn>("user32.dll", "AdjustWindowRectExForDpi");
  if (forDpi == nullptr || !forDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

void allowFromAnyProcess(HWND hwnd, UINT msg) {
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW for a window (7), MSGFLT_ADD for the process (Vista)
  const auto forWindow =
      systemFunction<BOOL(WINAPI*)(HWND, UINT, DWORD, void*)>("user32.dll", "ChangeWindowMessageFilterEx");
  const auto forProcess = systemFunction<BOOL(WINAPI*)(UINT, DWORD)>("user32.dll", "ChangeWindowMessageFilter");
  if (forWindow != nullptr) {
    forWindow(hwnd, msg, kAllow, nullptr);
  } else if (forProcess != nullptr) {
    forProcess(msg, kAllow);
  }
}

}  // namespace win
