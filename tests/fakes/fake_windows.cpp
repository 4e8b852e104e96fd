#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
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
BOOL release(bool held, const std::string& what) { return held || (desktop.faults.push_back(what + " not held"), 0); }
void start(const std::string& what) {
  if (answers.whileStarting) answers.whileStarting();
  desktop.started.push_back({what, std::this_thread::get_id() != testThread});
}
UINT copy(const std::string& text, char* to, UINT size) { return std::snprintf(to, size, "%s", text.c_str()); }
// The device context being painted: its window, font, brush and text colours.
HWND painting = nullptr;
HGDIOBJ font = nullptr, savedFont = nullptr;
COLORREF brush = 0, textColour = 0;
}  // namespace

void reset() { desktop = {}, answers = {}; }

void dispatch() {
  for (MSG m; GetMessageA(&m, nullptr, 0, 0);) DispatchMessageA(&m);
  for (auto& [hwnd, w] : desktop.windows)
    if (w.visible && w.invalid) SendMessageA(hwnd, WM_PAINT, 0, 0);
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

using fake::answers, fake::desktop;

void* operator new(std::size_t size) {
  if (desktop.counting) ++desktop.allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

ATOM RegisterClassA(const WNDCLASSA* c) { return desktop.classes[c->lpszClassName] = *c, 1; }
HWND CreateWindowExA(DWORD, const char* className, const char* caption, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU, HINSTANCE, void*) {
  const auto hwnd = static_cast<HWND>(fake::newHandle());
  const RECT frame = {x, y, x + width, y + height};
  desktop.windows[hwnd] = {
      className, caption, parent, desktop.classes[className].lpfnWndProc, frame, (style & WS_VISIBLE) != 0};
  return SendMessageA(hwnd, WM_NCCREATE, 0, 0), hwnd;
}
// Its children first.
BOOL DestroyWindow(HWND hwnd) {
  for (const auto& [child, w] : desktop.windows)
    if (w.parent == hwnd) return DestroyWindow(child), DestroyWindow(hwnd);
  if (fake::window(hwnd) == nullptr) return FALSE;
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  std::erase_if(desktop.timers, [&](const auto& timer) { return timer.first.first == hwnd; });
  return desktop.windows.erase(hwnd) != 0;
}
LRESULT DefWindowProcA(HWND h, UINT m, WPARAM, LPARAM) { return m == WM_CLOSE ? !DestroyWindow(h) : m == WM_NCCREATE; }
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const fake::Window* w = fake::window(hwnd);
  return w && w->proc ? w->proc(hwnd, msg, wParam, lParam) : 0;
}
LRESULT SendMessageTimeoutA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT, UINT, ULONG_PTR* result) {
  if (fake::window(hwnd) == nullptr || !answers.handOverAnswered) return 0;
  // As from the other copy's thread.
  desktop.fromAnotherThread = true, *result = SendMessageA(hwnd, msg, wParam, lParam);
  return desktop.fromAnotherThread = false, 1;
}
BOOL InSendMessage() { return desktop.fromAnotherThread; }
BOOL PostMessageA(HWND h, UINT msg, WPARAM w, LPARAM l) { return desktop.queue.push_back({h, msg, w, l, 0, {}}), TRUE; }
void PostQuitMessage(int) { desktop.quit = true; }
// The queue until it is empty or WM_QUIT was posted.
BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
  auto& queue = desktop.queue;
  return !desktop.quit && !queue.empty() && (*msg = queue.front(), queue.erase(queue.begin()), true);
}
// Esc and Enter in the dialog or its controls click Cancel and the default button.
BOOL IsDialogMessageA(HWND dialog, MSG* m) {
  const bool inside = m->hwnd == dialog || (fake::window(m->hwnd) && fake::window(m->hwnd)->parent == dialog);
  if (!inside || m->message != WM_KEYDOWN || (m->wParam != VK_ESCAPE && m->wParam != VK_RETURN)) return FALSE;
  return SendMessageA(dialog, WM_COMMAND, m->wParam == VK_ESCAPE ? IDCANCEL : IDOK, 0), TRUE;
}
BOOL TranslateMessage(const MSG*) { return FALSE; }
// As Windows does, a WM_TIMER with an address calls it.
LRESULT DispatchMessageA(const MSG* m) {
  if (m->message == WM_TIMER && m->lParam != 0) return reinterpret_cast<TIMERPROC>(m->lParam)(m->hwnd, 0, 0, 0), 0;
  return SendMessageA(m->hwnd, m->message, m->wParam, m->lParam);
}
UINT RegisterWindowMessageA(const char*) { return 0xC0DE; }
BOOL ShowWindow(HWND hwnd, int command) {
  fake::Window& w = *fake::window(hwnd);
  w.invalid = w.invalid || (!w.visible && command != SW_HIDE);
  w.activated = w.activated || std::set<int>{SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_SHOW, SW_RESTORE}.count(command);
  w.minimized = w.minimized && command != SW_SHOWNOACTIVATE;
  return std::exchange(w.visible, command != SW_HIDE);
}
BOOL IsIconic(HWND hwnd) { return fake::window(hwnd)->minimized; }
BOOL IsZoomed(HWND) { return FALSE; }
// The window hears of the move first and may refuse it.
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  WINDOWPOS pos = {hwnd, insertAfter, x, y, 0, 0, flags};
  SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  fake::Window& w = *fake::window(hwnd);
  const RECT& f = w.frame;
  if ((pos.flags & SWP_NOMOVE) == 0) w.frame = {x, y, x + f.right - f.left, y + f.bottom - f.top};
  if ((flags & SWP_NOSIZE) == 0) w.frame.right = f.left + width, w.frame.bottom = f.top + height;
  w.topmost = w.topmost || insertAfter == HWND_TOPMOST;
  return w.activated = w.activated || (pos.flags & SWP_NOACTIVATE) == 0, TRUE;
}
BOOL GetWindowRect(HWND hwnd, RECT* rect) { return (*rect = fake::window(hwnd)->frame), TRUE; }
// A frame three pixels wide, a caption bar of 16 or 20.
BOOL AdjustWindowRectEx(RECT* r, DWORD, BOOL, DWORD exStyle) {
  return *r = {r->left - 3, r->top - ((exStyle & WS_EX_TOOLWINDOW) ? 19 : 23), r->right + 3, r->bottom + 3}, TRUE;
}
int GetSystemMetrics(int i) {
  return i == SM_CXSMICON ? 16 * answers.dpi / 96 : i == SM_CXSCREEN ? answers.screen.right : answers.screen.bottom;
}
BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
  return action == SPI_GETWORKAREA && (*static_cast<RECT*>(value) = answers.workArea, true);
}
BOOL SetWindowTextA(HWND h, const char* text) { return fake::window(h) && (fake::window(h)->caption = text, 1); }
// The newest window first, as the top of the z-order; of any caption for none.
HWND FindWindowA(const char* className, const char* caption) {
  for (auto w = desktop.windows.rbegin(); w != desktop.windows.rend(); ++w)
    if (w->second.className == className && (!caption || w->second.caption == caption)) return w->first;
  return nullptr;
}
BOOL SetForegroundWindow(HWND hwnd) { return (desktop.foreground = hwnd), TRUE; }
HWND SetFocus(HWND hwnd) { return std::exchange(desktop.focus, hwnd); }
UINT_PTR SetTimer(HWND h, UINT_PTR i, UINT ms, TIMERPROC) { return desktop.timers[{h, i}] = {ms, desktop.now + ms}, i; }
BOOL KillTimer(HWND hwnd, UINT_PTR id) { return desktop.timers.erase({hwnd, id}) != 0; }
DWORD GetTickCount() { return desktop.now; }
HMODULE GetModuleHandleA(const char*) { return reinterpret_cast<HMODULE>(0x400000); }
// Windows 10's functions that the tests need, found only when
// answers.windows10 says so. AdjustWindowRectExForDpi is left out: the
// fake's frame is the same at every density.
namespace fake {
namespace {
HRESULT WINAPI queryNotificationState(int* state) { return *state = answers.notificationState, S_OK; }
UINT WINAPI dpiForWindow(HWND) { return answers.monitorDpi; }
int WINAPI metricsForDpi(int i, UINT dpi) { return i == SM_CXSMICON ? 16 * dpi / 96 : 0; }
BOOL WINAPI letThrough(HWND h, UINT msg, DWORD, void*) { return desktop.letThrough.insert({h, msg}), TRUE; }
}  // namespace
}  // namespace fake
FARPROC GetProcAddress(HMODULE, const char* name) {
  const std::map<std::string, void*> windows10 = {
      {"SHQueryUserNotificationState", reinterpret_cast<void*>(fake::queryNotificationState)},
      {"GetDpiForWindow", reinterpret_cast<void*>(fake::dpiForWindow)},
      {"GetSystemMetricsForDpi", reinterpret_cast<void*>(fake::metricsForDpi)},
      {"ChangeWindowMessageFilterEx", reinterpret_cast<void*>(fake::letThrough)}};
  const bool found = answers.windows10 && windows10.count(name);
  return found ? reinterpret_cast<FARPROC>(windows10.at(name)) : nullptr;
}
HICON LoadIconA(HINSTANCE, const char*) { return reinterpret_cast<HICON>(0x7700); }
HCURSOR LoadCursorA(HINSTANCE, const char*) { return nullptr; }
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
  return desktop.messageBoxes.push_back(std::string(caption) + ": " + text), IDOK;
}

BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) { return fake::window(hwnd) && (fake::window(hwnd)->invalid = true); }
HDC GetDC(HWND) { return ++desktop.openDCs, reinterpret_cast<HDC>(0xDC); }
int ReleaseDC(HWND, HDC) { return fake::release(desktop.openDCs-- > 0, "released a device context"); }
HDC BeginPaint(HWND hwnd, PAINTSTRUCT*) {
  fake::Window& w = *fake::window(fake::painting = hwnd);
  return w.invalid = false, w.ellipses.clear(), w.texts.clear(), GetDC(hwnd);
}
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT*) { return ReleaseDC(hwnd, nullptr); }
int GetDeviceCaps(HDC, int) { return answers.dpi; }
HGDIOBJ SelectObject(HDC, HGDIOBJ o) { return desktop.fonts.count(o) ? std::exchange(fake::font, o) : nullptr; }
int SaveDC(HDC) { return fake::savedFont = fake::font, 1; }
BOOL RestoreDC(HDC, int) { return fake::font = fake::savedFont, TRUE; }
HGDIOBJ GetStockObject(int) { return nullptr; }
BOOL DeleteObject(HGDIOBJ object) { return fake::release(desktop.fonts.erase(object), "released a GDI object"); }
HFONT CreateFontA(int height, int, int, int, int weight, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  const char* face) {
  const auto font = static_cast<HFONT>(fake::newHandle());
  return desktop.fonts[font] = face + (" " + std::to_string(height)) + (weight >= FW_BOLD ? " bold" : ""), font;
}
int SetBkMode(HDC, int) { return 0; }
COLORREF SetTextColor(HDC, COLORREF colour) { return std::exchange(fake::textColour, colour); }
COLORREF SetDCBrushColor(HDC, COLORREF colour) { return std::exchange(fake::brush, colour); }
// The classic scheme's black text on grey.
DWORD GetSysColor(int index) { return index == COLOR_BTNTEXT ? 0x000000 : 0xC0C0C0; }
// In a font not held, the text leaves one behind.
int DrawTextA(HDC, const char* text, int, RECT* box, UINT) {
  const std::string seen = text + (", " + desktop.fonts[fake::font]) + ", " + std::to_string(fake::textColour);
  return fake::window(fake::painting)->texts.push_back({seen, *box}), 1;
}
BOOL Ellipse(HDC, int left, int top, int right, int bottom) {
  return fake::window(fake::painting)->ellipses.push_back({{left, top, right, bottom}, fake::brush}), TRUE;
}

