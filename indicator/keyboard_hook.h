#pragma once

#include "platform/win_api.h"

class IndicatorPanel;
class LaunchHotKeys;

// Arms the panel's hide timer on every keyboard event, tells the launch keys
// of it and, when a lock key is released, pops the panel up with that key's
// lamp. Every event is passed on: the hook never swallows or changes a key.
LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);

// Installs KeyboardHookProc for every thread of the desktop, reporting to
// the given panel and launch keys, and removes it again when destroyed.
class KeyboardHook {
 public:
  KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys);
  ~KeyboardHook();
  KeyboardHook(const KeyboardHook&) = delete;
  KeyboardHook& operator=(const KeyboardHook&) = delete;

  // False when the system refused the hook.
  bool installed() const { return handle_ != nullptr; }

 private:
  friend LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);

  IndicatorPanel& panel_;
  LaunchHotKeys& launchKeys_;
  HHOOK handle_ = nullptr;
};
