#include "platform/win_api.h"

#include <type_traits>

#include "platform/win32/handles.h"
#include "platform/win32/system_function.h"
#include "platform/win_records.h"

static_assert(sizeof(win::KBDLLHOOKSTRUCT) == sizeof(::KBDLLHOOKSTRUCT), "KBDLLHOOKSTRUCT layout");

namespace win {

static_assert(std::is_same_v<HookProc, HOOKPROC>, "HookProc is HOOKPROC");

Handle SetWindowsHookExA(int idHook, HookProc proc, Handle hInstance, std::uint32_t threadId) {
  return toHandle(::SetWindowsHookExA(idHook, proc, fromHandle<HINSTANCE>(hInstance), threadId));
}

LResult CallNextHookEx(Handle hook, int nCode, WParam wParam, LParam lParam) {
  return ::CallNextHookEx(fromHandle<HHOOK>(hook), nCode, wParam, lParam);
}

bool UnhookWindowsHookEx(Handle hook) {
  return ::UnhookWindowsHookEx(fromHandle<HHOOK>(hook)) != FALSE;
}

bool KeyIsDown(int virtualKey) { return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

std::int16_t GetKeyState(int virtualKey) {
  return ::GetKeyState(virtualKey);
}

bool GetKeyboardState(std::uint8_t (&keyState)[256]) {
  return ::GetKeyboardState(keyState) != FALSE;
}

bool SetWindowPos(Handle hWnd, Handle insertAfter, int x, int y, int cx, int cy, unsigned flags) {
  return ::SetWindowPos(fromHandle<HWND>(hWnd), fromHandle<HWND>(insertAfter), x, y, cx, cy, flags) != FALSE;
}

}  // namespace win

static_assert(sizeof(win::NOTIFYICONDATA) == NOTIFYICONDATAA_V1_SIZE, "NOTIFYICONDATA layout");
static_assert(sizeof(win::OSVERSIONINFO) == sizeof(::OSVERSIONINFOA), "OSVERSIONINFO layout");

namespace win {

Handle FindWindowA(const char* className, const char* windowName) {
  return toHandle(::FindWindowA(className, windowName));
}

bool SendMessageTimeoutA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam, unsigned flags,
                         unsigned timeoutMs) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(fromHandle<HWND>(hWnd), msg, wParam, lParam, flags, timeoutMs, &result) != 0;
}

bool PostMessageA(Handle hWnd, std::uint32_t msg, WParam wParam, LParam lParam) {
  return ::PostMessageA(fromHandle<HWND>(hWnd), msg, wParam, lParam) != FALSE;
}

bool SetForegroundWindow(Handle hWnd) { return ::SetForegroundWindow(fromHandle<HWND>(hWnd)) != FALSE; }

bool Shell_NotifyIconA(std::uint32_t message, const NOTIFYICONDATA& data) {
  // The shell only reads the record; the API just lacks the const.
  return ::Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(const_cast<NOTIFYICONDATA*>(&data))) != FALSE;
}

std::uint16_t GlobalAddAtomA(const char* name) { return ::GlobalAddAtomA(name); }

bool RegisterHotKey(Handle hWnd, std::int32_t id, std::uint32_t modifiers, std::uint32_t virtualKey) {
  return ::RegisterHotKey(fromHandle<HWND>(hWnd), id, modifiers, virtualKey) != FALSE;
}

bool UnregisterHotKey(Handle hWnd, std::int32_t id) {
  return ::UnregisterHotKey(fromHandle<HWND>(hWnd), id) != FALSE;
}

Handle ShellExecuteA(Handle hWnd, const char* operation, const char* file, const char* parameters,
                     const char* directory, int showCommand) {
  return toHandle(::ShellExecuteA(fromHandle<HWND>(hWnd), operation, file, parameters, directory, showCommand));
}

bool GetVersionExA(OSVERSIONINFO& info) {
  return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)) != FALSE;
}

void RestrictDllSearchToSystem() {
  // Both arrived after Windows 2000: looked up at run time.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCSTR);
  constexpr DWORD kSearchSystem32 = 0x800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const auto setDefault = systemFunction<SetDefaultDllDirectoriesFn>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return;
  const auto setDirectory = systemFunction<SetDllDirectoryFn>("kernel32.dll", "SetDllDirectoryA");
  if (setDirectory != nullptr) setDirectory("");
}

std::string GetSystemWindowsDirectoryA() {
  char path[MAX_PATH] = {};
  const UINT length = ::GetSystemWindowsDirectoryA(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string GetSystemDirectoryA() {
  char path[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

std::string SHGetFolderPathA(int csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return std::string();
  return path;
}

}  // namespace win