HMENU CreatePopupMenu() { return desktop.menu.clear(), desktop.menuIds.clear(), static_cast<HMENU>(fake::newHandle()); }
BOOL AppendMenuA(HMENU, UINT, UINT_PTR id, const char* text) {
  return desktop.menu.push_back(text), desktop.menuIds.push_back(id), TRUE;
}
// Where it opens, and the id of the item the user clicks, if any. Its owner
// out of the foreground, it would not close on a click elsewhere.
BOOL TrackPopupMenu(HMENU, UINT, int x, int y, int, HWND owner, const RECT*) {
  const auto item = std::find(desktop.menu.begin(), desktop.menu.end(), answers.menuClick) - desktop.menu.begin();
  const bool stuck = desktop.foreground != owner;
  desktop.menu.push_back("at " + std::to_string(x) + "," + std::to_string(y) + (stuck ? ", stays open" : ""));
  return item < static_cast<int>(desktop.menuIds.size()) ? static_cast<BOOL>(desktop.menuIds[item]) : 0;
}
BOOL DestroyMenu(HMENU) { return TRUE; }
BOOL GetCursorPos(POINT* at) { return (*at = {1000, 760}), TRUE; }

HHOOK SetWindowsHookExA(int type, HOOKPROC, HINSTANCE, DWORD threadId) {
  if (answers.hookRefused || type != WH_KEYBOARD_LL || threadId != 0) return nullptr;
  return *desktop.hooks.insert(static_cast<HHOOK>(fake::newHandle())).first;
}
LRESULT CallNextHookEx(HHOOK hook, int nCode, WPARAM wParam, LPARAM lParam) {
  return desktop.passedOn.push_back({hook, nCode, wParam, lParam}), answers.nextHookResult;
}
// The hook goes first: it reports to the panel, the icon's window, and the keys.
BOOL UnhookWindowsHookEx(HHOOK hook) {
  if (desktop.tray.empty() || desktop.hotKeys.empty()) desktop.faults.push_back("the hook released last");
  return fake::release(desktop.hooks.erase(hook), "released a hook");
}
SHORT GetKeyState(int key) { return answers.keyStates.count(key) ? answers.keyStates.at(key) : 0; }
SHORT GetAsyncKeyState(int key) { return answers.keysDown.count(key) ? SHORT(0x8000) : 0; }
BOOL GetKeyboardState(BYTE* keys) { return std::memcpy(keys, answers.keyboard, 256), TRUE; }

