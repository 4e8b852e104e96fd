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

Desktop& desktop() {
  static Desktop d;
  return d;
}

void reset() {
  logging() = true;
  calls().clear();
  desktop() = Desktop();
  answers() = Answers();
  heldJobs().clear();
  screen() = Screen();
}

}  // namespace fake

namespace win {

Handle SetWindowsHookExA(int idHook, HookProc, Handle hInstance, std::uint32_t threadId) {
  fake::record("SetWindowsHookExA", idHook, hInstance, threadId);
  const Handle hook = fake::answers().hookHandle;
  if (hook != 0) fake::desktop().hooks[hook] = {idHook, hInstance, threadId};
  return hook;
}

LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam) {
  fake::desktop().passedOn.push_back({hook, nCode, wParam, lParam});
  return fake::answers().nextHookResult;
}

bool UnhookWindowsHookEx(Handle hook) {
  fake::record("UnhookWindowsHookEx", hook);
  if (fake::desktop().hooks.erase(hook) == 0) fake::desktop().faults.push_back("unhooked a hook not held");
  return true;
}

bool KeyIsDown(int virtualKey) { return fake::answers().keysDown.count(virtualKey) != 0; }

std::int16_t GetKeyState(int virtualKey) {
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
  fake::Desktop& desktop = fake::desktop();
  if (insertAfter == static_cast<Handle>(-1)) desktop.topmost.insert(hWnd);
  if ((flags & 0x10) == 0) desktop.faults.push_back("SetWindowPos activated a window");    // SWP_NOACTIVATE
  if ((flags & 0x3) != 0x3) desktop.faults.push_back("SetWindowPos moved or sized a window");  // NOSIZE|NOMOVE
  return true;
}

}  // namespace win

namespace win {

Handle FindWindowA(const char* className, const char* windowName) {
  const bool panel = className != nullptr && std::strcmp(className, "TovixForm") == 0 &&
                     windowName != nullptr && std::strcmp(windowName, "Tovix") == 0;
  return panel ? fake::answers().otherPanel : 0;
}

bool SendMessageTimeoutA(Handle hWnd, std::uint32_t msg, WParam, LParam, unsigned flags,
                         unsigned timeoutMs) {
  fake::desktop().sent.push_back({hWnd, msg, flags, timeoutMs});
  return fake::answers().handOverAnswered;
}

bool PostMessageA(Handle hWnd, std::uint32_t msg, WParam, LParam) {
  fake::desktop().posted.push_back({hWnd, msg});
  return true;
}

bool SetForegroundWindow(Handle hWnd) {
  fake::desktop().foreground = hWnd;
  return true;
}

bool Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data) {
  fake::record("Shell_NotifyIconA", message, data.hWnd, data.uID);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&data);
  auto& tray = fake::desktop().tray;
  const auto icon = std::make_pair(data.hWnd, data.uID);
  const bool shown = tray.count(icon) != 0;
  if (message == 2) return tray.erase(icon) != 0;  // NIM_DELETE
  if ((message == 0) == shown) return false;       // NIM_ADD of a shown icon, NIM_MODIFY of another
  tray[icon].assign(bytes, bytes + data.cbSize);
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
  if ((modifiers & 0x4000) != 0 && fake::answers().noRepeatRefused) return false;
  return fake::desktop().hotKeys.emplace(std::make_pair(hWnd, id), fake::Desktop::HotKey{modifiers, virtualKey}).second;
}

bool UnregisterHotKey(Handle hWnd, std::int32_t id) {
  fake::record("UnregisterHotKey", hWnd, id);
  if (fake::desktop().hotKeys.erase({hWnd, id}) == 0) fake::desktop().faults.push_back("released a hot key not held");
  return true;
}

Handle ShellExecuteA(Handle, const char* operation, const char* file, const char* parameters,
                     const char* directory, int showCommand) {
  fake::desktop().started.push_back({operation, file, parameters == nullptr ? "" : parameters,
                                     directory == nullptr ? "" : directory, showCommand, !fake::onTestThread()});
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
  return csidl == 0x26 ? fake::answers().programFiles : "C:\\Some other folder";  // CSIDL_PROGRAM_FILES
}

}  // namespace win
