#include "driver_support.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

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
}  // namespace

bool check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
  return ok;
}

int exitCode() { return failures == 0 ? 0 : 1; }

bool waitFor(const std::function<bool()>& cond, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    pump();
    if (cond()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed), QS_ALLINPUT);
  }
}

WPARAM lastKeyUp() { return keyUp; }

HANDLE startProcess(const std::string& commandLine, const char* currentFolder) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, currentFolder, &si, &pi)) return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

bool running(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode) {
  const bool ended = waitFor([process] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs);
  if (ended && exitCode != nullptr) GetExitCodeProcess(process, exitCode);
  return ended;
}

bool closeTovix(HANDLE process) {
  PostMessageA(panel(), WM_CLOSE, 0, 0);
  DWORD code = 1;
  return waitForExit(process, 5000, &code) && code == 0;
}

std::vector<DWORD> childProcesses(DWORD parentId) {
  std::vector<DWORD> children;
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ParentProcessID == parentId) children.push_back(entry.th32ProcessID);
  }
  return children;
}

Tovix::Tovix(const std::string& exe, const char* currentFolder)
    : process_(startProcess("\"" + exe + "\"", currentFolder)),
      started_(process_ != nullptr && waitFor(panelVisible, 10000)) {}

Tovix::~Tovix() {
  if (process_ != nullptr && running(process()) && !close()) {
    TerminateProcess(process(), 1);
    WaitForSingleObject(process(), 5000);
  }
}

void tapKeys(const std::vector<WORD>& keys) {
  std::vector<INPUT> inputs;
  for (WORD vk : keys) {
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = vk;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(down);
    inputs.push_back(up);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void click(POINT at, int button) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (width - 1);
    input.mi.dy = at.y * 65535 / (height - 1);
  }
  inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  inputs[1].mi.dwFlags = (button == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN) | MOUSEEVENTF_ABSOLUTE;
  inputs[2].mi.dwFlags = (button == 1 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP) | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, inputs, sizeof(INPUT));
}

POINT centreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND panel() { return FindWindowA("TovixForm", "Tovix"); }

bool panelVisible() { return IsWindowVisible(panel()) != FALSE; }

bool panelPlacedBottomRight(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  const float tpp = twipsPerPixel();
  const float bottomTwips = static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * tpp - 500.0f;
  return frame.right == GetSystemMetrics(SM_CXSCREEN) &&
         std::fabs(static_cast<float>(frame.bottom) * tpp - bottomTwips) <= tpp;
}

std::uint32_t lampColour(WORD key) {
  int leftTwips = 0;
  for (const Lamp& lamp : kLamps) {
    if (lamp.key == key) leftTwips = lamp.leftTwips;
  }
  const int side = twipsToPixels(375);
  POINT centre = {twipsToPixels(leftTwips) + side / 2, twipsToPixels(720) + side / 2};
  ClientToScreen(panel(), &centre);
  return screenColour(centre);
}

bool launchKeysFree() {
  bool all = true;
  for (const UINT vk : {0xB6u, 0xB7u, 0xB5u}) {
    if (RegisterHotKey(nullptr, 1, 0, vk)) {
      UnregisterHotKey(nullptr, 1);
    } else {
      all = false;
    }
  }
  return all;
}

DWORD pebField(HANDLE process, SIZE_T offset) {
  using QueryInformation = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic = {};
  if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
  DWORD field = 0;
  ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + offset, &field, sizeof field, nullptr);
  return field;
}

int gdiObjects(HANDLE process) {
  constexpr SIZE_T kGdiSharedHandleTable = 0x94;  // in a 32-bit PEB
  const DWORD table = pebField(process, kGdiSharedHandleTable);
  if (table == 0) return -1;
  constexpr size_t kEntry = 16;
  constexpr size_t kEntries = 65536;
  std::vector<BYTE> entries(kEntry * kEntries);
  SIZE_T read = 0;
  ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<UINT_PTR>(table)), entries.data(), entries.size(),
                    &read);
  int count = 0;
  for (size_t at = 12; at < read; at += kEntry) count += entries[at] != 0 ? 1 : 0;  // the object type
  return count;
}

namespace {
struct WindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK countChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  return TRUE;
}

BOOL CALLBACK countTopLevel(HWND window, LPARAM data) {
  auto* windows = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == windows->process) {
    ++windows->count;
    EnumChildWindows(window, countChild, data);
  }
  return TRUE;
}
}  // namespace

int windowCount(DWORD processId) {
  WindowCount windows = {processId, 0};
  EnumWindows(countTopLevel, reinterpret_cast<LPARAM>(&windows));
  return windows.count;
}

