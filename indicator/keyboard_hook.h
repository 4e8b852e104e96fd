#pragma once

#include "platform/win_types.h"

class IndicatorPanel;
class LaunchHotKeys;

// Handle of the installed low-level keyboard hook; 0 when it was refused.
extern win::Handle hKeyboardHook;

// Arms the panel's hide timer on every keyboard event, tells the launch keys
// of it and, when a lock key is released, pops the panel up with that key's
// lamp. Every event is passed on: the hook never swallows or changes a key.
win::LResult KeyboardHookProc(int nCode, win::WParam wParam, win::LParam lParam);

// Installs KeyboardHookProc for every thread of the desktop, reporting to
// the given panel and launch keys, and removes it again when destroyed.
class KeyboardHook {
 public:
  KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys);
  ~KeyboardHook();
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  bool installed() const { return hKeyboardHook != 0; }
};
