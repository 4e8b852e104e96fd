// The stack protector's canary and failure routine, in place of libssp's.
// libssp seeds its canary through a cryptographic provider, which loads
// three DLLs before main; here the program's entry point seeds it, before
// the C runtime starts and so before any protected function has been
// entered. Nothing in this file may be protected itself: its functions keep
// no local arrays and take the address of no local, so the strong stack
// protector leaves them be (a protected one would fail its own check once
// the canary changed under it, and the program would end at once).

#include <cstdint>

#include "platform/win32/system_function.h"

extern "C" {

// Its link-time value, for a check that the running program's differs.
std::uintptr_t __stack_chk_guard = 0x2B992DDFu;

// A corrupted stack: end at once, running nothing more of the program's.
[[noreturn]] void __stack_chk_fail() {
  constexpr UINT kStackBufferOverrun = 0xC0000409u;  // STATUS_STACK_BUFFER_OVERRUN
  TerminateProcess(GetCurrentProcess(), kStackBufferOverrun);
  for (;;) {
  }
}

// A checked memory or string call that would have overrun its buffer.
[[noreturn]] void __chk_fail() { __stack_chk_fail(); }

int WinMainCRTStartup();
int stackGuardedStartup();

}  // extern "C"

namespace {

// Static, not local: see the top of the file.
LARGE_INTEGER counter;
FILETIME now;

// RtlGenRandom, which Windows 2000 lacks; else the mix of counters
// Microsoft's own compilers seed their security cookie from. The program
// imports advapi32, so it is loaded before the entry point runs.
void seedStackGuard() {
  using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const auto genRandom = win::systemFunction<RtlGenRandomFn>("advapi32.dll", "SystemFunction036");
  if (genRandom == nullptr || !genRandom(&__stack_chk_guard, sizeof __stack_chk_guard)) {
    GetSystemTimeAsFileTime(&now);
    QueryPerformanceCounter(&counter);
    __stack_chk_guard ^= now.dwLowDateTime ^ now.dwHighDateTime ^ GetCurrentProcessId() ^ GetCurrentThreadId() ^
                         GetTickCount() ^ counter.LowPart ^ counter.HighPart;
  }
  // Zero is the value an attacker would try first.
  if (__stack_chk_guard == 0) __stack_chk_guard = 0x4D2C61E5u;
}

}  // namespace

// The program's entry point (the linker's -e): the C runtime's own starts
// once the canary is set.
extern "C" int stackGuardedStartup() {
  seedStackGuard();
  return WinMainCRTStartup();
}
