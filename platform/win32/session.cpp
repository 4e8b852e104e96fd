#include "platform/system.h"
#include "platform/win32/system_function.h"

namespace win {

namespace {

// Session notices arrived with Windows XP, beyond the Windows 2000 headers:
// their functions are looked up at run time.
constexpr DWORD kNotifyForThisSession = 0;
using RegisterSessionNotification = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotification = BOOL(WINAPI*)(HWND);

}  // namespace

SessionWatch::SessionWatch(HWND hwnd) : hwnd_(hwnd) {
  Library api = loadSystemLibrary("wtsapi32.dll");
  const auto registerFor = systemFunction<RegisterSessionNotification>(api.get(), "WTSRegisterSessionNotification");
  // Kept loaded while Windows reports to the window; let go at once otherwise.
  if (registerFor != nullptr && registerFor(hwnd, kNotifyForThisSession)) api_ = api.release();
}

SessionWatch::~SessionWatch() {
  if (api_ == nullptr) return;
  const Library api(api_);
  const auto unregisterFor =
      systemFunction<UnregisterSessionNotification>(api.get(), "WTSUnRegisterSessionNotification");
  if (unregisterFor != nullptr) unregisterFor(hwnd_);
}

}  // namespace win
