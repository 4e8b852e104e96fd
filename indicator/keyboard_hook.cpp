#include "indicator/keyboard_hook.h"

#include <cstring>

#include "indicator/indicator_panel.h"
#include "indicator/lamps.h"
#include "launch/launch_keys.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

win::Handle hKeyboardHook = 0;

namespace {
IndicatorPanel* hookPanel = nullptr;
LaunchHotKeys* hookLaunchKeys = nullptr;
}

win::LResult KeyboardHookProc(int nCode, win::WParam wParam, win::LParam lParam) {
  hookPanel->armHideTimer();
  if (nCode == win::HC_ACTION) {
    win::KBDLLHOOKSTRUCT event;
    std::memcpy(&event, reinterpret_cast<const void*>(lParam), sizeof event);
    hookLaunchKeys->keyEvent(event.vkCode, (event.flags & win::LLKHF_UP) != 0);
    if (event.flags & win::LLKHF_UP) {
      if (const LampKey* key = lampKeyFor(event.vkCode)) {
        const std::int16_t state = win::GetKeyState(key->virtualKey);
        hookPanel->showSoon();
        hookPanel->setLamp(key->lamp, releaseColor(state));
      }
    }
  }
  return win::CallNextHookEx(hKeyboardHook, nCode, wParam, lParam);
}

KeyboardHook::KeyboardHook(IndicatorPanel& panel, LaunchHotKeys& launchKeys) {
  hookPanel = &panel;
  hookLaunchKeys = &launchKeys;
  hKeyboardHook = win::SetWindowsHookExA(win::WH_KEYBOARD_LL, KeyboardHookProc, tk::appInstance(), 0);
  launchKeys.watchPresses(hKeyboardHook != 0);
}

KeyboardHook::~KeyboardHook() {
  if (hKeyboardHook != 0) win::UnhookWindowsHookEx(hKeyboardHook);
  hookLaunchKeys->watchPresses(false);
}
