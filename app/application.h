#pragma once

#include <optional>

#include "app/about_window.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "launch/launch_keys.h"
#include "platform/system.h"
#include "tray/tray_icon.h"
#include "tray/tray_receiver.h"

// The running program: the panel, the About window and everything acquired
// for them.
class Application : IndicatorPanel::Events, TrayReceiver::Events, AboutWindow::Events {
 public:
  // Acquires everything in its fixed order and shows the panel. False when
  // another copy runs: nothing was acquired and this copy ends.
  bool startUp();

  // The About window while it is open, else null: the message loop hands
  // it its keyboard (Tab, Enter).
  HWND aboutWindow() const { return about_ ? about_->hwnd() : nullptr; }

 private:
  void onHotKey(int id) override;
  void onTaskbarCreated() override;
  // Releases what startUp acquired, in its own order, and closes the panel.
  void onCloseRequest() override;
  // Windows drops a low-level hook that once answered too slowly, which
  // shows after sleep or a locked session: the hook is installed anew.
  void onResume() override;
  // The process ends once neither the panel nor the About window is left.
  void onDestroyed() override;
  void onTrayLeftClick() override;
  void onTrayRightClick() override;
  void onAboutClosed() override;

  void showAbout();

  // Released in the reverse order, as onCloseRequest releases them; the
  // running mark last of all.
  win::RunningMark mark_;
  IndicatorPanel panel_{*this};
  TrayReceiver receiver_{panel_.hwnd(), *this};
  std::optional<AboutWindow> about_;
  std::optional<win::SessionWatch> sessionWatch_;
  std::optional<LaunchHotKeys> hotKeys_;
  std::optional<TrayIcon> trayIcon_;
  std::optional<KeyboardHook> hook_;
};
