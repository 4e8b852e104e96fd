#pragma once

// The program's own helpers over Windows where one call would not do:
// starting programs, background jobs, the running copy's mark, session
// notices and the notification icon's image. platform/win32 holds them; the
// host tests fake them with Windows.

#include <functional>
#include <string>

#include "platform/handles.h"

namespace win {

// Starts the program at a full path with its arguments, in the given current
// folder, with the given show command, searching nowhere; does not wait for
// it.
void startProgram(const std::string& path, const std::string& arguments, const std::string& folder, int showCommand);

// Runs a job on a short-lived thread of its own; does not wait for it. False
// when no thread could be started: the job is dropped.
bool inBackground(std::function<void()> job);

// A mutex named for the user in the session's own folder of names, taken by
// the copy of the program that runs for all its life: copies starting side
// by side take turns at it, and one that is ending holds it until it has let
// go of everything.
class RunningMark {
 public:
  RunningMark();
  ~RunningMark();

  // Waits up to timeoutMs to hold the mark, meanwhile answering what other
  // programs send this thread's windows. False where the name is held by
  // anything else, an object of another kind or one this user cannot open.
  bool acquire(unsigned timeoutMs);

 private:
  KernelHandle mutex_;
  bool held_ = false;
};

// Unlocks of the user's session, reported to a window as
// WM_WTSSESSION_CHANGE while this lives, where Windows reports them (XP and
// later).
class SessionWatch {
 public:
  explicit SessionWatch(HWND hwnd);
  ~SessionWatch();

 private:
  HWND hwnd_;
  Library api_;  // wtsapi32, while it reports
};

// The program's icon at a small-icon size, for the notification area: the
// image drawn for that size, or one Windows makes from a larger image where
// the screen's scale has none.
Icon smallProgramIcon(int size);

// Lets the program load DLLs from the system folder only, never from the
// current folder or its own, on every Windows version that allows it.
void restrictDllSearchToSystem();

// Windows XP's session notice, beyond the Windows 2000 headers.
constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr WPARAM kWtsSessionUnlock = 0x8;

}  // namespace win
