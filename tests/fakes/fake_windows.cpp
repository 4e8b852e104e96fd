#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include "fake.h"
#include "platform/system.h"

namespace fake {

namespace {
const std::thread::id testThread = std::this_thread::get_id();
std::uintptr_t lastHandle = 0x1000;
void* newHandle() { return reinterpret_cast<void*>(lastHandle += 0x10); }
Window* window(HWND hwnd) { return desktop.windows.count(hwnd) ? &desktop.windows.at(hwnd) : nullptr; }
void log(const std::string& entry) { desktop.log.push_back(entry); }
BOOL release(bool held, const char* what) {
  return held || (desktop.faults.push_back(std::string("released ") + what + " not held"), false);
}
void start(const std::string& what) {
  if (answers.whileStarting) answers.whileStarting();
  desktop.started.push_back({what, std::this_thread::get_id() != testThread});
}
UINT copy(const std::string& text, char* to, UINT size) { return std::snprintf(to, size, "%s", text.c_str()); }
HWND painting = nullptr;
HGDIOBJ font = nullptr;
COLORREF brush = 0;
}  // namespace

void reset() {
  desktop = {};
  answers = {};
}

void dispatch() {
  for (MSG m; !desktop.queue.empty(); DispatchMessageA(&m)) {
    m = desktop.queue.front();
    desktop.queue.erase(desktop.queue.begin());
  }
}

void advance(DWORD ms) {
  const DWORD until = desktop.now + ms;
  auto& timers = desktop.timers;
  const auto earlier = [](const auto& a, const auto& b) { return LONG(a.second.second - b.second.second) < 0; };
  for (auto next = timers.begin(); (next = std::min_element(timers.begin(), timers.end(), earlier)) != timers.end() &&
                                   LONG(next->second.second - until) <= 0;) {
    desktop.now = next->second.second;
    next->second.second += next->second.first;
    SendMessageA(next->first.first, WM_TIMER, next->first.second, 0);
  }
  desktop.now = until;
}

void runHeldJobs() {
  for (auto& job : std::exchange(desktop.heldJobs, {})) std::thread(std::move(job)).join();
}

}  // namespace fake

