#pragma once

// What the end-to-end drivers share: checks that report and count, waits on
// a condition with a deadline while pumping this thread's messages, starting
// and ending processes, injecting keys and reading the screen.

#include <windows.h>

// And the standard headers the drivers share.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// Prints "ok: what" or "FAIL: what" and counts failures.
bool check(bool ok, const std::string& what);
// 0 when every check passed, 1 otherwise.
int exitCode();
// Says on stderr how a driver is run; 2, its exit code then.
int usage(const char* line);

// Pumps messages until cond() holds or timeoutMs passes, looking again every
// pollMs; true if it held.
bool waitFor(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = 10);
// The last WM_KEYUP the pump saw, by virtual key.
WPARAM lastKeyUp();

// A kernel handle, closed when it goes.
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Starts a command line in a current folder (the driver's own when null).
HANDLE startProcess(std::string commandLine, const char* currentFolder = nullptr);
inline bool running(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
// Waits for a process to end, pumping messages: its exit code, or
// STILL_ACTIVE when it did not end in time.
DWORD waitForExit(HANDLE process, DWORD timeoutMs);
// The processes a process started that still run; and its threads, where asked for.
std::vector<DWORD> childProcesses(DWORD parentId, DWORD* threads = nullptr);
// Closes Tovix's panel as any close request does and waits up to five
// seconds for the process to end; true when it ended with exit code 0.
bool closeTovix(HANDLE process);

// A tovix.exe this driver started, in a current folder (the driver's own
// when null), waited for until its panel shows as it does at start-up.
// When it goes, it is closed as close() closes it, or else ended: no copy
// outlives its driver to meet the next.
struct Tovix {
  explicit Tovix(const std::string& exe, const char* currentFolder = nullptr);
  ~Tovix();
  HANDLE process() const { return handle.get(); }
  bool close() const { return closeTovix(process()); }

  const Handle handle;
  const bool started;  // whether the process started and its panel showed
};

// Presses and releases each key, all in one injected batch.
void tapKeys(const std::vector<WORD>& keys);

// Moves the mouse to screen coordinates and clicks: button 1 left, 2 right.
void click(POINT at, int button);
// A window's frame on the screen, and its centre.
RECT windowRect(HWND window);
POINT centreOf(HWND window);

// Tovix's panel, found by its class and caption, and whether it shows; and
// waits for it to show or to hide.
inline HWND panel() { return FindWindowA("TovixForm", "Tovix"); }
inline bool panelVisible() { return IsWindowVisible(panel()) != FALSE; }
inline bool panelShown(DWORD timeoutMs = 3000) { return waitFor(panelVisible, timeoutMs); }
bool panelHidden(DWORD timeoutMs = 2500);

// The panel's lamps, a lock key each, left to right, beside their captions:
// 375 twips square, 720 twips from the top, by their left edges.
struct Lamp {
  WORD key;
  const char* caption;
  int leftTwips;
};
constexpr Lamp kLamps[] = {{VK_NUMLOCK, "Num", 1200}, {VK_CAPITAL, "Caps", 2160}, {VK_SCROLL, "Scroll", 3120}};

// The centre of a lock key's lamp on the screen, and its colour there as 0xRRGGBB.
POINT lampCentre(WORD key);
std::uint32_t lampColour(WORD key);
constexpr std::uint32_t kLampOn = 0x00FF00;   // green
constexpr std::uint32_t kLampOff = 0x808000;  // olive
// The colour a lock key's lamp shows for its toggle state as this thread saw it last.
inline std::uint32_t lampFor(WORD key) { return (GetKeyState(key) & 1) != 0 ? kLampOn : kLampOff; }
// Taps a lock key and checks that the panel shows for its release, with the
// key's lamp green if its toggle is on, olive if off.
bool checkLockKey(WORD key, const std::string& what);

// Whether another program could register the three launch keys now.
bool launchKeysFree();

// A 32-bit field of a process's PEB, by its offset; 0 when it cannot be read.
DWORD pebField(HANDLE process, SIZE_T offset);

// A process's GDI objects, counted in its GDI handle table (Wine keeps
// GetGuiResources as a stub), or -1 when the table cannot be read; and its
// windows, top-level and child, as the count of its USER objects.
int gdiObjects(HANDLE process);
int windowCount(DWORD processId);

// A window's children (the top-level windows when it is null), or those that
// show; and a window's caption.
std::vector<HWND> childWindows(HWND parent, bool visibleOnly = false);
std::string windowText(HWND window);

// Registers a window class of this name, with its window procedure, and
// creates a top-level window of it, the name its caption too.
HWND createWindow(const char* name, WNDPROC proc, DWORD exStyle, DWORD style, RECT at);

// What Wine's Shell_NotifyIcon hands the taskbar as WM_COPYDATA, dwData the
// NIM_ message: the record's fields, then the size of the icon's bitmap,
// then its bits.
struct TrayIconData {
  LONG owner;
  UINT id, flags, callback;
  WCHAR tip[128];
  BYTE balloon[672];  // its state, texts, time-out and flags, and the GUID
  UINT iconWidth, iconHeight, planes, bitsPerPixel;
};
// Each NIM_ message the stand-in taskbar below took, with its data.
inline std::vector<std::pair<DWORD, TrayIconData>> trayRequests;
LRESULT CALLBACK recordTrayRequests(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Ends Wine's shell, which holds the system tray and cannot be started again
// in place, and puts a "Shell_TrayWnd" window of this process there, with
// its window procedure: Wine's Shell_NotifyIcon hands it each icon. Null
// when the shell did not end.
HWND standInTaskbar(WNDPROC proc = recordTrayRequests);

// Wine's system tray window; the notification icons it shows, and a click
// on the first, false when there is none.
inline HWND trayWindow() { return FindWindowA(nullptr, "Wine System Tray"); }
int visibleTrayIcons();
bool clickIcon(int button);

float twipsPerPixel();
int twipsToPixels(int twips);

// One pixel of the screen, as 0xRRGGBB.
std::uint32_t screenColour(POINT at);
std::string hex(std::uint32_t value);

// A folder Windows names by its CSIDL_ number.
std::string knownFolder(int csidl);

// Saves what the X display shows of a window as <folder>\<name>.png. Wine
// cannot read every window back from the screen, so the session script
// takes it from the X server: this leaves a request file and waits for the
// script to answer it.
bool screenshot(HWND window, const std::string& folder, const std::string& name);

// Where the X server shows the visible window with this caption: its
// top-left corner on the screen, asked of the session script as for a
// screenshot. False when no such window shows.
bool xWindowOrigin(const std::string& folder, const std::string& caption, POINT* at);

// Checks that a caption, drawn as Tovix draws its labels (bold "MS Sans
// Serif" of the given points, word-wrapped at the box's width), fits its box
// of width x height twips: not clipped, not wrapped past the box.
bool checkCaptionFits(const std::string& text, int widthTwips, int heightTwips, float points);

// The window the user types into: a plain frame with one edit control.
struct TypingWindow {
  TypingWindow();
  // Brings the window to the foreground with the edit control focused.
  bool takeFocus();
  bool hasFocus() const { return GetForegroundWindow() == frame && GetFocus() == edit; }
  std::string text() const { return windowText(edit); }

  HWND frame;
  HWND edit;
};

}  // namespace e2e
