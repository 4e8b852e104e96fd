#include <memory>

#include "platform/system.h"
#include "platform/win32/system_function.h"

#include <objbase.h>

namespace win {

namespace {

// COM on the calling thread, in a single-threaded apartment, for as long
// as this lives; released only where it was initialized. Only launches need
// COM, so ole32.dll is loaded here rather than with the program.
class ComApartment {
 public:
  ComApartment() {
    const auto initialize = systemFunction<HRESULT(WINAPI*)(void*, DWORD)>(ole32_.get(), "CoInitializeEx");
    if (initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
      uninitialize_ = systemFunction<void(WINAPI*)()>(ole32_.get(), "CoUninitialize");
    }
  }
  ~ComApartment() {
    if (uninitialize_ != nullptr) uninitialize_();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  const Library ole32_ = loadSystemLibrary("ole32.dll");
  void(WINAPI* uninitialize_)() = nullptr;
};

DWORD WINAPI runJob(void* parameter) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
  // The shell's functions may hand the work to extensions that need COM.
  const ComApartment com;
  (*job)();
  return 0;
}

}  // namespace

bool inBackground(std::function<void()> job) {
  auto* owned = new std::function<void()>(std::move(job));
  // Not waited for: the thread's handle goes at once, the thread runs on.
  const KernelHandle thread(CreateThread(nullptr, 0, runJob, owned, 0, nullptr));
  if (!thread) delete owned;
  return static_cast<bool>(thread);
}

}  // namespace win
