#include "platform/win32/system_function.h"

#include "platform/system.h"

namespace win {

Library loadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + ::lstrlenA(name) >= MAX_PATH) return Library();
  ::lstrcatA(path, "\\");
  ::lstrcatA(path, name);
  return Library(::LoadLibraryA(path));
}

void restrictDllSearchToSystem() {
  // Both arrived after Windows 2000: looked up at run time.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault = systemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return;
  const auto setDirectory = systemFunction<SetDllDirectoryFn>("kernel32.dll", "SetDllDirectoryA");
  if (setDirectory != nullptr) setDirectory("");
}

}  // namespace win
