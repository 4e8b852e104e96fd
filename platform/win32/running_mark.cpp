#include "platform/system.h"

#include <sddl.h>

namespace win {

namespace {

// The string SID of the user the process runs as; empty where its token
// cannot be read.
std::string userSid() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {};
  const KernelHandle token(opened);
  alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  char* text = nullptr;
  if (!GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &text)) {
    return {};
  }
  const LocalMemory<char*> owned(text);
  return owned.get();
}

}  // namespace

// Named for the user: a name anyone could take first would let any process
// of the session decide for Tovix. Even so, any program of the user's can
// take it first; it then only costs a copy its wait.
RunningMark::RunningMark() : mutex_(CreateMutexA(nullptr, FALSE, ("Local\\Tovix.Running." + userSid()).c_str())) {}

RunningMark::~RunningMark() {
  if (held_) ReleaseMutex(mutex_.get());
}

bool RunningMark::acquire(unsigned timeoutMs) {
  HANDLE mutex = mutex_.get();
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; !held_ && mutex != nullptr && (elapsed = GetTickCount() - start) < timeoutMs;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &mutex, FALSE, timeoutMs - elapsed, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0 + 1) {
      MSG sent;
      PeekMessageA(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    // Abandoned: its holder ended without letting go.
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0;
    break;
  }
  return held_;
}

}  // namespace win
