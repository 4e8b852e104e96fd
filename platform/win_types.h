#pragma once

#include <cstdint>

namespace win {

// Tovix is a 32-bit program: every handle fits in 32 bits. The records the
// program hands to Windows lay them out as 4-byte fields, so the same width
// is used here.
using Handle = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

// The portable form of HOOKPROC; the Win32 layer calls it through a
// __stdcall thunk.
using HookProc = LResult (*)(int nCode, WParam wParam, LParam lParam);

}  // namespace win
