#include <algorithm>
#include <iterator>

#include "platform/system.h"
#include "platform/win32/system_function.h"

namespace win {

namespace {

// The sizes res/make_icon.py draws the icon in: LoadImage finds each as it is.
constexpr int kDrawnSizes[] = {16, 20, 24, 32, 40, 48};

// The icon for a size it has no image of, scaled down from a larger one by
// LoadIconMetric, which reads better than LoadImage stretching the nearest;
// null where Windows lacks it. It is in the Common Controls 6 of Vista and
// later, which the manifest asks for: from Vista on, the name resolves to
// Windows' own copy before any folder is searched. Earlier versions lack the
// function, and Windows 2000 would search for the name.
HICON scaledDown(HINSTANCE program) {
  if (LOBYTE(LOWORD(::GetVersion())) < 6) return nullptr;
  using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
  constexpr int kLimSmall = 0;  // LIM_SMALL: SM_CXSMICON by SM_CYSMICON
  const Library controls(::LoadLibraryA("comctl32.dll"));
  const auto loadIconMetric = systemFunction<LoadIconMetricFn>(controls.get(), "LoadIconMetric");
  HICON icon = nullptr;
  return loadIconMetric != nullptr && SUCCEEDED(loadIconMetric(program, MAKEINTRESOURCEW(1), kLimSmall, &icon))
             ? icon
             : nullptr;
}

}  // namespace

Icon smallProgramIcon() {
  const HINSTANCE program = ::GetModuleHandleA(nullptr);
  const int width = ::GetSystemMetrics(SM_CXSMICON);
  const int height = ::GetSystemMetrics(SM_CYSMICON);
  const bool drawn =
      width == height && std::find(std::begin(kDrawnSizes), std::end(kDrawnSizes), width) != std::end(kDrawnSizes);
  HICON icon = drawn ? nullptr : scaledDown(program);
  if (icon == nullptr)
    icon = static_cast<HICON>(::LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, width, height, 0));
  return Icon(icon);
}

}  // namespace win
