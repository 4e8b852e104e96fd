#include <cstring>
#include <thread>

#include "platform/win_api.h"
#include "platform/win_records.h"
#include "recorder.h"

namespace fake {

std::vector<std::string>& calls() {
  static std::vector<std::string> log;
  return log;
}

namespace {
// Set before main, on the thread that runs the tests.
const std::thread::id testThread = std::this_thread::get_id();
}  // namespace

bool onTestThread() { return std::this_thread::get_id() == testThread; }

bool& logging() {
  static bool on = true;
  return on;
}

Answers& answers() {
  static Answers a;
  return a;
}

Screen& screen() {
  static Screen s;
  return s;
}

std::vector<NotifyCall>& notifyCalls() {
  static std::vector<NotifyCall> all;
  return all;
}

void reset() {
  logging() = true;
  calls().clear();
  notifyCalls().clear();
  answers() = Answers();
  heldJobs().clear();
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

bool KeyIsDown(int virtualKey) { return fake::answers().keysDown.count(virtualKey) != 0; }

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

namespace win {

Handle FindWindowA(const char* className, const char* windowName) {
  fake::record("FindWindowA", className == nullptr ? "null" : className, windowName);
  return fake::answers().foundWindow;
}

bool SendMessageTimeoutA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam, unsigned flags,
                         unsigned timeoutMs) {
  // The caller passes a pointer; what the log keeps is what it points at.
  const std::int32_t pointee = lParam == 0 ? -1 : *reinterpret_cast<const std::int32_t*>(lParam);
  fake::record("SendMessageTimeoutA", hWnd, msg, wParam, lParam == 0 ? "null" : "&" + std::to_string(pointee), flags,
               timeoutMs);
  return fake::answers().handOverAnswered;
}

bool PostMessageA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam) {
  fake::record("PostMessageA", hWnd, msg, wParam, lParam);
  return true;
}

bool SetForegroundWindow(Handle hWnd) {
  fake::record("SetForegroundWindow", hWnd);
  return true;
}

bool Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data) {
  fake::record("Shell_NotifyIconA", message, data.hWnd, data.uID);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&data);
  fake::notifyCalls().push_back({message, std::vector<std::uint8_t>(bytes, bytes + data.cbSize)});
  return true;
}

std::uint16_t GlobalAddAtomA(const char* name) {
  fake::record("GlobalAddAtomA", name);
  const auto& atoms = fake::answers().atoms;
  const auto found = atoms.find(name);
  return found == atoms.end() ? 0 : found->second;
}

bool RegisterHotKey(Handle hWnd, std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) {
  fake::record("RegisterHotKey", hWnd, id, modifiers, virtualKey);
  return (modifiers & 0x4000) == 0 || !fake::answers().noRepeatRefused;
}

bool UnregisterHotKey(Handle hWnd, std::int32_t id) {
  fake::record("UnregisterHotKey", hWnd, id);
  return true;
}

Handle ShellExecuteA(Handle hWnd, const char* operation, const char* file, const char* parameters,
                     const char* directory, int showCommand) {
  fake::record("ShellExecuteA", hWnd, operation, file, parameters, directory == nullptr ? "null" : directory,
               showCommand);
  return 42;
}

bool GetVersionExA(OSVERSIONINFO& info) {
  fake::record("GetVersionExA", info.dwOSVersionInfoSize);
  if (!fake::answers().versionKnown) return false;
  info.dwMajorVersion = fake::answers().majorVersion;
  info.dwMinorVersion = fake::answers().minorVersion;
  return true;
}

std::string GetSystemWindowsDirectoryA() { return fake::answers().windowsFolder; }

std::string GetSystemDirectoryA() { return fake::answers().systemFolder; }

std::string SHGetFolderPathA(int csidl) {
  fake::record("SHGetFolderPathA", csidl);
  return fake::answers().programFiles;
}

}  // namespace win