namespace {
std::vector<HWND> trayIcons() {
  std::vector<HWND> icons;
  HWND tray = FindWindowA(nullptr, "Wine System Tray");
  if (tray == nullptr || !IsWindowVisible(tray)) return icons;
  for (HWND child = GetWindow(tray, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) icons.push_back(child);
  }
  return icons;
}
}  // namespace

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
  GetWindowThreadProcessId(FindWindowA(nullptr, "Wine System Tray"), &shellId);
  const Handle shell(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, shellId));
  if (shell == nullptr || !TerminateProcess(shell.get(), 0) ||
      WaitForSingleObject(shell.get(), 5000) != WAIT_OBJECT_0) {
    return nullptr;
  }
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "Shell_TrayWnd";
  RegisterClassA(&wc);
  return CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                         nullptr);
}

int visibleTrayIcons() { return static_cast<int>(trayIcons().size()); }

HWND firstTrayIcon() {
  const std::vector<HWND> icons = trayIcons();
  return icons.empty() ? nullptr : icons.front();
}

float twipsPerPixel() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return 1440.0f / static_cast<float>(dpi);
}

int twipsToPixels(int twips) { return static_cast<int>(std::lround(static_cast<float>(twips) / twipsPerPixel())); }

std::uint32_t Capture::at(int x, int y) const {
  const int width = rect.right - rect.left;
  return pixels[static_cast<size_t>((y - rect.top) * width + (x - rect.left))] & 0xFFFFFF;
}

Capture captureDrawing(const RECT& rect, const std::function<void(HDC)>& draw) {
  Capture capture;
  capture.rect = rect;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC memory = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  draw(memory);
  GdiFlush();
  const auto* first = static_cast<const std::uint32_t*>(bits);
  capture.pixels.assign(first, first + static_cast<size_t>(width) * height);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return capture;
}

Capture captureScreen(const RECT& rect) {
  return captureDrawing(rect, [&rect](HDC memory) {
    HDC screen = GetDC(nullptr);
    BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
  });
}

std::uint32_t screenColour(POINT at) { return captureScreen({at.x, at.y, at.x + 1, at.y + 1}).at(at.x, at.y); }

namespace {
// Leaves a request for the session script and waits until it has been
// answered (the file is gone). The request is written under another name
// and renamed into place: the script, which looks for it every 50 ms, never
// reads it half written.
bool askSession(const std::string& request, const std::string& text) {
  const std::string part = request + ".part";
  FILE* out = std::fopen(part.c_str(), "w");
  if (out == nullptr) return false;
  const bool written = std::fputs(text.c_str(), out) >= 0;
  if (std::fclose(out) != 0 || !written || !MoveFileExA(part.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(part.c_str());
    return false;
  }
  return waitFor([&] { return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000);
}
}  // namespace

bool screenshot(HWND window, const std::string& folder, const std::string& name) {
  RECT r;
  GetWindowRect(window, &r);
  char where[64];
  std::snprintf(where, sizeof where, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return askSession(folder + "\\" + name + ".request", where);
}

bool xWindowOrigin(const std::string& folder, const std::string& caption, POINT* at) {
  const std::string answer = folder + "\\origin.at";
  DeleteFileA(answer.c_str());
  if (!askSession(folder + "\\origin.where", caption)) return false;
  FILE* in = std::fopen(answer.c_str(), "r");
  if (in == nullptr) return false;
  const bool read = std::fscanf(in, "%ld %ld", &at->x, &at->y) == 2;
  std::fclose(in);
  return read;
}

bool checkCaptionFits(const std::string& text, int widthTwips, int heightTwips, float points) {
  HDC screen = GetDC(nullptr);
  const int fontHeight = -static_cast<int>(std::lround(points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0f));
  HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  HGDIOBJ old = SelectObject(screen, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(screen, sizeof face, face);
  const int width = twipsToPixels(widthTwips);
  const int height = twipsToPixels(heightTwips);
  RECT needed = {0, 0, width, 0};
  DrawTextA(screen, text.c_str(), -1, &needed, DT_CALCRECT | DT_LEFT | DT_TOP | DT_WORDBREAK);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  char what[200];
  std::snprintf(what, sizeof what, "\"%s\" fits its %dx%d box: needs %ldx%ld in %s", text.c_str(), width, height,
                needed.right, needed.bottom, face);
  return check(needed.right <= width && needed.bottom <= height, what);
}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(value));
  return text;
}

TypingWindow::TypingWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TovixTypingTarget";
  RegisterClassA(&wc);
  frame = CreateWindowExA(0, wc.lpszClassName, "Typing target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 160,
                          nullptr, nullptr, wc.hInstance, nullptr);
  edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 380, 28, frame,
                         nullptr, wc.hInstance, nullptr);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);  // no limit
}

bool TypingWindow::takeFocus() {
  SetForegroundWindow(frame);
  SetFocus(edit);
  return waitFor([this] { return hasFocus(); }, 3000);
}

bool TypingWindow::hasFocus() const { return GetForegroundWindow() == frame && GetFocus() == edit; }

std::string TypingWindow::text() const {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(edit, &text[0], static_cast<int>(text.size()))));
  return text;
}

}  // namespace e2e
