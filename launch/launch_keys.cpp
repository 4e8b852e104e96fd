#include "launch/launch_keys.h"

#include "indicator/indicator_panel.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"
#include "platform/win_records.h"

namespace {

std::int32_t addAtom(const char* name) {
  return static_cast<std::int16_t>(win::GlobalAddAtomA(name));
}

win::OSVERSIONINFO windowsVersion() {
  win::OSVERSIONINFO version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!win::GetVersionExA(version)) version = {};
  return version;
}

// Windows 7 and later can send a held key's hot key once; older versions
// know no such flag, and one that refuses it takes the key without it.
void registerHotKey(win::Handle panel, std::int32_t id, std::uint32_t virtualKey, bool noRepeat) {
  if (!noRepeat || !win::RegisterHotKey(panel, id, win::MOD_NOREPEAT, virtualKey)) {
    win::RegisterHotKey(panel, id, 0, virtualKey);
  }
}

const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Windows' own programs are named by their full paths, so no file that
// happens to lie in Tovix's folder or the current one is started, and they
// start in the system folder rather than wherever Tovix was started from.
void openMyComputer(win::Handle panel) {
  const std::string windows = win::GetSystemWindowsDirectoryA();
  const std::string system = win::GetSystemDirectoryA();
  if (windows.empty() || system.empty()) return;
  const std::string explorer = windows + "\\explorer.exe";
  win::ShellExecuteA(panel, "open", explorer.c_str(), kMyComputer, system.c_str(), win::SW_SHOWNORMAL);
}

void startCalculator(win::Handle) {
  const std::string system = win::GetSystemDirectoryA();
  if (!system.empty()) tk::startProgram(system + "\\calc.exe", system, win::SW_SHOWNORMAL);
}

void startMediaPlayer(win::Handle) {
  const std::string system = win::GetSystemDirectoryA();
  if (!system.empty()) tk::startProgram(mediaPlayerPath(), system, win::SW_SHOWNORMAL);
}

}  // namespace

LaunchHotKeys::LaunchHotKeys(IndicatorPanel& panel)
    : panel_(panel),
      // The names of the global atoms whose values are the hot-key ids.
      keys_{{"Bexil", win::VK_LAUNCH_APP1, openMyComputer},
            {"Bexil1", win::VK_LAUNCH_APP2, startCalculator},
            {"Bexil2", win::VK_LAUNCH_MEDIA_SELECT, startMediaPlayer}} {
  for (Key& key : keys_) key.id = addAtom(key.atomName);
  const win::OSVERSIONINFO version = windowsVersion();
  const bool noRepeat = version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
  for (const Key& key : keys_) registerHotKey(panel.hwnd(), key.id, key.virtualKey, noRepeat);
  // Every hot key sets the panel back from minimized or maximized, whatever
  // its id.
  panel.form().onHotKey = [this](std::int32_t id) {
    panel_.form().setWindowStateNormal();
    launch(id);
  };
}

LaunchHotKeys::~LaunchHotKeys() {
  panel_.form().onHotKey = nullptr;
  for (const Key& key : keys_) win::UnregisterHotKey(panel_.hwnd(), key.id);
}

void LaunchHotKeys::keyEvent(std::uint32_t virtualKey, bool released) {
  for (Key& key : keys_) {
    if (key.virtualKey != virtualKey) continue;
    if (released) {
      key.held = false;
    } else if (!key.held) {
      key.held = true;
      key.pressed = true;
    }
  }
}

void LaunchHotKeys::watchPresses(bool watching) {
  watching_ = watching;
  for (Key& key : keys_) key.held = key.pressed = false;
}

LaunchHotKeys::Key* LaunchHotKeys::keyFor(std::int32_t hotKeyId) {
  for (Key& key : keys_) {
    if (key.id == hotKeyId) return &key;
  }
  return nullptr;
}

std::int32_t LaunchHotKeys::hotKeyId(std::uint32_t virtualKey) const {
  for (const Key& key : keys_) {
    if (key.virtualKey == virtualKey) return key.id;
  }
  return 0;
}

// A press counts once, however many hot keys its repeats bring. A hot key
// the hook saw no press for counts while its key is down: the hook misses
// the keys typed into an elevated program, and Windows drops a hook that
// once answered too slowly. One posted by another program while the key is
// up starts nothing. Each start runs on a thread of its own: starting a
// program can take long (shell extensions, a virus scanner), and this
// thread also serves the keyboard hook.
void LaunchHotKeys::launch(std::int32_t hotKeyId) {
  Key* key = keyFor(hotKeyId);
  if (key == nullptr) return;
  if (watching_) {
    const bool down = win::KeyIsDown(static_cast<int>(key->virtualKey));
    if (!down) key->held = false;  // released, though the hook may not have said so
    const bool pressed = key->pressed || (!key->held && down);
    key->pressed = false;
    if (!pressed) return;
  }
  if (key->starting->exchange(true)) return;
  const auto starting = key->starting;
  const auto start = key->start;
  const win::Handle panel = panel_.hwnd();
  if (!tk::inBackground([starting, start, panel] {
        start(panel);
        *starting = false;
      })) {
    *starting = false;
  }
}

std::string mediaPlayerPath() {
  const win::OSVERSIONINFO version = windowsVersion();
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;

  std::string programs = win::SHGetFolderPathA(win::CSIDL_PROGRAM_FILES);
  if (programs.empty()) programs = "C:\\Program Files";
  if (programs.back() != '\\') programs += '\\';
  return programs + "Windows Media Player\\" + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
}
