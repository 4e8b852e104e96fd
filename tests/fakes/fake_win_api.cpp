#include <cstring>

#include "platform/win_api.h"
#include "recorder.h"

namespace fake {

std::vector<std::string>& calls() {
  static std::vector<std::string> log;
  return log;
}

Answers& answers() {
  static Answers a;
  return a;
}

Screen& screen() {
  static Screen s;
  return s;
}

void reset() {
  calls().clear();
  answers() = Answers();
  screen() = Screen();
}

}  // namespace fake

namespace win {

Handle SetWindowsHookExA(int idHook, HookProc, Handle hInstance, std::uint32_t threadId) {
  fake::record("SetWindowsHookExA", idHook, hInstance, threadId);
  return fake::answers().hookHandle;
}

LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam) {
  fake::record("CallNextHookEx", hook, nCode, wParam, lParam);
  return fake::answers().nextHookResult;
}

bool UnhookWindowsHookEx(Handle hook) {
  fake::record("UnhookWindowsHookEx", hook);
  return true;
}

std::int16_t GetKeyState(int virtualKey) {
  fake::record("GetKeyState", virtualKey);
  const auto& states = fake::answers().keyStates;
  const auto found = states.find(virtualKey);
  return found == states.end() ? 0 : found->second;
}

bool GetKeyboardState(std::uint8_t (&keyState)[256]) {
  fake::record("GetKeyboardState");
  std::memcpy(keyState, fake::answers().keyboard, sizeof keyState);
  return true;
}

bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy, unsigned flags) {
  fake::record("SetWindowPos", hWnd, static_cast<std::int32_t>(insertAfter), x, y, cx, cy, flags);
  return true;
}

}  // namespace win
