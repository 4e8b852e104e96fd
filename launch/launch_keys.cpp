#include "launch/launch_keys.h"

#include "indicator/form1.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

std::int32_t atomMyComputer = 0;
std::int32_t atomCalculator = 0;
std::int32_t atomMediaPlayer = 0;

namespace {

std::int32_t addAtom(const char* name) {
  return static_cast<std::int16_t>(win::GlobalAddAtomA(name));
}

const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

}  // namespace

LaunchHotKeys::LaunchHotKeys(Form1& panel) : panel_(panel.hwnd()) {
  atomMyComputer = addAtom("Bexil");
  atomCalculator = addAtom("Bexil1");
  atomMediaPlayer = addAtom("Bexil2");
  win::RegisterHotKey(panel_, atomMyComputer, 0, win::VK_LAUNCH_APP1);
  win::RegisterHotKey(panel_, atomCalculator, 0, win::VK_LAUNCH_APP2);
  win::RegisterHotKey(panel_, atomMediaPlayer, 0, win::VK_LAUNCH_MEDIA_SELECT);
}

LaunchHotKeys::~LaunchHotKeys() {
  win::UnregisterHotKey(panel_, atomMyComputer);
  win::UnregisterHotKey(panel_, atomCalculator);
  win::UnregisterHotKey(panel_, atomMediaPlayer);
}

void launch(std::int32_t hotKeyId, win::Handle panel) {
  if (hotKeyId == atomMyComputer) {
    win::ShellExecuteA(panel, "open", "explorer", kMyComputer, nullptr, win::SW_SHOWNORMAL);
  } else if (hotKeyId == atomCalculator) {
    tk::shell("calc", win::SW_SHOWNORMAL);
  } else if (hotKeyId == atomMediaPlayer) {
    tk::shell(mediaPlayerCommandLine(), win::SW_SHOWNORMAL);
  }
}

std::string mediaPlayerCommandLine() {
  win::OSVERSIONINFO version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!win::GetVersionExA(version)) version = {};
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;

  std::string programs = win::SHGetFolderPathA(win::CSIDL_PROGRAM_FILES);
  if (programs.empty()) programs = "C:\\Program Files";
  if (programs.back() != '\\') programs += '\\';
  // Quoted: the path has spaces, and unquoted Windows would first try to
  // start "C:\Program.exe".
  return "\"" + programs + "Windows Media Player\\" + (windows2000 ? "mplayer2.exe" : "wmplayer.exe") + "\"";
}
