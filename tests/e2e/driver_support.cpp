#include "driver_support.h"

#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace e2e {

namespace {
int failures = 0;
WPARAM keyUp = 0;

void pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_KEYUP) keyUp = msg.wParam;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

BOOL CALLBACK countOwned(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<std::pair<DWORD, int>*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  count->second += owner == count->first ? 1 : 0;
  return TRUE;
}

std::vector<HWND> trayIcons() {
  HWND tray = trayWindow();
  return IsWindowVisible(tray) ? childWindows(tray, true) : std::vector<HWND>();
}

// Leaves a request for the session script and waits until it has been
// answered (the file is gone). The request is written under another name
// and renamed into place: the script, which looks for it every 50 ms, never
// reads it half written.
bool askSession(const std::string& request, const std::string& text) {
  const std::string part = request + ".part";
  if (!(std::ofstream(part) << text)) return false;
  return MoveFileExA(part.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING) &&
         waitFor([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
}
}  // namespace

bool check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
  return ok;
}

int exitCode() { return failures == 0 ? 0 : 1; }

WPARAM lastKeyUp() { return keyUp; }

int usage(const char* line) {
  std::fprintf(stderr, "usage: %s\n", line);
  return 2;
}

bool waitFor(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    pump();
    if (cond()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(pollMs, timeoutMs - elapsed), QS_ALLINPUT);
  }
}

HANDLE startProcess(std::string line, const char* currentFolder) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, currentFolder, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

DWORD waitForExit(HANDLE process, DWORD timeoutMs) {
  DWORD code = STILL_ACTIVE;
  if (waitFor([process] { return !running(process); }, timeoutMs)) GetExitCodeProcess(process, &code);
  return code;
}

bool closeTovix(HANDLE process) {
  PostMessageA(panel(), WM_CLOSE, 0, 0);
  return waitForExit(process, 5000) == 0;
}

std::vector<DWORD> childProcesses(DWORD parentId, DWORD* threads) {
  std::vector<DWORD> children;
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == parentId) children.push_back(entry.th32ProcessID);
    if (entry.th32ProcessID == parentId && threads != nullptr) *threads = entry.cntThreads;
  }
  return children;
}

Tovix::Tovix(const std::string& exe, const char* currentFolder)
    : handle(startProcess("\"" + exe + "\"", currentFolder)), started(handle != nullptr && panelShown(10000)) {}

Tovix::~Tovix() {
  if (running(process()) && !close()) {
    TerminateProcess(process(), 1);
    WaitForSingleObject(process(), 5000);
  }
}

void tapKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs(keys.size() * 2);
  for (size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i / 2];
    inputs[i].ki.dwFlags = i % 2 != 0 ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void click(POINT at, int button) {
  SetCursorPos(at.x, at.y);
  mouse_event(button == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
  mouse_event(button == 1 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
}

RECT windowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

POINT centreOf(HWND window) {
  const RECT r = windowRect(window);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool panelHidden(DWORD timeoutMs) {
  return waitFor([] { return !panelVisible(); }, timeoutMs);
}

POINT lampCentre(WORD key) {
  const Lamp* lamp = std::find_if(std::begin(kLamps), std::end(kLamps), [key](const Lamp& l) { return l.key == key; });
  const int side = twipsToPixels(375);
  POINT centre = {twipsToPixels(lamp->leftTwips) + side / 2, twipsToPixels(720) + side / 2};
  ClientToScreen(panel(), &centre);
  return centre;
}

std::uint32_t lampColour(WORD key) { return screenColour(lampCentre(key)); }

bool checkLockKey(WORD key, const std::string& what) {
  tapKeys({key});
  const bool shown = waitFor([key] { return panelVisible() && lastKeyUp() == key; }, 3000);
  if (!check(shown, what + ": the panel shows")) return false;
  const bool on = (GetKeyState(key) & 1) != 0;
  std::uint32_t seen = 0;
  const bool lit = waitFor([&] { return (seen = lampColour(key)) == lampFor(key); }, 1000);
  return check(lit, what + ": the lamp is " + (on ? "green with the toggle on" : "olive with the toggle off") +
                        " (pixel " + hex(seen) + ")");
}

bool launchKeysFree() {
  for (const UINT vk : {0xB6u, 0xB7u, 0xB5u}) {
    if (!RegisterHotKey(nullptr, 1, 0, vk)) return false;
    UnregisterHotKey(nullptr, 1);
  }
  return true;
}

DWORD pebField(HANDLE process, SIZE_T offset) {
  PROCESS_BASIC_INFORMATION basic = {};
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
  DWORD field = 0;
  ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + offset, &field, sizeof field, nullptr);
  return field;
}

int gdiObjects(HANDLE process) {
  constexpr SIZE_T kGdiSharedHandleTable = 0x94;  // in a 32-bit PEB
  const DWORD where = pebField(process, kGdiSharedHandleTable);
  if (where == 0) return -1;
  constexpr size_t kEntry = 16;
  std::vector<BYTE> table(kEntry * 65536);
  SIZE_T read = 0;
  ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<UINT_PTR>(where)), table.data(), table.size(), &read);
  int count = 0;
  for (size_t at = 12; at < read; at += kEntry) count += table[at] != 0 ? 1 : 0;  // the object type
  return count;
}

