#pragma once

// A fake of Windows for the host tests. It keeps what Windows would hold
// for the program (windows, timers, hooks, hot keys, notification icons,
// menus, messages, programs started) and what a user would meet, which is
// what the tests check; acquisitions and releases also land in one ordered
// log, for the tests of the order the program defines.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win_api.h"

namespace fake {

struct Drawn {
  RECT rect;
  COLORREF fill;     // an ellipse's
  std::string text;  // or a text's
};

struct Window {
  std::string className;
  std::string caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;
  RECT frame = {};  // on the screen, in pixels
  bool visible = false;
  bool minimized = false;
  bool activated = false;  // ever shown or moved with the activation
  bool invalid = false;
  LONG_PTR userData = 0;
  WNDPROC proc = nullptr;
  std::vector<Drawn> drawn;  // by its last WM_PAINT
};

struct Message {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

struct Started {
  std::string verb;  // ShellExecute's; empty for a process started directly
  std::string program;
  std::string parameters;
  std::string folder;
  int show;
  bool onWorker;  // off the thread that serves the hook
  bool operator==(const Started&) const = default;
};

struct Desktop {
  std::map<HWND, Window> windows;
  std::set<HWND> topmost;
  HWND foreground = nullptr;
  HWND focus = nullptr;
  DWORD now = 0xFFFFF000;  // GetTickCount's, a few seconds before it wraps
  struct Timer {
    UINT intervalMs;
    DWORD due;
  };
  std::map<std::pair<HWND, UINT_PTR>, Timer> timers;
  int timersSet = 0;  // SetTimer calls
  std::map<HHOOK, int> hooks;  // by type
  struct PassedOn {
    HHOOK hook;
    int nCode;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const PassedOn&) const = default;
  };
  std::vector<PassedOn> passedOn;
  std::map<std::pair<HWND, int>, std::pair<UINT, UINT>> hotKeys;  // modifiers, virtual key
  std::map<std::pair<DWORD, DWORD>, std::vector<BYTE>> tray;     // each icon's record, by window and id
  std::vector<Message> queue;                                     // posted, not yet handled
  std::vector<Message> sent;                                      // with SendMessageTimeout
  std::vector<std::string> menu;                                  // the last menu tracked
  HWND foregroundAtMenu = nullptr;
  bool nullPostedBeforeMenu = false;
  std::vector<std::string> messageBoxes;  // "caption: text"
  std::vector<Started> started;
  bool quit = false;
  std::vector<std::string> log;
  // What Windows would refuse: releasing what is not held.
  std::vector<std::string> faults;
};
Desktop& desktop();

struct Answers {
  bool hookRefused = false;
  LRESULT nextHookResult = 0;
  BYTE keyboard[256] = {};
  std::map<int, SHORT> keyStates;
  std::set<int> keysDown;
  std::map<std::string, ATOM> atoms = {{"Bexil", 0xC001}, {"Bexil1", 0xC002}, {"Bexil2", 0xC003}};
  bool versionKnown = true;
  DWORD majorVersion = 6;
  DWORD minorVersion = 1;
  bool noRepeatRefused = false;  // RegisterHotKey as before Windows 7
  std::string programFiles = "C:\\Program Files";
  std::string windowsFolder = "C:\\WINDOWS";
  std::string systemFolder = "C:\\WINDOWS\\system32";
  int dpi = 96;
  int screenWidth = 1024;
  int screenHeight = 768;
  bool previousInstance = false;
  bool handOverAnswered = true;       // the other copy's panel handles WM_SETFOCUS
  bool previousInstanceEnds = false;  // ...or, when it does not, ends meanwhile
  int menuChoice = 0;                 // the menu item's id the user clicks; 0: none
  bool threadsStart = true;
  bool holdJobs = false;  // background jobs wait for runHeldJobs()
  std::function<void()> whileStarting;  // runs inside each start of a program
};
Answers& answers();

// Clears the desktop, the answers and the held jobs.
void reset();
// Handles what is waiting in the message queue, then paints what is invalid.
void dispatch();
// Lets time pass: each timer fires whenever its interval has passed.
void advance(DWORD ms);
// Runs the background jobs held back, each on a thread of its own.
void runHeldJobs();
std::vector<std::function<void()>>& heldJobs();
// The newest window of a class, or null.
HWND find(const std::string& className);

}  // namespace fake
