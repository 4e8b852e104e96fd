#include "platform/system.h"
#include "platform/win32/system_function.h"

namespace win {

Icon smallProgramIcon() {
  const HINSTANCE program = ::GetModuleHandleA(nullptr);
  // Where no image fits the scale, LoadIconMetric (Vista and later) scales a
  // larger one down, which reads better than LoadImage stretching the
  // nearest; looked up here, as Windows 2000 and XP lack it.
  using LoadIconMetricFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, HICON*);
  constexpr int kLimSmall = 0;  // LIM_SMALL: SM_CXSMICON by SM_CYSMICON
  const Library controls = loadSystemLibrary("comctl32.dll");
  const auto loadIconMetric = systemFunction<LoadIconMetricFn>(controls.get(), "LoadIconMetric");
  HICON icon = nullptr;
  if (loadIconMetric != nullptr && SUCCEEDED(loadIconMetric(program, MAKEINTRESOURCEW(1), kLimSmall, &icon))) {
    return Icon(icon);
  }
  return Icon(static_cast<HICON>(::LoadImageA(program, MAKEINTRESOURCEA(1), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                              ::GetSystemMetrics(SM_CYSMICON), 0)));
}

}  // namespace win
