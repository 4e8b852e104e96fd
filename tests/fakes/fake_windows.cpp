#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "fake.h"
#include "platform/system.h"

namespace fake {

namespace {
const std::thread::id testThread = std::this_thread::get_id();
std::map<std::string, WNDPROC> classes;
std::map<HMENU, std::vector<std::pair<UINT_PTR, std::string>>> menus;
std::uintptr_t lastHandle = 0x1000;
template <typename Handle>
Handle newHandle() {
  return reinterpret_cast<Handle>(lastHandle += 0x10);
}
Window* window(HWND hwnd) {
  const auto found = desktop().windows.find(hwnd);
  return found == desktop().windows.end() ? nullptr : &found->second;
}
void log(const std::string& entry) { desktop().log.push_back(entry); }
BOOL release(bool held, const char* what) {
  if (!held) desktop().faults.push_back(std::string("released ") + what + " not held");
  return held;
}
}  // namespace

Desktop& desktop() {
  static Desktop d;
  return d;
}
Answers& answers() {
  static Answers a;
  return a;
}
std::vector<std::function<void()>>& heldJobs() {
  static std::vector<std::function<void()>> jobs;
  return jobs;
}

void reset() {
  desktop() = Desktop();
  answers() = Answers();
  heldJobs().clear();
  classes.clear();
}

void dispatch() {
  while (!desktop().queue.empty()) {
    const Message m = desktop().queue.front();
    desktop().queue.erase(desktop().queue.begin());
    SendMessageA(m.hwnd, m.msg, m.wParam, m.lParam);
  }
  std::vector<HWND> invalid;
  for (const auto& [hwnd, w] : desktop().windows) {
    if (w.invalid && w.visible) invalid.push_back(hwnd);
  }
  for (const HWND hwnd : invalid) SendMessageA(hwnd, WM_PAINT, 0, 0);
}

void advance(DWORD ms) {
  const DWORD until = desktop().now + ms;
  for (;;) {
    auto& timers = desktop().timers;
    const auto next = std::min_element(timers.begin(), timers.end(), [](const auto& a, const auto& b) {
      return static_cast<LONG>(a.second.due - b.second.due) < 0;
    });
    if (next == timers.end() || static_cast<LONG>(next->second.due - until) > 0) break;
    desktop().now = next->second.due;
    next->second.due += next->second.intervalMs;
    SendMessageA(next->first.first, WM_TIMER, next->first.second, 0);
  }
  desktop().now = until;
}

void runHeldJobs() {
  std::vector<std::function<void()>> jobs;
  jobs.swap(heldJobs());
  for (auto& job : jobs) std::thread(std::move(job)).join();
}

HWND find(const std::string& className) {
  for (auto w = desktop().windows.rbegin(); w != desktop().windows.rend(); ++w) {
    if (w->second.className == className) return w->first;
  }
  return nullptr;
}

}  // namespace fake

