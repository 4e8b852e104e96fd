#include <memory>

#include "platform/toolkit.h"
#include "platform/win32/raii.h"

namespace tk {

namespace {

DWORD WINAPI runJob(void* parameter) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
  // The shell's functions may hand the work to extensions that need COM.
  const win::ComApartment com;
  (*job)();
  return 0;
}

}  // namespace

void inBackground(std::function<void()> job) {
  auto* owned = new std::function<void()>(std::move(job));
  // Not waited for: the thread's handle goes at once, the thread runs on.
  const win::KernelHandle thread(CreateThread(nullptr, 0, runJob, owned, 0, nullptr));
  if (!thread) delete owned;
}

}  // namespace tk
