#pragma once

// Functions of Windows that not every version the program runs on has: the
// program looks them up when it runs and does without where they are
// missing.

#include "platform/handles.h"

namespace win {

// Loads a DLL from the system folder by its full path, so no other folder
// can stand in a copy of its own; owns nothing where that fails.
Library loadSystemLibrary(const char* name);

// The function `name` of a module, as the pointer type Fn; null where the
// module or the function is missing.
template <typename Fn>
Fn systemFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  // GetProcAddress returns one pointer type for every function; going
  // through void* states that the caller knows the real one.
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// From a DLL every process has loaded already, such as kernel32.dll.
template <typename Fn>
Fn systemFunction(const char* loadedDll, const char* name) {
  return systemFunction<Fn>(::GetModuleHandleA(loadedDll), name);
}

}  // namespace win
