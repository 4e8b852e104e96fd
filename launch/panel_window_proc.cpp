#include "launch/panel_window_proc.h"

#include "indicator/indicator_panel.h"
#include "launch/launch_keys.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"

std::int32_t previousWindowProc = 0;

namespace {
IndicatorPanel* procPanel = nullptr;
LaunchHotKeys* procKeys = nullptr;
}

win::LResult PanelWindowProc(win::Handle hWnd, std::uint32_t msg, win::WParam wParam, win::LParam lParam) {
  if (msg != win::WM_HOTKEY) return win::CallWindowProcA(previousWindowProc, hWnd, msg, wParam, lParam);
  procPanel->form().setWindowStateNormal();
  procKeys->launch(static_cast<std::int32_t>(wParam));
  return 0;
}

PanelWindowProcedure::PanelWindowProcedure(IndicatorPanel& panel, LaunchHotKeys& keys) {
  procPanel = &panel;
  procKeys = &keys;
  previousWindowProc = win::SetWindowLongA(panel.hwnd(), win::GWL_WNDPROC, PanelWindowProc);
}

PanelWindowProcedure::~PanelWindowProcedure() {
  win::SetWindowLongA(procPanel->hwnd(), win::GWL_WNDPROC, previousWindowProc);
}
