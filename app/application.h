#pragma once

#include <optional>

#include "app/about_window.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "launch/launch_keys.h"
#include "platform/system.h"
#include "tray/tray_icon.h"

// The running program: the panel, the About window and everything acquired
// for them. Its one window procedure takes the messages that concern the
// whole program: hot keys, the taskbar's restart, power and session notices,
// close requests, another copy's hand-over and the icon's callbacks.
class Application : public win::MessageHandler {
 public:
  Application();

  // Acquires everything in its fixed order and shows the panel. False when
  // another copy runs: nothing was acquired and this copy ends.
  bool startUp();

  // The message loop, until neither the panel nor the About window is left.
  int run();

 private:
  // The About window while it is open, else null.
  HWND aboutWindow() const { return about_ ? about_->hwnd() : nullptr; }
  LRESULT onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT onTrayMessage(HWND receiver, UINT msg, WPARAM wParam, LPARAM lParam);
  // Releases what startUp acquired, in its own order, and closes the panel.
  void close();
  // Windows drops a low-level hook that once answered too slowly, which
  // shows after sleep or a locked session: the hook is installed anew.
  void onResume();
  void showAbout();
  // The process ends once neither the panel nor the About window is left.
  void endIfNoWindowLeft();

  enum class State { Starting, Running, Ending };

  // Released in the reverse order, as close() releases them; the running
  // mark last of all.
  win::RunningMark mark_;
  // Before the panel: the panel's window hands this object messages as it
  // lays itself out.
  const UINT taskbarCreated_;  // sent to every top-level window when a new taskbar starts
  IndicatorPanel panel_;
  State state_ = State::Starting;
  std::optional<AboutWindow> about_;
  std::optional<win::SessionWatch> sessionWatch_;
  std::optional<LaunchHotKeys> hotKeys_;
  std::optional<TrayIcon> trayIcon_;
  std::optional<KeyboardHook> hook_;
};
