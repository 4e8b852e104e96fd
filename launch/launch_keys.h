#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/win_api.h"

// Claims the My Computer, Calculator and media launch keys as hot keys of
// the panel's window until destroyed (the atoms stay), and starts each
// key's program: one per press, and never a second of one key while the
// first is still being started.
class LaunchHotKeys {
 public:
  explicit LaunchHotKeys(HWND panel);
  ~LaunchHotKeys();
  LaunchHotKeys(const LaunchHotKeys&) = delete;
  LaunchHotKeys& operator=(const LaunchHotKeys&) = delete;

  // Every key event the keyboard hook sees, while it is installed. A key
  // held down repeats its press, and before Windows 7 each repeat is a hot
  // key of its own: only the first press since the key was released counts.
  void keyEvent(DWORD virtualKey, bool released);
  // Whether the hook reports key events; without it every hot key counts as
  // a press, as one does whose key the hook did not see go down.
  void watchPresses(bool watching);

  // Carries out the launch key of a hot-key id; any other id does nothing.
  void launch(int hotKeyId);

 private:
  struct Key {
    const char* atomName;
    UINT virtualKey;
    int id = 0;  // 0: unclaimed
    bool held = false;
    bool pressed = false;  // a press that has not started its program yet
    // Set while the key's program is being started, on a thread of its own.
    std::shared_ptr<std::atomic<bool>> starting{new std::atomic<bool>(false)};
  };
  HWND panel_;
  Key keys_[3];
  bool watching_ = false;
};

// The media player's full path below the folder Windows reports for
// programs: mplayer2.exe on Windows 2000, wmplayer.exe on any other version
// or when the version cannot be read.
std::string mediaPlayerPath();
