#pragma once

// What the end-to-end drivers share: checks that report and count, waits on
// a condition with a deadline while pumping this thread's messages, starting
// and ending processes, injecting keys and reading the screen.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
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

// Pumps messages until cond() holds or timeoutMs passes; true if it held.
bool waitFor(const std::function<bool()>& cond, DWORD timeoutMs);
// The last WM_KEYUP the pump saw, by virtual key.
WPARAM lastKeyUp();

// A kernel handle, closed when it goes.
struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Starts a command line in a current folder (the driver's own when null).
HANDLE startProcess(const std::string& commandLine, const char* currentFolder = nullptr);
bool running(HANDLE process);
// Waits for a process to end, pumping messages; true when it did, with its
// exit code where asked for.
bool waitForExit(HANDLE process, DWORD timeoutMs, DWORD* exitCode = nullptr);
// The processes a process started that still run.
std::vector<DWORD> childProcesses(DWORD parentId);
// Closes Tovix's panel as any close request does and waits up to five
// seconds for the process to end; true when it ended with exit code 0.
bool closeTovix(HANDLE process);

// A tovix.exe this driver started, in a current folder (the driver's own
// when null), waited for until its panel shows as it does at start-up.
// When it goes, it is closed as close() closes it, or else ended: no copy
// outlives its driver to meet the next.
class Tovix {
 public:
  explicit Tovix(const std::string& exe, const char* currentFolder = nullptr);
  ~Tovix();

  // Whether the process started and its panel showed.
  bool started() const { return started_; }
  HANDLE process() const { return process_.get(); }
  bool close() const { return closeTovix(process()); }

 private:
  Handle process_;
  bool started_;
};

// Presses and releases each key, all in one injected batch.
void tapKeys(const std::vector<WORD>& keys);

// Moves the mouse to screen coordinates and clicks: button 1 left, 2 right.
void click(POINT at, int button);
POINT centreOf(HWND window);

// Tovix's panel, found by its class and caption, and whether it shows.
HWND panel();
bool panelVisible();

// Whether the panel's frame touches the screen's right edge and ends 500
// twips above its bottom edge.
bool panelPlacedBottomRight(HWND window);

// The panel's lamps, a lock key each, left to right, beside their captions:
// 375 twips square, 720 twips from the top, by their left edges.
struct Lamp {
  WORD key;
  const char* caption;
  int leftTwips;
};
constexpr Lamp kLamps[] = {{VK_NUMLOCK, "Num", 1200}, {VK_CAPITAL, "Caps", 2160}, {VK_SCROLL, "Scroll", 3120}};

// The colour at the centre of a lock key's lamp on the screen, as 0xRRGGBB.
std::uint32_t lampColour(WORD key);
constexpr std::uint32_t kLampOn = 0x00FF00;   // green
constexpr std::uint32_t kLampOff = 0x808000;  // olive

// Whether another program could register the three launch keys now.
bool launchKeysFree();

// A 32-bit field of a process's PEB, by its offset; 0 when it cannot be read.
DWORD pebField(HANDLE process, SIZE_T offset);

// A process's GDI objects, counted in its GDI handle table (Wine keeps
// GetGuiResources as a stub), or -1 when the table cannot be read; and its
// windows, top-level and child, as the count of its USER objects.
int gdiObjects(HANDLE process);
int windowCount(DWORD processId);

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

// Notification icons shown in Wine's system tray window, and the first.
int visibleTrayIcons();
HWND firstTrayIcon();

float twipsPerPixel();
int twipsToPixels(int twips);

// A copy of a screen rectangle, 32-bit BGRX, rows from the top.
struct Capture {
  RECT rect{};
  std::vector<std::uint32_t> pixels;

  // Colour at screen coordinates, as 0x00RRGGBB.
  std::uint32_t at(int x, int y) const;
};
Capture captureScreen(const RECT& rect);
// One pixel of the screen, as 0xRRGGBB.
std::uint32_t screenColour(POINT at);
// What draw() paints into a fresh bitmap of the rectangle's size;
// the capture's coordinates are the rectangle's.
Capture captureDrawing(const RECT& rect, const std::function<void(HDC)>& draw);

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

std::string hex(std::uint32_t value);

// The window the user types into: a plain frame with one edit control.
struct TypingWindow {
  TypingWindow();
  // Brings the window to the foreground with the edit control focused.
  bool takeFocus();
  bool hasFocus() const;
  std::string text() const;

  HWND frame;
  HWND edit;
};

}  // namespace e2e
