#include "indicator/keyboard_hook.h"

#include <cstring>

#include "indicator/indicator_panel.h"
#include "indicator/lamps.h"
#include "launch/launch_keys.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

namespace {
// The hook of the moment: the system calls the hook procedure with no word
// of which hook it is.
KeyboardHook* current = nullptr;
}  // namespace

win::LResult WIN_CALLBACK KeyboardHookProc(int nCode, win::WParam wParam, win::LParam lParam) {
  current->panel_.armHideTimer();
  if (nCode == win::HC_ACTION) {
    win::KBDLLHOOKSTRUCT event;
    std::memcpy(&event, reinterpret_cast<const void*>(lParam), sizeof event);
    current->launchKeys_.keyEvent(event.vkCode, (event.flags & win::LLKHF_UP) != 0);
    if (event.flags & win::LLKHF_UP) {
      if (const LampKey* key = lampKeyFor(event.vkCode)) {
        const std::int16_t state = win::GetKeyState(key->virtualKey);
        current->panel_.showSoon();
        current->panel_.setLamp(key->lamp, releaseColor(state));
      }
    }
  }
  return win::CallNextHookEx(current->handle_, nCode, wParam, lParam);
}

KeyboardHook::KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys)
    : panel_(panel), launchKeys_(launchKeys), handle_(0) {
  current = this;
  handle_ = win::SetWindowsHookExA(win::WH_KEYBOARD_LL, KeyboardHookProc, tk::appInstance(), 0);
  launchKeys.watchPresses(handle_ != 0);
}

KeyboardHook::~KeyboardHook() {
  if (handle_ != 0) win::UnhookWindowsHookEx(handle_);
  launchKeys_.watchPresses(false);
  if (current == this) current = nullptr;
}