// cbSize, hWnd and uID lead the record.
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data) {
  const auto* fields = reinterpret_cast<const std::uint32_t*>(data);
  const auto icon = std::make_pair(fields[1], fields[2]);
  const std::vector<BYTE> record(reinterpret_cast<const BYTE*>(data), reinterpret_cast<const BYTE*>(data) + fields[0]);
  if (message == NIM_MODIFY) return desktop.tray.count(icon) && (desktop.tray[icon] = record, true);
  if (message == NIM_DELETE) return fake::release(desktop.tray.erase(icon), "released an icon");
  return message == NIM_ADD && desktop.tray.emplace(icon, record).second;
}
// An image the taskbar still shows must stay.
BOOL DestroyIcon(HICON icon) {
  for (const auto& [id, record] : desktop.tray)
    if (std::memcmp(record.data() + 20, &icon, 4) == 0) desktop.faults.push_back("destroyed an icon image shown");
  return fake::release(desktop.iconImages.erase(icon), "released an icon image");
}
ATOM GlobalAddAtomA(const char* name) { return answers.atoms.count(name) ? answers.atoms.at(name) : 0; }
// A key one window holds is refused to any other.
BOOL RegisterHotKey(HWND hwnd, int id, UINT modifiers, UINT virtualKey) {
  if ((modifiers & 0x4000) != 0 && answers.noRepeatRefused) return FALSE;  // MOD_NOREPEAT
  return desktop.hotKeys.emplace(virtualKey, std::make_tuple(hwnd, id, modifiers)).second;
}
BOOL UnregisterHotKey(HWND hwnd, int id) {
  return std::erase_if(desktop.hotKeys,
                       [&](const auto& k) { return std::get<0>(k.second) == hwnd && std::get<1>(k.second) == id; });
}
BOOL GetVersionExA(OSVERSIONINFOA* v) {
  if (!answers.versionKnown || v->dwOSVersionInfoSize != sizeof *v) return FALSE;
  return v->dwMajorVersion = answers.majorVersion, v->dwMinorVersion = answers.minorVersion, TRUE;
}
UINT GetSystemWindowsDirectoryA(char* path, UINT size) { return fake::copy(answers.windowsFolder, path, size); }
UINT GetSystemDirectoryA(char* path, UINT size) { return fake::copy(answers.systemFolder, path, size); }
HRESULT SHGetFolderPathA(HWND, int csidl, void*, DWORD, char* path) {
  return csidl == CSIDL_PROGRAM_FILES && fake::copy(answers.programFiles, path, MAX_PATH) > 0 ? S_OK : E_FAIL;
}
BOOL CloseHandle(HANDLE) { return TRUE; }
BOOL FreeLibrary(HMODULE) { return TRUE; }

namespace win {

void startProgram(const std::string& path, const std::string& arguments, const std::string& folder, int show) {
  fake::start(path + (arguments.empty() ? "" : " " + arguments) + " | " + folder + " | " + std::to_string(show));
}
bool inBackground(std::function<void()> job) {
  if (answers.threadsStart) desktop.heldJobs.push_back(std::move(job));
  if (!answers.holdJobs) fake::runHeldJobs();
  return answers.threadsStart;
}

// One mark for the desktop: a copy holds it until its object goes, after
// everything else it holds.
RunningMark::RunningMark() = default;
RunningMark::~RunningMark() {
  if (held_ && !(desktop.tray.empty() && desktop.hotKeys.empty())) desktop.faults.push_back("mark released first");
  desktop.markHeld = desktop.markHeld && !held_;
}
// Not held, it costs the whole wait.
bool RunningMark::acquire(unsigned timeoutMs) {
  if (answers.whileWaiting) answers.whileWaiting();
  held_ = held_ || (!answers.markTaken && !desktop.markHeld);
  if (!held_) fake::advance(timeoutMs);
  return desktop.markHeld = desktop.markHeld || held_, held_;
}
Icon smallProgramIcon(int size) {
  const auto image = static_cast<HICON>(fake::newHandle());
  return desktop.iconImages[image] = size, Icon(image);
}
SessionWatch::SessionWatch(HWND hwnd) : hwnd_(hwnd) { desktop.sessionWatched = hwnd; }
SessionWatch::~SessionWatch() { desktop.sessionWatched = nullptr; }

}  // namespace win