using fake::desktop;
using fake::answers;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  fake::classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
  return 1;
}
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU, HINSTANCE, void* param) {
  const HWND hwnd = fake::newHandle<HWND>();
  const auto proc = fake::classes.find(className);
  fake::Window& w = desktop().windows[hwnd];
  w.className = className;
  w.caption = caption;
  w.style = style;
  w.exStyle = exStyle;
  w.parent = parent;
  w.frame = {x, y, x + width, y + height};
  w.visible = (style & WS_VISIBLE) != 0;
  w.proc = proc == fake::classes.end() ? nullptr : proc->second;
  CREATESTRUCTA create = {param};
  SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
  return hwnd;
}
BOOL DestroyWindow(HWND hwnd) {
  if (fake::window(hwnd) == nullptr) return FALSE;
  std::vector<HWND> children;
  for (const auto& [child, w] : desktop().windows) {
    if (w.parent == hwnd) children.push_back(child);
  }
  for (const HWND child : children) DestroyWindow(child);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  desktop().windows.erase(hwnd);
  for (auto t = desktop().timers.begin(); t != desktop().timers.end();) {
    t = t->first.first == hwnd ? desktop().timers.erase(t) : std::next(t);
  }
  return TRUE;
}
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) DestroyWindow(hwnd);
  return msg == WM_NCCREATE ? TRUE : 0;
}
LONG_PTR GetWindowLongPtrA(HWND hwnd, int) { return fake::window(hwnd) ? fake::window(hwnd)->userData : 0; }
LONG_PTR SetWindowLongPtrA(HWND hwnd, int, LONG_PTR value) {
  return fake::window(hwnd) ? std::exchange(fake::window(hwnd)->userData, value) : 0;
}
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const fake::Window* w = fake::window(hwnd);
  return w != nullptr && w->proc != nullptr ? w->proc(hwnd, msg, wParam, lParam) : 0;
}
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT, ULONG_PTR*) {
  desktop().sent.push_back({hwnd, msg, wParam, lParam});
  return fake::window(hwnd) != nullptr && answers().handOverAnswered;
}
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  desktop().queue.push_back({hwnd, msg, wParam, lParam});
  return TRUE;
}
void PostQuitMessage(int) { desktop().quit = true; }
UINT RegisterWindowMessageA(const char*) { return 0xC0DE; }
BOOL ShowWindow(HWND hwnd, int command) {
  fake::Window* w = fake::window(hwnd);
  if (w == nullptr) return FALSE;
  const bool was = w->visible;
  if (command != SW_HIDE && !was) fake::log("show " + w->className);
  w->visible = command != SW_HIDE;
  w->invalid = w->invalid || (w->visible && !was);
  w->activated = w->activated || command == SW_SHOW || command == SW_SHOWNORMAL;
  if (command == SW_SHOWNOACTIVATE) w->minimized = false;
  return was;
}
BOOL IsIconic(HWND hwnd) { return fake::window(hwnd) && fake::window(hwnd)->minimized; }
BOOL IsZoomed(HWND) { return FALSE; }
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int, int, UINT flags) {
  fake::Window* w = fake::window(hwnd);
  if (w == nullptr) return FALSE;
  if (insertAfter == HWND_TOPMOST && desktop().topmost.insert(hwnd).second) fake::log("topmost");
  if ((flags & SWP_NOMOVE) == 0) {
    w->frame = {x, y, x + w->frame.right - w->frame.left, y + w->frame.bottom - w->frame.top};
  }
  w->activated = w->activated || (flags & SWP_NOACTIVATE) == 0;
  return TRUE;
}
BOOL GetWindowRect(HWND hwnd, RECT* rect) {
  if (fake::window(hwnd) == nullptr) return FALSE;
  *rect = fake::window(hwnd)->frame;
  return TRUE;
}
// A frame three pixels wide, a caption bar of 16 or 20.
BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD exStyle) {
  *rect = {rect->left - 3, rect->top - ((exStyle & WS_EX_TOOLWINDOW) ? 19 : 23), rect->right + 3, rect->bottom + 3};
  return TRUE;
}
int GetSystemMetrics(int index) { return index == SM_CXSCREEN ? answers().screenWidth : answers().screenHeight; }
int GetWindowTextA(HWND hwnd, char* text, int size) {
  const std::string caption = fake::window(hwnd) ? fake::window(hwnd)->caption : "";
  const int length = std::min(static_cast<int>(caption.size()), size - 1);
  std::memcpy(text, caption.data(), length);
  text[length] = '\0';
  return length;
}
BOOL SetWindowTextA(HWND hwnd, const char* text) {
  if (fake::window(hwnd) != nullptr) fake::window(hwnd)->caption = text;
  return fake::window(hwnd) != nullptr;
}
// The newest window first, as the top of the z-order.
HWND FindWindowA(const char* className, const char* caption) {
  for (auto w = desktop().windows.rbegin(); w != desktop().windows.rend(); ++w) {
    if (w->second.parent == nullptr && w->second.className == className && w->second.caption == caption) return w->first;
  }
  return nullptr;
}
BOOL SetForegroundWindow(HWND hwnd) {
  desktop().foreground = hwnd;
  return TRUE;
}
HWND SetFocus(HWND hwnd) { return std::exchange(desktop().focus, hwnd); }
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
  ++desktop().timersSet;
  desktop().timers[{hwnd, id}] = {elapseMs, desktop().now + elapseMs};
  return id;
}
BOOL KillTimer(HWND hwnd, UINT_PTR id) { return desktop().timers.erase({hwnd, id}) != 0; }
DWORD GetTickCount() { return desktop().now; }
HMODULE GetModuleHandleA(const char*) { return reinterpret_cast<HMODULE>(0x400000); }
HICON LoadIconA(HINSTANCE, const char*) { return reinterpret_cast<HICON>(0x7700); }
HCURSOR LoadCursorA(HINSTANCE, const char*) { return reinterpret_cast<HCURSOR>(0x7800); }
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
  desktop().messageBoxes.push_back(std::string(caption) + ": " + text);
  return IDOK;
}

