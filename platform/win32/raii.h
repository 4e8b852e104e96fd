#pragma once

// Owners for the kernel's resources the Win32 layer takes and gives back,
// beside platform/handles.h's owners of GDI objects and menus.

#include "platform/handles.h"

namespace win {

struct FreeModule {
  void operator()(HMODULE module) const { ::FreeLibrary(module); }
};
struct CloseKernelHandle {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
struct FreeLocalMemory {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

// A DLL loaded by this process.
using Library = Owned<HMODULE, FreeModule>;
// A process, thread, token, mutex or other kernel object.
using KernelHandle = Owned<HANDLE, CloseKernelHandle>;
// Memory that Windows allocated for the caller to free with LocalFree.
template <typename Pointer>
using LocalMemory = Owned<Pointer, FreeLocalMemory>;

}  // namespace win