using fake::answers;
using fake::desktop;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
  return desktop.classes[windowClass->lpszClassName] = *windowClass, 1;
}
HWND CreateWindowExA(DWORD, const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU, HINSTANCE, void*) {
  const auto hwnd = static_cast<HWND>(fake::newHandle());
  const auto known = desktop.classes.find(className);
  desktop.windows[hwnd] = {className, caption, parent, {x, y, x + width, y + height}, (style & WS_VISIBLE) != 0};
  desktop.windows[hwnd].proc = known == desktop.classes.end() ? nullptr : known->second.lpfnWndProc;
  return SendMessageA(hwnd, WM_NCCREATE, 0, 0), hwnd;
}
BOOL DestroyWindow(HWND hwnd) {
  if (fake::window(hwnd) == nullptr) return FALSE;
  auto& all = desktop.windows;
  const auto child = [&] {
    return std::find_if(all.begin(), all.end(), [&](auto& w) { return w.second.parent == hwnd; });
  };
  for (auto c = child(); c != all.end(); c = child()) DestroyWindow(c->first);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  std::erase_if(desktop.timers, [&](const auto& timer) { return timer.first.first == hwnd; });
  return desktop.windows.erase(hwnd) != 0;
}
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) DestroyWindow(hwnd);
  return msg == WM_NCCREATE;
}
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const fake::Window* w = fake::window(hwnd);
  return w != nullptr && w->proc != nullptr ? w->proc(hwnd, msg, wParam, lParam) : 0;
}
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT, ULONG_PTR* result) {
  desktop.sent.push_back({hwnd, msg, wParam, lParam, 0, {}});
  if (fake::window(hwnd) == nullptr || !answers.handOverAnswered) return 0;
  return *result = SendMessageA(hwnd, msg, wParam, lParam), 1;
}
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return desktop.queue.push_back({hwnd, msg, wParam, lParam, 0, {}}), TRUE;
}
void PostQuitMessage(int) { desktop.quit = true; }
// The queue until it is empty or WM_QUIT was posted.
BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
  if (desktop.quit || desktop.queue.empty()) return FALSE;
  *msg = desktop.queue.front();
  return desktop.queue.erase(desktop.queue.begin()), TRUE;
}
BOOL IsDialogMessageA(HWND, MSG*) { return FALSE; }
BOOL TranslateMessage(const MSG*) { return FALSE; }
// As Windows does, a WM_TIMER with an address calls it.
LRESULT DispatchMessageA(const MSG* m) {
  if (m->message == WM_TIMER && m->lParam != 0) return reinterpret_cast<TIMERPROC>(m->lParam)(m->hwnd, 0, 0, 0), 0;
  return SendMessageA(m->hwnd, m->message, m->wParam, m->lParam);
}
UINT RegisterWindowMessageA(const char*) { return 0xC0DE; }
BOOL ShowWindow(HWND hwnd, int command) {
  fake::Window& w = *fake::window(hwnd);
  if (command != SW_HIDE && !w.visible) fake::log("show " + w.className);
  w.activated = w.activated || command == SW_SHOW || command == SW_SHOWNORMAL;
  w.minimized = w.minimized && command != SW_SHOWNOACTIVATE;
  return std::exchange(w.visible, command != SW_HIDE);
}
BOOL IsIconic(HWND hwnd) { return fake::window(hwnd)->minimized; }
BOOL IsZoomed(HWND) { return FALSE; }
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int, int, UINT flags) {
  fake::Window& w = *fake::window(hwnd);
  if (insertAfter == HWND_TOPMOST && desktop.topmost.insert(hwnd).second) fake::log("topmost");
  if ((flags & SWP_NOMOVE) == 0) w.frame = {x, y, x + w.frame.right - w.frame.left, y + w.frame.bottom - w.frame.top};
  w.activated = w.activated || (flags & SWP_NOACTIVATE) == 0;
  return TRUE;
}
BOOL GetWindowRect(HWND hwnd, RECT* rect) { return (*rect = fake::window(hwnd)->frame), TRUE; }
// A frame three pixels wide, a caption bar of 16 or 20.
BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD exStyle) {
  *rect = {rect->left - 3, rect->top - ((exStyle & WS_EX_TOOLWINDOW) ? 19 : 23), rect->right + 3, rect->bottom + 3};
  return TRUE;
}
int GetSystemMetrics(int index) {
  if (index == SM_CXSMICON) return 16 * answers.dpi / 96;
  return index == SM_CXSCREEN ? answers.screen.right : answers.screen.bottom;
}
BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
  return action == SPI_GETWORKAREA && (*static_cast<RECT*>(value) = answers.workArea, true);
}
BOOL SetWindowTextA(HWND hwnd, const char* text) {
  if (fake::Window* w = fake::window(hwnd)) w->caption = text;
  return TRUE;
}
// The newest window first, as the top of the z-order; of any caption for none.
HWND FindWindowA(const char* className, const char* caption) {
  for (auto w = desktop.windows.rbegin(); w != desktop.windows.rend(); ++w) {
    if (w->second.className == className && (!caption || w->second.caption == caption)) return w->first;
  }
  return nullptr;
}
BOOL SetForegroundWindow(HWND hwnd) { return (desktop.foreground = hwnd), TRUE; }
HWND SetFocus(HWND hwnd) { return std::exchange(desktop.focus, hwnd); }
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC) {
  ++desktop.timersSet;
  return desktop.timers[{hwnd, id}] = {elapseMs, desktop.now + elapseMs}, id;
}
BOOL KillTimer(HWND hwnd, UINT_PTR id) { return desktop.timers.erase({hwnd, id}) != 0; }
DWORD GetTickCount() { return desktop.now; }
HMODULE GetModuleHandleA(const char*) { return reinterpret_cast<HMODULE>(0x400000); }
HICON LoadIconA(HINSTANCE, const char*) { return reinterpret_cast<HICON>(0x7700); }
HCURSOR LoadCursorA(HINSTANCE, const char*) { return nullptr; }
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
  return desktop.messageBoxes.push_back(std::string(caption) + ": " + text), IDOK;
}