namespace {
HWND painting = nullptr;
COLORREF brush = 0;
}  // namespace
BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
  if (fake::window(hwnd) != nullptr) fake::window(hwnd)->invalid = true;
  return TRUE;
}
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint) {
  painting = hwnd;
  fake::window(hwnd)->drawn.clear();
  *paint = {};
  return reinterpret_cast<HDC>(0xDC);
}
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT*) {
  fake::window(hwnd)->invalid = false;
  painting = nullptr;
  return TRUE;
}
HDC GetDC(HWND) { return reinterpret_cast<HDC>(0xDC); }
int ReleaseDC(HWND, HDC) { return 1; }
int GetDeviceCaps(HDC, int) { return answers().dpi; }
HGDIOBJ SelectObject(HDC, HGDIOBJ) { return nullptr; }
HGDIOBJ GetStockObject(int) { return nullptr; }
BOOL DeleteObject(HGDIOBJ) { return TRUE; }
HFONT CreateFontA(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, const char*) {
  return fake::newHandle<HFONT>();
}
int SetBkMode(HDC, int) { return 0; }
COLORREF SetTextColor(HDC, COLORREF) { return 0; }
COLORREF SetDCBrushColor(HDC, COLORREF colour) { return std::exchange(brush, colour); }
DWORD GetSysColor(int) { return 0; }
int DrawTextA(HDC, const char* text, int, RECT* rect, UINT) {
  fake::window(painting)->drawn.push_back({*rect, 0, text});
  return 1;
}
BOOL Ellipse(HDC, int left, int top, int right, int bottom) {
  fake::window(painting)->drawn.push_back({{left, top, right, bottom}, brush, ""});
  return TRUE;
}

HMENU CreatePopupMenu() {
  const HMENU menu = fake::newHandle<HMENU>();
  fake::menus[menu];
  return menu;
}
BOOL AppendMenuA(HMENU menu, UINT, UINT_PTR id, const char* text) {
  fake::menus.at(menu).push_back({id, text});
  return TRUE;
}
BOOL TrackPopupMenu(HMENU menu, UINT, int, int, int, HWND, const RECT*) {
  desktop().menu.clear();
  BOOL chosen = 0;
  for (const auto& [id, text] : fake::menus.at(menu)) {
    desktop().menu.push_back(text);
    if (static_cast<int>(id) == answers().menuChoice) chosen = static_cast<BOOL>(id);
  }
  desktop().foregroundAtMenu = desktop().foreground;
  desktop().nullPostedBeforeMenu =
      std::any_of(desktop().queue.begin(), desktop().queue.end(), [](const auto& m) { return m.msg == WM_NULL; });
  return chosen;
}
BOOL DestroyMenu(HMENU menu) { return fake::release(fake::menus.erase(menu) != 0, "a menu"); }
BOOL GetCursorPos(POINT* at) {
  *at = {1000, 760};
  return TRUE;
}

HHOOK SetWindowsHookExA(int type, HOOKPROC, HINSTANCE, DWORD threadId) {
  if (answers().hookRefused || threadId != 0) return nullptr;
  const HHOOK hook = fake::newHandle<HHOOK>();
  desktop().hooks[hook] = type;
  fake::log("hook");
  return hook;
}
LRESULT CallNextHookEx(HHOOK hook, int nCode, WPARAM wParam, LPARAM lParam) {
  desktop().passedOn.push_back({hook, nCode, wParam, lParam});
  return answers().nextHookResult;
}
BOOL UnhookWindowsHookEx(HHOOK hook) {
  fake::log("unhook");
  return fake::release(desktop().hooks.erase(hook) != 0, "a hook");
}
SHORT GetKeyState(int key) { return answers().keyStates.count(key) ? answers().keyStates.at(key) : 0; }
SHORT GetAsyncKeyState(int key) { return answers().keysDown.count(key) ? static_cast<SHORT>(0x8000) : 0; }
BOOL GetKeyboardState(BYTE* keys) {
  std::memcpy(keys, answers().keyboard, sizeof answers().keyboard);
  return TRUE;
}

BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  const auto* bytes = reinterpret_cast<const BYTE*>(data);
  const auto* fields = reinterpret_cast<const std::uint32_t*>(data);  // cbSize, hWnd, uID, ...
  const auto icon = std::make_pair(fields[1], fields[2]);
  auto& tray = desktop().tray;
  fake::log(message == NIM_ADD ? "icon" : "icon released");
  if (message == NIM_DELETE) return fake::release(tray.erase(icon) != 0, "an icon");
  if (message != NIM_ADD || tray.count(icon) != 0) return FALSE;
  tray[icon].assign(bytes, bytes + fields[0]);
  return TRUE;
}
ATOM GlobalAddAtomA(const char* name) {
  fake::log(std::string("atom ") + name);
  return answers().atoms.count(name) ? answers().atoms.at(name) : 0;
}
BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  if ((modifiers & 0x4000) != 0 && answers().noRepeatRefused) return FALSE;  // MOD_NOREPEAT
  const bool added = desktop().hotKeys.emplace(std::make_pair(hwnd, id), std::make_pair(modifiers, virtualKey)).second;
  if (added) fake::log("hot key");
  return added;
}
BOOL UnregisterHotKey(HWND hwnd, int id) {
  fake::log("hot key released");
  return fake::release(desktop().hotKeys.erase({hwnd, id}) != 0, "a hot key");
}
HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char* parameters, const char* folder,
                        int show) {
  if (answers().whileStarting) answers().whileStarting();
  desktop().started.push_back({verb, file, parameters, folder, show, std::this_thread::get_id() != fake::testThread});
  return reinterpret_cast<HINSTANCE>(42);
}
BOOL GetVersionExA(OSVERSIONINFOA* version) {
  if (!answers().versionKnown || version->dwOSVersionInfoSize != sizeof *version) return FALSE;
  version->dwMajorVersion = answers().majorVersion;
  version->dwMinorVersion = answers().minorVersion;
  return TRUE;
}
namespace {
UINT copyFolder(const std::string& folder, char* path, UINT size) {
  if (folder.size() >= size) return static_cast<UINT>(folder.size() + 1);
  std::memcpy(path, folder.c_str(), folder.size() + 1);
  return static_cast<UINT>(folder.size());
}
}  // namespace
UINT GetSystemWindowsDirectoryA(char* path, UINT size) { return copyFolder(answers().windowsFolder, path, size); }
UINT GetSystemDirectoryA(char* path, UINT size) { return copyFolder(answers().systemFolder, path, size); }
HRESULT SHGetFolderPathA(HWND, int csidl, void*, DWORD, char* path) {
  const std::string folder = csidl == CSIDL_PROGRAM_FILES ? answers().programFiles : "C:\\Some other folder";
  copyFolder(folder, path, MAX_PATH);
  return folder.empty() ? -1 : 0;
}

namespace win {

void startProgram(const std::string& path, const std::string& folder, int showCommand) {
  if (answers().whileStarting) answers().whileStarting();
  desktop().started.push_back({"", path, "", folder, showCommand, std::this_thread::get_id() != fake::testThread});
}
bool inBackground(std::function<void()> job) {
  if (!answers().threadsStart) return false;
  fake::heldJobs().push_back(std::move(job));
  if (!answers().holdJobs) fake::runHeldJobs();
  return true;
}

struct RunningMark::Impl {
  bool held = false;
};
RunningMark::RunningMark() : impl_(std::make_unique<Impl>()) {}
RunningMark::~RunningMark() {
  if (impl_->held) fake::log("running mark released");
}
bool RunningMark::previousInstance() {
  impl_->held = !answers().previousInstance;
  if (impl_->held) fake::log("running mark");
  return !impl_->held;
}
bool RunningMark::waitForPreviousInstance(unsigned) {
  impl_->held = answers().previousInstanceEnds;
  if (impl_->held) fake::log("running mark");
  return impl_->held;
}
SessionWatch::SessionWatch(HWND hwnd) : hwnd_(hwnd) {}
SessionWatch::~SessionWatch() = default;

}  // namespace win
