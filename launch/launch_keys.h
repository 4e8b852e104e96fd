#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

class Form1;

// The hot-key ids: global atoms, widened to 32 bits with their sign.
extern std::int32_t atomMyComputer;
extern std::int32_t atomCalculator;
extern std::int32_t atomMediaPlayer;

// Claims the My Computer, Calculator and media launch keys as hot keys of
// the panel, and gives them back when destroyed. The atoms stay.
class LaunchHotKeys {
 public:
  explicit LaunchHotKeys(Form1& panel);
  ~LaunchHotKeys();
  LaunchHotKeys(const LaunchHotKeys&) = delete;
  LaunchHotKeys& operator=(const LaunchHotKeys&) = delete;

 private:
  win::Handle panel_;
};

// Carries out the launch key of a hot-key id; any other id does nothing.
void launch(std::int32_t hotKeyId, win::Handle panel);

// The media player's full path below the folder Windows reports for
// programs: mplayer2.exe on Windows 2000, wmplayer.exe on any other version
// or when the version cannot be read.
std::string mediaPlayerPath();
