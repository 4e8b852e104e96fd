#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

// platform/win_records.h declares these records field by field; the Win32
// headers' A/W aliases would rename them in this layer only.
#undef NOTIFYICONDATA
#undef OSVERSIONINFO

#include <cstdint>

#include "platform/win_types.h"

static_assert(sizeof(void*) == 4, "Tovix is a 32-bit Windows program");

namespace win {

template <typename T>
inline T fromHandle(Handle h) {
  return reinterpret_cast<T>(static_cast<std::uintptr_t>(h));
}

template <typename T>
inline Handle toHandle(T h) {
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(h));
}

}  // namespace win
