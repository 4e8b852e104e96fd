#pragma once

#include <memory>
#include <optional>

#include "app/about_window.h"
#include "indicator/indicator_panel.h"
#include "indicator/keyboard_hook.h"
#include "launch/launch_keys.h"
#include "tray/tray_callback.h"
#include "tray/tray_icon.h"

// Makes the panel a topmost window, without activating it.
void KeepOnTop(IndicatorPanel& panel);

// True when another copy of Tovix runs: it then hands that copy's panel the
// focus message and this copy must end.
bool ActivatePreviousInstance(IndicatorPanel& form, tk::InstanceMarker& marker);

// The running program: the panel, the About window and everything acquired
// for them.
class Application {
 public:
  Application();

  // Acquires everything in its fixed order and shows the panel. False when
  // another copy runs: nothing was acquired and this copy ends.
  bool startUp();
  // Releases what startUp acquired, in its own order.
  void shutDown();

  IndicatorPanel& panel() { return panel_; }
  TrayCallback& tray() { return tray_; }
  // The About window while it is loaded, else null.
  AboutWindow* about() { return about_ && about_->form().loaded() ? about_.get() : nullptr; }

 private:
  AboutWindow& aboutWindow();
  void unloadPanel();
  // Windows drops a low-level hook that once answered too slowly, which
  // shows after sleep or a locked session: the hook is installed anew.
  void reinstallHook();

  // Let go of last of all, once everything else is.
  tk::InstanceMarker marker_;
  IndicatorPanel panel_;
  std::unique_ptr<AboutWindow> about_;
  TrayCallback tray_;
  TrayIconRegistry trayIcons_;
  std::optional<TrayIcon> trayIcon_;
  std::optional<LaunchHotKeys> hotKeys_;
  std::optional<KeyboardHook> hook_;
  std::optional<tk::ResumeWatch> resumeWatch_;
};
