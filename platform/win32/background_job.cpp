#include <memory>

#include "platform/system.h"

namespace win {

namespace {

DWORD WINAPI runJob(void* parameter) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
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