BOOL InvalidateRect(HWND, const RECT*, BOOL) { return TRUE; }
HDC GetDC(HWND) { return ++desktop.openDCs, reinterpret_cast<HDC>(0xDC); }
int ReleaseDC(HWND, HDC) { return fake::release(desktop.openDCs-- > 0, "a device context"); }
HDC BeginPaint(HWND hwnd, PAINTSTRUCT*) {
  fake::Window& w = *fake::window(fake::painting = hwnd);
  return w.ellipses.clear(), w.texts.clear(), GetDC(hwnd);
}
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT*) { return ReleaseDC(hwnd, nullptr); }
int GetDeviceCaps(HDC, int) { return answers.dpi; }
HGDIOBJ SelectObject(HDC, HGDIOBJ object) {
  return desktop.fonts.count(object) ? std::exchange(fake::font, object) : nullptr;
}
HGDIOBJ GetStockObject(int) { return nullptr; }
BOOL DeleteObject(HGDIOBJ object) { return fake::release(desktop.fonts.erase(object), "a GDI object"); }
HFONT CreateFontA(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, const char*) {
  const auto font = static_cast<HFONT>(fake::newHandle());
  return desktop.fonts[font] = height, font;
}
int SetBkMode(HDC, int) { return 0; }
COLORREF SetTextColor(HDC, COLORREF) { return 0; }
COLORREF SetDCBrushColor(HDC, COLORREF colour) { return std::exchange(fake::brush, colour); }
DWORD GetSysColor(int) { return 0; }
int DrawTextA(HDC, const char* text, int, RECT* box, UINT) {
  const int height = desktop.fonts.count(fake::font) ? desktop.fonts.at(fake::font) : 0;
  return fake::window(fake::painting)->texts.push_back({text, *box, height}), 1;
}
BOOL Ellipse(HDC, int left, int top, int right, int bottom) {
  return fake::window(fake::painting)->ellipses.push_back({{left, top, right, bottom}, fake::brush}), TRUE;
}

HMENU CreatePopupMenu() { return desktop.menu.clear(), static_cast<HMENU>(fake::newHandle()); }
BOOL AppendMenuA(HMENU, UINT, UINT_PTR, const char* text) { return desktop.menu.push_back(text), TRUE; }
// Ids and items match: the user's choice is the id asked for, if any.
BOOL TrackPopupMenu(HMENU, UINT, int x, int y, int, HWND, const RECT*) {
  desktop.foregroundAtMenu = desktop.foreground;
  desktop.menuAt = {x, y};
  return answers.menuChoice <= static_cast<int>(desktop.menu.size()) ? answers.menuChoice : 0;
}
BOOL DestroyMenu(HMENU) { return TRUE; }
BOOL GetCursorPos(POINT* at) { return (*at = {1000, 760}), TRUE; }

HHOOK SetWindowsHookExA(int type, HOOKPROC, HINSTANCE, DWORD threadId) {
  if (answers.hookRefused || type != WH_KEYBOARD_LL || threadId != 0) return nullptr;
  return fake::log("hook"), *desktop.hooks.insert(static_cast<HHOOK>(fake::newHandle())).first;
}
LRESULT CallNextHookEx(HHOOK hook, int nCode, WPARAM wParam, LPARAM lParam) {
  return desktop.passedOn.push_back({hook, nCode, wParam, lParam}), answers.nextHookResult;
}
BOOL UnhookWindowsHookEx(HHOOK hook) { return fake::log("unhook"), fake::release(desktop.hooks.erase(hook), "a hook"); }
SHORT GetKeyState(int key) { return answers.keyStates.count(key) ? answers.keyStates.at(key) : 0; }
SHORT GetAsyncKeyState(int key) { return answers.keysDown.count(key) ? SHORT(0x8000) : 0; }
BOOL GetKeyboardState(BYTE* keys) { return std::memcpy(keys, answers.keyboard, 256), TRUE; }

