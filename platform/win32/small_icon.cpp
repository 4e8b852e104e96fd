#include <algorithm>
#include <iterator>

#include "platform/system.h"
#include "platform/win32/system_function.h"

namespace win {

namespace {

// The sizes res/make_icon.py draws the icon in: LoadImage finds each as it is.
constexpr int kDrawnSizes[] = {16, 20, 24, 32, 40, 48};
// The program's manifest asking for Common Controls 6 (res/tovix.rc).
constexpr WORD kControlsManifest = 2;

// Activation contexts arrived with Windows XP, LoadIconWithScaleDown with Vista's
// Common Controls 6: both are looked up at run time.
void releaseContext(HANDLE context) {
  const auto release = systemFunction<decltype(&::ReleaseActCtx)>("kernel32.dll", "ReleaseActCtx");
  if (release != nullptr) release(context);
}

// The icon for a size it has no image of, scaled down from a larger one by
// LoadIconWithScaleDown, which reads better than LoadImage stretching the nearest;
// null where Windows lacks it. It is reached through an activation context
// of the program's manifest for Common Controls 6.
HICON scaledDown(HINSTANCE program, int size) {
  const auto create = systemFunction<decltype(&::CreateActCtxA)>("kernel32.dll", "CreateActCtxA");
  const auto activate = systemFunction<decltype(&::ActivateActCtx)>("kernel32.dll", "ActivateActCtx");
  const auto deactivate = systemFunction<decltype(&::DeactivateActCtx)>("kernel32.dll", "DeactivateActCtx");
  char path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameA(program, path, MAX_PATH);
  if (!create || !activate || !deactivate || length == 0 || length >= MAX_PATH) return nullptr;
  ACTCTXA request = {};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
  request.lpSource = path;
  request.lpResourceName = MAKEINTRESOURCEA(kControlsManifest);
  request.hModule = program;
  const HANDLE created = create(&request);
  if (created == INVALID_HANDLE_VALUE) return nullptr;
  const Owned<HANDLE, &releaseContext> context(created);
  HICON icon = nullptr;
  ULONG_PTR cookie = 0;
  if (activate(context.get(), &cookie)) {
    // The context resolves the name to Windows' own copy before any folder
    // is searched.
    const Library controls(::LoadLibraryA("comctl32.dll"));
    using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    const auto scaleDown = systemFunction<ScaleDownFn>(controls.get(), "LoadIconWithScaleDown");
    if (scaleDown == nullptr || FAILED(scaleDown(program, MAKEINTRESOURCEW(1), size, size, &icon))) {
      icon = nullptr;
    }
    deactivate(0, cookie);
  }
  return icon;
}

}  // namespace

Icon smallProgramIcon(int size) {
  const HINSTANCE program = ::GetModuleHandleA(nullptr);
  const bool drawn = std::find(std::begin(kDrawnSizes), std::end(kDrawnSizes), size) != std::end(kDrawnSizes);
  HICON icon = drawn ? nullptr : scaledDown(program, size);
  if (icon == nullptr) {
    icon = static_cast<HICON>(::LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
  }
  return Icon(icon);
}

}  // namespace win
