#pragma once

#include <cstdint>

#include "platform/win_types.h"

class IndicatorPanel;
class LaunchHotKeys;

// The panel's window procedure before PanelWindowProc replaced it.
extern std::int32_t previousWindowProc;

// Acts on the launch hot keys; every other message goes on, unchanged, to the
// procedure it replaced.
win::LResult PanelWindowProc(win::Handle hWnd, std::uint32_t msg, win::WParam wParam, win::LParam lParam);

// PanelWindowProc installed on the panel for as long as this object lives,
// handing the hot keys to the launch keys.
class PanelWindowProcedure {
 public:
  PanelWindowProcedure(IndicatorPanel& panel, LaunchHotKeys& keys);
  ~PanelWindowProcedure();
  PanelWindowProcedure(const PanelWindowProcedure&) = delete;
  PanelWindowProcedure& operator=(const PanelWindowProcedure&) = delete;
};
