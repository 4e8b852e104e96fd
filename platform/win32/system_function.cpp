#include "platform/win32/system_function.h"

namespace win {

Library loadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + ::lstrlenA(name) >= MAX_PATH) return Library();
  ::lstrcatA(path, "\\");
  ::lstrcatA(path, name);
  return Library(::LoadLibraryA(path));
}

}  // namespace win
