#pragma once

#include "platform/win_types.h"

class IndicatorPanel;
class LaunchHotKeys;

// Arms the panel's hide timer on every keyboard event, tells the launch keys
// of it and, when a lock key is released, pops the panel up with that key's
// lamp. Every event is passed on: the hook never swallows or changes a key.
win::LResult WIN_CALLBACK KeyboardHookProc(int nCode, win::WParam wParam, win::LParam lParam);

// Installs KeyboardHookProc for every thread of the desktop, reporting to
// the given panel and launch keys, and removes it again when destroyed.
class KeyboardHook {
 public:
  KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys);
  ~KeyboardHook();
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  // False when the system refused the hook.
  bool installed() const { return handle_ != 0; }

 private:
  friend win::LResult WIN_CALLBACK KeyboardHookProc(int nCode, win::WParam wParam, win::LParam lParam);

  IndicatorPanel& panel_;
  LaunchHotKeys& launchKeys_;
  win::Handle handle_;
};
