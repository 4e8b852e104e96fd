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

// Names of the global atoms whose values serve as the keys' hot-key ids.
const char kMyComputerAtom[] = "Bexil";
const char kCalculatorAtom[] = "Bexil1";
const char kMediaPlayerAtom[] = "Bexil2";

}  // namespace

LaunchHotKeys::LaunchHotKeys(Form1& panel) : panel_(panel.hwnd()) {
  atomMyComputer = addAtom(kMyComputerAtom);
  atomCalculator = addAtom(kCalculatorAtom);
  atomMediaPlayer = addAtom(kMediaPlayerAtom);
  win::RegisterHotKey(panel_, atomMyComputer, 0, win::VK_LAUNCH_APP1);
  win::RegisterHotKey(panel_, atomCalculator, 0, win::VK_LAUNCH_APP2);
  win::RegisterHotKey(panel_, atomMediaPlayer, 0, win::VK_LAUNCH_MEDIA_SELECT);
}

LaunchHotKeys::~LaunchHotKeys() {
  win::UnregisterHotKey(panel_, atomMyComputer);
  win::UnregisterHotKey(panel_, atomCalculator);
  win::UnregisterHotKey(panel_, atomMediaPlayer);
}

// Each launch runs on a thread of its own: starting a program can take long
// (shell extensions, a virus scanner), and this thread also serves the
// keyboard hook. Windows' own programs are named by their full paths, so no
// file that happens to lie in Tovix's folder or the current one is started.
void launch(std::int32_t hotKeyId, win::Handle panel) {
  if (hotKeyId == atomMyComputer) {
    tk::inBackground([panel] {
      const std::string windows = win::GetSystemWindowsDirectoryA();
      if (windows.empty()) return;
      const std::string explorer = windows + "\\explorer.exe";
      win::ShellExecuteA(panel, "open", explorer.c_str(), kMyComputer, nullptr, win::SW_SHOWNORMAL);
    });
  } else if (hotKeyId == atomCalculator) {
    tk::inBackground([] {
      const std::string system = win::GetSystemDirectoryA();
      if (!system.empty()) tk::startProgram(system + "\\calc.exe", win::SW_SHOWNORMAL);
    });
  } else if (hotKeyId == atomMediaPlayer) {
    tk::inBackground([] { tk::startProgram(mediaPlayerPath(), win::SW_SHOWNORMAL); });
  }
}

std::string mediaPlayerPath() {
  win::OSVERSIONINFO version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!win::GetVersionExA(version)) version = {};
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;

  std::string programs = win::SHGetFolderPathA(win::CSIDL_PROGRAM_FILES);
  if (programs.empty()) programs = "C:\\Program Files";
  if (programs.back() != '\\') programs += '\\';
  return programs + "Windows Media Player\\" + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
}
