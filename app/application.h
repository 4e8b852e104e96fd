#pragma once

#include <optional>

#include "indicator/form1.h"
#include "indicator/keyboard_hook.h"
#include "launch/launch_keys.h"
#include "launch/panel_window_proc.h"
#include "tray/tray_icon.h"

// Makes the panel a topmost window.
void KeepOnTop(Form1& panel);

// The running program: the panel and everything acquired for it.
class Application {
 public:
  Application();

  // Acquires everything in its fixed order and leaves the panel shown.
  void Form_Load();
  // Releases what Form_Load acquired, in its own order; runs for every close
  // request.
  void Form_QueryUnload();

  Form1& panel() { return panel_; }

 private:
  Form1 panel_;
  std::optional<TrayIcon> trayIcon_;
  std::optional<LaunchHotKeys> hotKeys_;
  std::optional<PanelWindowProcedure> windowProc_;
  std::optional<KeyboardHook> hook_;
};
