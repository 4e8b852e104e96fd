#pragma once

#include <cstdint>

namespace win {

// Tovix is a 32-bit program: every handle fits in 32 bits. The records the
// program hands to Windows lay them out as 4-byte fields, so the same width
// is used here.
using Handle = std::uint32_t;
using WParam = std::uintptr_t;
// LONG_PTR: a long is as wide as a pointer on 32-bit Windows and on the
// 64-bit hosts the tests run on.
using LParam = long;
using LResult = long;
static_assert(sizeof(LParam) == sizeof(void*), "LParam holds a pointer");

// Windows calls a hook procedure with the __stdcall convention on 32-bit x86.
#if defined(_WIN32) && !defined(_WIN64)
#define WIN_CALLBACK __stdcall
#else
#define WIN_CALLBACK
#endif

// HOOKPROC, the same type on Windows.
using HookProc = LResult(WIN_CALLBACK*)(int nCode, WParam wParam, LParam lParam);

}  // namespace win
