#pragma once

// A fake of Windows for the host tests. It keeps what Windows would hold for
// the program and what a user would meet, which is what the tests check:
// windows with their place and what their last paint drew, timers on a
// clock of its own, hooks, hot keys, the notification icons' records,
// programs started. What Windows would refuse, and a release out of the
// order the program promises (the hook first, the running mark last), land
// in `faults`.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win_api.h"

namespace fake {

struct Window {
  std::string className, caption;
  HWND parent;
  WNDPROC proc;
  RECT frame;  // on the screen, in pixels
  // activated: ever shown or moved with the activation; invalid: to be painted.
  bool visible, minimized = false, activated = false, topmost = false, invalid = false;
  // By its last paint: the ellipses with their fill, the texts ("text, face height[ bold], colour") in their boxes.
  std::vector<std::pair<RECT, COLORREF>> ellipses = {};
  std::vector<std::pair<std::string, RECT>> texts = {};
};

inline struct Desktop {
  std::map<std::string, WNDCLASSA> classes;
  std::map<HWND, Window> windows;
  HWND foreground = nullptr, focus = nullptr, sessionWatched = nullptr;
  DWORD now = 0xFFFFF000;                                              // GetTickCount's, a few seconds before it wraps
  std::map<std::pair<HWND, UINT_PTR>, std::pair<UINT, DWORD>> timers;  // interval, when due
  std::set<HHOOK> hooks;
  std::vector<std::tuple<HHOOK, int, WPARAM, LPARAM>> passedOn;  // to the next hook
  std::map<UINT, std::tuple<HWND, int, UINT>> hotKeys;           // by virtual key: window, id, modifiers
  std::map<std::pair<DWORD, DWORD>, std::vector<BYTE>> tray;     // each icon's record, by window and id
  std::map<HICON, int> iconImages;                               // the program's icon images held, by size
  std::map<HGDIOBJ, std::string> fonts;                          // held
  std::vector<MSG> queue;                                        // posted and not yet handled
  // counting: allocations are counted, as while the keyboard hook runs.
  bool quit = false, markHeld = false, counting = false, fromAnotherThread = false;  // the last: InSendMessage
  int openDCs = 0, allocations = 0;
  // The last menu's items and where it opened, their ids; the message boxes shown ("caption: text").
  std::vector<std::string> menu, messageBoxes, faults;
  std::vector<UINT_PTR> menuIds;
  // "program parameters | folder | show command", and whether off the hook's thread.
  std::vector<std::pair<std::string, bool>> started;
  std::vector<std::function<void()>> heldJobs;  // background jobs held back
  std::set<std::pair<HWND, UINT>> letThrough;   // from programs of a lower integrity level
} desktop;

inline struct Answers {
  LRESULT nextHookResult = 0;
  BYTE keyboard[256] = {};
  std::map<int, SHORT> keyStates;
  std::set<int> keysDown;
  std::map<std::string, ATOM> atoms = {{"Bexil", 0xC001}, {"Bexil1", 0xC002}, {"Bexil2", 0xC003}};
  // noRepeatRefused: RegisterHotKey as before Windows 7.
  bool hookRefused = false, versionKnown = true, noRepeatRefused = false, threadsStart = true, holdJobs = false;
  DWORD majorVersion = 6, minorVersion = 1;
  // menuClick: the menu item the user clicks; none: a click elsewhere.
  std::string programFiles = "C:\\Program Files", windowsFolder = "C:\\WINDOWS", systemFolder = "C:\\WINDOWS\\system32",
              menuClick;
  // markTaken: the running mark's name is held by another program; the
  // wait runs whileWaiting, as if it took that long.
  bool markTaken = false, handOverAnswered = true;
  int dpi = 96;
  // windows10: GetProcAddress finds what Windows 10 adds; the user's notification state then.
  bool windows10 = false;
  int notificationState = 5;  // QUNS_ACCEPTS_NOTIFICATIONS
  int monitorDpi = 96;        // the panel's monitor's, on Windows 10
  RECT screen = {0, 0, 1024, 768}, workArea = {0, 0, 1024, 768};
  // holdJobs: background jobs wait for runHeldJobs(); whileStarting runs inside each start of a program.
  std::function<void()> whileWaiting, whileStarting;
} answers;

// Clears the desktop and the answers.
void reset();
// Handles what is waiting in the message queue, then paints what is to be painted.
void dispatch();
// Lets time pass: each timer fires whenever its interval has passed.
void advance(DWORD ms);
// Runs the background jobs held back, each on a thread of its own.
void runHeldJobs();

}  // namespace fake
