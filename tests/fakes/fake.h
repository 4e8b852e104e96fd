#pragma once

// Stand-ins for the Windows functions and the window toolkit. They keep the
// state Windows would (the desktop below, and each form's), which is what
// tests check; every call also lands in one ordered log, for the few tests
// of an order the program defines.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "platform/win_types.h"

namespace fake {

// A call made on a thread other than the test's is logged as "worker: Call(...)".
std::vector<std::string>& calls();
// Whether calls are logged: on unless a test turns it off, for instance to
// count what the program itself allocates.
bool& logging();

// What the fake Windows functions answer.
struct Answers {
  win::Handle hookHandle = 0x4000;  // 0: the system refuses the hook
  win::LResult nextHookResult = 0;
  std::uint8_t keyboard[256] = {};
  std::map<int, std::int16_t> keyStates;
  std::set<int> keysDown;  // what KeyIsDown reports
  std::map<std::string, std::uint16_t> atoms = {{"Bexil", 0xC001}, {"Bexil1", 0xC002}, {"Bexil2", 0xC003}};
  bool versionKnown = true;
  std::uint32_t majorVersion = 6;
  std::uint32_t minorVersion = 1;
  std::string programFiles = "C:\\Program Files";
  std::string windowsFolder = "C:\\WINDOWS";
  std::string systemFolder = "C:\\WINDOWS\\system32";
  // The running copy's panel, as FindWindowA finds it by class and caption.
  win::Handle otherPanel = 0x5550;
  // What the toolkit answers.
  bool previousInstance = false;
  bool handOverAnswered = true;       // the other copy's panel handles WM_SETFOCUS
  bool previousInstanceEnds = false;  // ...or, when it does not, ends meanwhile
  bool noRepeatRefused = false;  // RegisterHotKey as before Windows 7
  bool threadsStart = true;
  bool holdJobs = false;  // background jobs wait for runHeldJobs()
  int menuChoice = -1;  // the popup menu item the user clicks, from the top; -1: none
};
Answers& answers();

// What Windows holds on the program's behalf, and what the user meets.
struct Desktop {
  struct Hook {
    int type;
    win::Handle instance;
    std::uint32_t thread;
  };
  std::map<win::Handle, Hook> hooks;
  // Each keyboard event handed on to the next hook.
  struct PassedOn {
    win::Handle hook;
    int nCode;
    win::WParam wParam;
    win::LParam lParam;
    bool operator==(const PassedOn&) const = default;
  };
  std::vector<PassedOn> passedOn;
  struct HotKey {
    std::uint32_t modifiers;
    std::uint32_t virtualKey;
    bool operator==(const HotKey&) const = default;
  };
  std::map<std::pair<win::Handle, std::int32_t>, HotKey> hotKeys;
  // The notification area: each icon's record, by window and id.
  std::map<std::pair<win::Handle, std::uint32_t>, std::vector<std::uint8_t>> tray;
  struct Started {
    std::string verb;  // ShellExecute's; empty for a process started directly
    std::string program;
    std::string parameters;
    std::string folder;
    int show;
    bool onWorker;  // off the thread that serves the hook
    bool operator==(const Started&) const = default;
  };
  std::vector<Started> started;
  struct Message {
    win::Handle hwnd;
    std::uint32_t message;
    unsigned flags = 0;  // SendMessageTimeout's, with its timeout
    unsigned timeoutMs = 0;
  };
  std::vector<Message> posted;
  std::vector<Message> sent;
  std::set<win::Handle> topmost;
  win::Handle foreground = 0;
  // Message boxes shown, as "title: text".
  std::vector<std::string> messageBoxes;
  bool messageLoopEnded = false;
  // What Windows would refuse or a user would notice: releasing what is not
  // held, activating a window that must not take the focus.
  std::vector<std::string> faults;
};
Desktop& desktop();

struct Screen {
  float widthTwips = 1024 * 15.0f;
  float heightTwips = 768 * 15.0f;
  float twipsPerPixel = 15.0f;
};
Screen& screen();

// The frame a fake form adds around its client area, in pixels.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 22;

struct FormState {
  tk::FormStyle style = tk::FormStyle::ToolPanel;
  std::string caption;
  bool loaded = true;
  bool visible = false;
  bool minimized = false;
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
  int clientWidth = 0;
  int clientHeight = 0;
  struct Label {
    tk::TwipsRect bounds;
    std::string caption;
    tk::Font font;
  };
  std::map<std::string, Label> labels;
  std::map<std::string, tk::Colour> shapes;
  std::map<std::string, tk::TwipsRect> shapeBounds;
  // The captions of the popup menu last shown on this form, top to bottom.
  std::vector<std::string> menu;
  unsigned menuFlags = 0;
  win::Handle foregroundAtMenu = 0;
  std::map<std::string, unsigned> timerIntervals;
};
FormState& form(win::Handle hwnd);

// The program's icon as the fake toolkit hands it out.
constexpr win::Handle kProgramIcon = 0x7700;

// Handles what is waiting in the message queue: a form shown "soon" shows.
void handleMessages();

// Clicks the button with this caption on a form.
void click(win::Handle hwnd, const std::string& caption);

// Lets time pass: each enabled timer fires whenever its interval has passed
// since it was last armed or fired, as Windows' timers do.
void advance(unsigned ms);

// Runs the background jobs held back, each on a thread of its own.
void runHeldJobs();
std::vector<std::function<void()>>& heldJobs();

// Fires a timer of a form as its interval would.
void tick(win::Handle hwnd, const std::string& timer);

// Windows resuming from sleep, as a form's ResumeWatch sees it; false when
// nothing watches.
bool resume(win::Handle hwnd);

// Clears the log, the answers, the desktop and the held jobs; forms stay as
// they are.
void reset();

}  // namespace fake
