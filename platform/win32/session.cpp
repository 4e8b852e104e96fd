#include "platform/system.h"
#include "platform/win32/system_function.h"

namespace win {

// Session notices arrived with Windows XP, beyond the Windows 2000 headers:
// their functions are looked up at run time, and wtsapi32 stays loaded only
// while Windows reports to the window.
SessionWatch::SessionWatch(HWND hwnd) : hwnd_(hwnd) {
  Library api = loadSystemLibrary("wtsapi32.dll");
  constexpr DWORD kNotifyForThisSession = 0;
  const auto registerFor = systemFunction<BOOL(WINAPI*)(HWND, DWORD)>(api.get(), "WTSRegisterSessionNotification");
  if (registerFor != nullptr && registerFor(hwnd, kNotifyForThisSession)) api_ = std::move(api);
}

SessionWatch::~SessionWatch() {
  const auto unregisterFor = systemFunction<BOOL(WINAPI*)(HWND)>(api_.get(), "WTSUnRegisterSessionNotification");
  if (unregisterFor != nullptr) unregisterFor(hwnd_);
}

}  // namespace win