std::vector<HWND> childWindows(HWND parent, bool visibleOnly) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent != nullptr ? parent : GetDesktopWindow(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (!visibleOnly || IsWindowVisible(child)) children.push_back(child);
  }
  return children;
}

std::string windowText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

int windowCount(DWORD processId) {
  // The desktop's child windows, each at any depth.
  std::pair<DWORD, int> count = {processId, 0};
  EnumChildWindows(GetDesktopWindow(), countOwned, reinterpret_cast<LPARAM>(&count));
  return count.second;
}

HWND createWindow(const char* name, WNDPROC proc, DWORD exStyle, DWORD style, RECT at) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
  return CreateWindowExA(exStyle, name, name, style, at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr,
                         nullptr, wc.hInstance, nullptr);
}

LRESULT CALLBACK recordTrayRequests(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COPYDATA) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (data->cbData >= sizeof(TrayIconData)) {
    trayRequests.emplace_back(static_cast<DWORD>(data->dwData), *static_cast<const TrayIconData*>(data->lpData));
  }
  return TRUE;
}

HWND standInTaskbar(WNDPROC proc) {
  DWORD shellId = 0;
  GetWindowThreadProcessId(trayWindow(), &shellId);
  const Handle shell(OpenProcess(PROCESS_ALL_ACCESS, FALSE, shellId));
  if (!TerminateProcess(shell.get(), 0) || waitForExit(shell.get(), 5000) == STILL_ACTIVE) return nullptr;
  return createWindow("Shell_TrayWnd", proc, WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 10, 10});
}

int visibleTrayIcons() { return static_cast<int>(trayIcons().size()); }
bool clickIcon(int button) {
  const std::vector<HWND> icons = trayIcons();
  if (!icons.empty()) click(centreOf(icons[0]), button);
  return !icons.empty();
}

int twipsToPixels(int twips) { return static_cast<int>(std::lround(static_cast<float>(twips) / twipsPerPixel())); }

float twipsPerPixel() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return 1440.0f / static_cast<float>(dpi);
}

std::uint32_t screenColour(POINT at) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

std::string knownFolder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool screenshot(HWND window, const std::string& folder, const std::string& name) {
  const RECT r = windowRect(window);
  char where[64];
  std::snprintf(where, sizeof where, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return askSession(folder + "\\" + name + ".request", where);
}

bool xWindowOrigin(const std::string& folder, const std::string& caption, POINT* at) {
  const std::string answer = folder + "\\origin.at";
  DeleteFileA(answer.c_str());
  return askSession(folder + "\\origin.where", caption) && std::ifstream(answer) >> at->x >> at->y;
}

bool checkCaptionFits(const std::string& text, int widthTwips, int heightTwips, float points) {
  HDC screen = GetDC(nullptr);
  const int fontHeight = -static_cast<int>(std::lround(points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0f));
  // Bold, the rest as the defaults have it.
  HGDIOBJ old = SelectObject(screen, CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0,
                                                 0, 0, 0, "MS Sans Serif"));
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen, sizeof face, face);
  const int width = twipsToPixels(widthTwips), height = twipsToPixels(heightTwips);
  RECT needed = {0, 0, width, 0};
  DrawTextA(screen, text.c_str(), -1, &needed, DT_CALCRECT | DT_LEFT | DT_TOP | DT_WORDBREAK);
  DeleteObject(SelectObject(screen, old));
  ReleaseDC(nullptr, screen);
  char what[200];
  std::snprintf(what, sizeof what, "\"%s\" fits its %dx%d box: needs %ldx%ld in %s", text.c_str(), width, height,
                needed.right, needed.bottom, face);
  return check(needed.right <= width && needed.bottom <= height, what);
}

TypingWindow::TypingWindow()
    : frame(createWindow("Typing target", DefWindowProcA, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {40, 40, 460, 200})),
      edit(CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 380, 28, frame,
                           nullptr, nullptr, nullptr)) {
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);  // no limit
}

bool TypingWindow::takeFocus() {
  SetForegroundWindow(frame);
  SetFocus(edit);
  return waitFor([this] { return hasFocus(); }, 3000);
}

}  // namespace e2e
