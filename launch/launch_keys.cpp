#include "launch/launch_keys.h"

#include "platform/system.h"

namespace {

OSVERSIONINFOA windowsVersion() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) version = {};
  return version;
}

// A folder Windows reports, without a trailing backslash; empty when it
// reports none.
std::string folder(UINT(WINAPI* report)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  const UINT length = report(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// Windows' own programs are named by their full paths, so no file that
// happens to lie in Tovix's folder or the current one is started, and they
// start in the system folder rather than wherever Tovix was started from.
// Explorer opens My Computer from its argument itself: no shell extension
// runs in Tovix, and so no COM is needed for it.
void start(UINT virtualKey) {
  const std::string windows = folder(GetSystemWindowsDirectoryA);
  const std::string system = folder(GetSystemDirectoryA);
  if (windows.empty() || system.empty()) return;
  const bool myComputer = virtualKey == VK_LAUNCH_APP1;
  const std::string program = myComputer                     ? windows + "\\explorer.exe"
                              : virtualKey == VK_LAUNCH_APP2 ? system + "\\calc.exe"
                                                             : mediaPlayerPath();
  win::startProgram(program, myComputer ? kMyComputer : "", system, SW_SHOWNORMAL);
}

// Windows 7 and later can send a held key's hot key once (MOD_NOREPEAT,
// beyond the Windows 2000 headers); older versions know no such flag, and
// one that refuses it takes the key without it.
constexpr UINT kModNoRepeat = 0x4000;

}  // namespace

// The atoms' names are the ones the program's first versions used: a hot key
// is held under its atom, which outlives the program, and another program
// or an older copy may look the keys up by them. The id is the atom widened
// with its sign, as the first versions did; a key whose atom could not be
// added stays unclaimed, rather than sharing the id 0 with the others.
LaunchHotKeys::LaunchHotKeys(HWND panel)
    : panel_(panel), keys_{{"Bexil", VK_LAUNCH_APP1}, {"Bexil1", VK_LAUNCH_APP2}, {"Bexil2", VK_LAUNCH_MEDIA_SELECT}} {
  const OSVERSIONINFOA version = windowsVersion();
  const bool noRepeat = version.dwMajorVersion > 6 || (version.dwMajorVersion == 6 && version.dwMinorVersion >= 1);
  for (Key& key : keys_) {
    key.id = static_cast<SHORT>(GlobalAddAtomA(key.atomName));
    if (key.id == 0) continue;
    if (!noRepeat || !RegisterHotKey(panel, key.id, kModNoRepeat, key.virtualKey)) {
      RegisterHotKey(panel, key.id, 0, key.virtualKey);
    }
  }
}

LaunchHotKeys::~LaunchHotKeys() {
  for (const Key& key : keys_) {
    if (key.id != 0) UnregisterHotKey(panel_, key.id);
  }
}

void LaunchHotKeys::keyEvent(DWORD virtualKey, bool released) {
  for (Key& key : keys_) {
    if (key.virtualKey != virtualKey) continue;
    key.pressed = key.pressed || (!released && !key.held);
    key.held = !released;
  }
}

void LaunchHotKeys::watchPresses(bool watching) {
  watching_ = watching;
  for (Key& key : keys_) key.held = key.pressed = false;
}

// A press counts once, however many hot keys its repeats bring. A hot key
// the hook saw no press for counts while its key is down: the hook misses
// the keys typed into an elevated program, and Windows drops a hook that
// once answered too slowly. One posted by another program while the key is
// up starts nothing. Each start runs on a thread of its own: starting a
// program can take long (shell extensions, a virus scanner), and this
// thread also serves the keyboard hook.
void LaunchHotKeys::launch(int hotKeyId) {
  Key* key = nullptr;
  for (Key& candidate : keys_) {
    if (candidate.id != 0 && candidate.id == hotKeyId) key = &candidate;
  }
  if (key == nullptr) return;
  if (watching_) {
    const bool down = (GetAsyncKeyState(static_cast<int>(key->virtualKey)) & 0x8000) != 0;
    if (!down) key->held = false;  // released, though the hook may not have said so
    const bool pressed = key->pressed || (!key->held && down);
    key->pressed = false;
    if (!pressed) return;
  }
  if (key->starting->exchange(true)) return;
  const bool started = win::inBackground([starting = key->starting, virtualKey = key->virtualKey] {
    start(virtualKey);
    *starting = false;
  });
  if (!started) *key->starting = false;
}

std::string mediaPlayerPath() {
  const OSVERSIONINFOA version = windowsVersion();
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
  char path[MAX_PATH] = {};
  const bool known = SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, path));
  std::string programs = known && path[0] != '\0' ? path : "C:\\Program Files";
  if (programs.back() != '\\') programs += '\\';
  return programs + "Windows Media Player\\" + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
}
