#pragma once

// A fake of Windows for the host tests. It keeps what Windows would hold
// for the program (windows, timers, hooks, hot keys, notification icons,
// messages, programs started) and what a user would meet, which is what the
// tests check; acquisitions and releases also land in one ordered log, for
// the few orders the program promises.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win_api.h"

namespace fake {

struct Text {
  std::string text;
  RECT box;
  int fontHeight;
};

struct Window {
  std::string className = {}, caption = {};
  HWND parent = nullptr;
  RECT frame = {};                                             // on the screen, in pixels
  bool visible = false, minimized = false, activated = false;  // activated: ever shown or moved with the activation
  WNDPROC proc = nullptr;
  // By its last WM_PAINT: the lamps with their fill, the texts with their font.
  std::vector<std::pair<RECT, COLORREF>> ellipses = {};
  std::vector<Text> texts = {};
};

struct Desktop {
  std::map<std::string, WNDCLASSA> classes;
  std::map<HWND, Window> windows;
  std::set<HWND> topmost;
  HWND foreground = nullptr, focus = nullptr, foregroundAtMenu = nullptr;
  POINT menuAt = {};
  DWORD now = 0xFFFFF000;                                              // GetTickCount's, a few seconds before it wraps
  std::map<std::pair<HWND, UINT_PTR>, std::pair<UINT, DWORD>> timers;  // interval, when due
  int timersSet = 0;                                                   // SetTimer calls
  std::set<HHOOK> hooks;
  std::vector<std::tuple<HHOOK, int, WPARAM, LPARAM>> passedOn;   // to the next hook
  std::map<std::pair<HWND, int>, std::pair<UINT, UINT>> hotKeys;  // modifiers, virtual key
  std::map<std::pair<DWORD, DWORD>, std::vector<BYTE>> tray;      // each icon's record, by window and id
  std::map<HICON, int> iconImages;                                // the program's icon images held, by size
  std::map<HGDIOBJ, int> fonts;                                   // held, by height
  std::vector<MSG> queue, sent;                                   // posted and not yet handled; sent with a timeout
  bool quit = false, markHeld = false;
  int openDCs = 0;
  // The last menu tracked, the message boxes shown ("caption: text"), the
  // log, and what Windows would refuse: releasing what is not held.
  std::vector<std::string> menu, messageBoxes, log, faults;
  // "verb program parameters | folder | show command", and whether off the hook's thread.
  std::vector<std::pair<std::string, bool>> started;
  std::vector<std::function<void()>> heldJobs;  // background jobs held back
};
inline Desktop desktop;

struct Answers {
  LRESULT nextHookResult = 0;
  BYTE keyboard[256] = {};
  std::map<int, SHORT> keyStates;
  std::set<int> keysDown;
  std::map<std::string, ATOM> atoms = {{"Bexil", 0xC001}, {"Bexil1", 0xC002}, {"Bexil2", 0xC003}};
  // noRepeatRefused: RegisterHotKey as before Windows 7.
  bool hookRefused = false, versionKnown = true, noRepeatRefused = false;
  DWORD majorVersion = 6, minorVersion = 1;
  std::string programFiles = "C:\\Program Files", windowsFolder = "C:\\WINDOWS", systemFolder = "C:\\WINDOWS\\system32";
  // markTaken: the running mark's name is held by another program; the
  // wait runs whileWaiting, as if it took that long.
  bool markTaken = false, handOverAnswered = true;
  std::function<void()> whileWaiting;
  int dpi = 96, menuChoice = 0;  // menuChoice: the menu item's id the user clicks; 0: none
  RECT screen = {0, 0, 1024, 768}, workArea = {0, 0, 1024, 768};
  bool threadsStart = true, holdJobs = false;  // holdJobs: background jobs wait for runHeldJobs()
  std::function<void()> whileStarting;         // runs inside each start of a program
};
inline Answers answers;

// Clears the desktop and the answers.
void reset();
// Handles what is waiting in the message queue.
void dispatch();
// Lets time pass: each timer fires whenever its interval has passed.
void advance(DWORD ms);
// Runs the background jobs held back, each on a thread of its own.
void runHeldJobs();

}  // namespace fake
