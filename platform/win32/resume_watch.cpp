#include "platform/win32/form_impl.h"
#include "platform/win32/system_function.h"

namespace tk {

namespace {

// Session notifications arrived with Windows XP, beyond the Windows 2000
// headers: their functions are looked up at run time.
constexpr WPARAM kWtsSessionUnlock = 0x8;
constexpr DWORD kNotifyForThisSession = 0;
using RegisterSessionNotification = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotification = BOOL(WINAPI*)(HWND);

}  // namespace

void Form::Impl::powerBroadcast(WPARAM event) {
  if ((event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND || event == PBT_APMRESUMECRITICAL) &&
      onResume) {
    onResume();
  }
}

void Form::Impl::sessionChange(WPARAM event) {
  if (event == kWtsSessionUnlock && onResume) onResume();
}

ResumeWatch::ResumeWatch(Form& form, std::function<void()> onResume) : form_(form) {
  Form::Impl& impl = *form.impl_;
  impl.onResume = std::move(onResume);
  win::Library api = win::loadSystemLibrary("wtsapi32.dll");
  const auto registerFor = win::systemFunction<RegisterSessionNotification>(api, "WTSRegisterSessionNotification");
  // Kept loaded while Windows reports to the form; let go at once otherwise.
  if (registerFor != nullptr && registerFor(impl.hwnd, kNotifyForThisSession)) impl.sessionApi = std::move(api);
}

ResumeWatch::~ResumeWatch() {
  Form::Impl& impl = *form_.impl_;
  impl.onResume = nullptr;
  if (!impl.sessionApi) return;
  const auto unregisterFor =
      win::systemFunction<UnregisterSessionNotification>(impl.sessionApi, "WTSUnRegisterSessionNotification");
  if (unregisterFor != nullptr) unregisterFor(impl.hwnd);
  impl.sessionApi = win::Library();
}

}  // namespace tk