// cbSize, hWnd and uID lead the record.
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  const auto* bytes = reinterpret_cast<const BYTE*>(data);
  const auto* fields = reinterpret_cast<const std::uint32_t*>(data);
  const auto icon = std::make_pair(fields[1], fields[2]);
  const std::vector<BYTE> record(bytes, bytes + fields[0]);
  if (message == NIM_MODIFY) return desktop.tray.count(icon) && (desktop.tray[icon] = record, true);
  fake::log(message == NIM_ADD ? "icon" : "icon released");
  if (message == NIM_DELETE) return fake::release(desktop.tray.erase(icon), "an icon");
  return message == NIM_ADD && desktop.tray.emplace(icon, record).second;
}
// An image the taskbar still shows must stay.
BOOL DestroyIcon(HICON icon) {
  for (const auto& [id, record] : desktop.tray) {
    if (std::memcmp(record.data() + 20, &icon, 4) == 0) desktop.faults.push_back("destroyed an icon image shown");
  }
  return fake::release(desktop.iconImages.erase(icon), "an icon image");
}
ATOM GlobalAddAtomA(const char* name) { return answers.atoms.count(name) ? answers.atoms.at(name) : 0; }
BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  if ((modifiers & 0x4000) != 0 && answers.noRepeatRefused) return FALSE;  // MOD_NOREPEAT
  const bool added = desktop.hotKeys.emplace(std::make_pair(hwnd, id), std::make_pair(modifiers, virtualKey)).second;
  return added && (fake::log("hot key"), true);
}
BOOL UnregisterHotKey(HWND hwnd, int id) {
  return fake::log("hot key released"), fake::release(desktop.hotKeys.erase({hwnd, id}), "a hot key");
}
HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char* parameters, const char* folder,
                        int show) {
  return fake::start(std::string(verb) + " " + file + " " + parameters + " | " + folder + " | " + std::to_string(show)),
         reinterpret_cast<HINSTANCE>(42);
}
BOOL GetVersionExA(OSVERSIONINFOA* version) {
  if (!answers.versionKnown || version->dwOSVersionInfoSize != sizeof *version) return FALSE;
  version->dwMajorVersion = answers.majorVersion;
  version->dwMinorVersion = answers.minorVersion;
  return TRUE;
}
UINT GetSystemWindowsDirectoryA(char* path, UINT size) { return fake::copy(answers.windowsFolder, path, size); }
UINT GetSystemDirectoryA(char* path, UINT size) { return fake::copy(answers.systemFolder, path, size); }
HRESULT SHGetFolderPathA(HWND, int csidl, void*, DWORD, char* path) {
  const std::string folder = csidl == CSIDL_PROGRAM_FILES ? answers.programFiles : "C:\\Some other folder";
  return fake::copy(folder, path, MAX_PATH) > 0 ? S_OK : E_FAIL;
}
BOOL CloseHandle(HANDLE) { return TRUE; }
BOOL FreeLibrary(HMODULE) { return TRUE; }

namespace win {

void startProgram(const std::string& path, const std::string& folder, int show) {
  fake::start(path + " | " + folder + " | " + std::to_string(show));
}
bool inBackground(std::function<void()> job) {
  if (!answers.threadsStart) return false;
  desktop.heldJobs.push_back(std::move(job));
  if (!answers.holdJobs) fake::runHeldJobs();
  return true;
}

// One mark for the desktop: a copy holds it until its object goes.
RunningMark::RunningMark() = default;
RunningMark::~RunningMark() {
  if (held_) desktop.markHeld = false, fake::log("running mark released");
}
bool RunningMark::acquire(unsigned) {
  if (answers.whileWaiting) answers.whileWaiting();
  held_ = held_ || (!answers.markTaken && !desktop.markHeld && (fake::log("running mark"), true));
  return desktop.markHeld = desktop.markHeld || held_, held_;
}
Icon smallProgramIcon() {
  const auto image = static_cast<HICON>(fake::newHandle());
  return desktop.iconImages[image] = GetSystemMetrics(SM_CXSMICON), Icon(image);
}
SessionWatch::SessionWatch(HWND hwnd) : hwnd_(hwnd) {}
SessionWatch::~SessionWatch() = default;

}  // namespace win
