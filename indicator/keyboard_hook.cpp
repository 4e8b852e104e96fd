#include "indicator/keyboard_hook.h"

#include <cstring>

#include "indicator/indicator_panel.h"
#include "indicator/lamps.h"
#include "launch/launch_keys.h"

namespace {
// The hook of the moment: the system calls the hook procedure with no word
// of which hook it is.
KeyboardHook* current = nullptr;
}  // namespace

LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
  current->panel_.armHideTimer();
  if (nCode == HC_ACTION) {
    KBDLLHOOKSTRUCT event;
    std::memcpy(&event, reinterpret_cast<const void*>(lParam), sizeof event);
    const bool released = (event.flags & LLKHF_UP) != 0;
    current->launchKeys_.keyEvent(event.vkCode, released);
    for (const LampKey& key : kLampKeys) {
      if (!released || static_cast<DWORD>(key.virtualKey) != event.vkCode) continue;
      current->panel_.setLamp(key.lamp, releaseColor(GetKeyState(key.virtualKey)));
      current->panel_.showSoon();
    }
  }
  return CallNextHookEx(current->handle_, nCode, wParam, lParam);
}

KeyboardHook::KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys) : panel_(panel), launchKeys_(launchKeys) {
  current = this;
  handle_ = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHookProc, GetModuleHandleA(nullptr), 0);
  launchKeys.watchPresses(handle_ != nullptr);
}

KeyboardHook::~KeyboardHook() {
  if (handle_ != nullptr) UnhookWindowsHookEx(handle_);
  launchKeys_.watchPresses(false);
  if (current == this) current = nullptr;
}
