// Starts tovix.exe and checks the notification icon and the launch keys:
// the icon is in the system tray while the program runs; each launch key,
// pressed while another window has the focus, starts exactly Windows' own
// program in the system folder, and keys typed right after it arrive in
// order; a key held down starts one program, each separate tap one more,
// and a flood of hot-key messages posted by another program starts none
// and leaves the panel working; after the program ends the icon is gone and
// the keys are free again.
//
// launch_driver <tovix.exe> <launch_recorder.exe> <screenshot folder>
//
// Stand-ins that record how they were started take the places of explorer
// (in the Windows folder, for the time of the test: Wine's own explorer,
// asked for a folder, would end the desktop and its tray), the calculator
// (in the system folder) and the media player (below the folder Windows
// reports for programs). Planted ones named explorer.exe and calc.exe lie
// beside a copy of tovix.exe and in its current folder, where a search for
// those names would look first: they must never run.

#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "driver_support.h"

namespace {

using e2e::check;

const char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

struct Launch {
  std::string program;
  std::string commandLine;
  std::string folder;
};

// The recorder's lines: "program|command line|current folder".
std::vector<Launch> readLaunches(const std::string& log) {
  std::vector<Launch> launches;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t bar = line.find('|');
    const std::size_t last = line.rfind('|');
    if (bar == last) continue;
    launches.push_back({line.substr(0, bar), line.substr(bar + 1, last - bar - 1), line.substr(last + 1)});
  }
  return launches;
}

bool samePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool install(const std::string& from, const std::string& to) {
  return check(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE, "stand-in in place: " + to);
}

int threadCount(DWORD processId) {
  int threads = 0;
  const e2e::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 thread = {};
  thread.dwSize = sizeof thread;
  for (BOOL more = Thread32First(snapshot.get(), &thread); more; more = Thread32Next(snapshot.get(), &thread)) {
    threads += thread.th32OwnerProcessID == processId ? 1 : 0;
  }
  return threads;
}

// Holds a key down as a keyboard does: a press, then repeated presses at
// the keyboard's repeat rate, then a release. The interval is the input
// itself, not a wait for an outcome: sent at once, the presses would meet
// a start still in flight rather than a finished one.
void holdKey(WORD vk, int presses, DWORD intervalMs) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  for (int i = 0; i < presses; ++i) {
    const DWORD sent = GetTickCount();
    SendInput(1, &input, sizeof input);
    e2e::waitFor([&] { return GetTickCount() - sent >= intervalMs; }, intervalMs);
  }
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

// Wine's explorer.exe moved aside and a stand-in put in its place for as
// long as this lives. Wine's runs on as the desktop from its own image.
class ExplorerStandIn {
 public:
  ExplorerStandIn(const std::string& explorer, const std::string& standIn)
      : explorer_(explorer), aside_(explorer + ".wine") {
    ready_ = MoveFileExA(explorer_.c_str(), aside_.c_str(), MOVEFILE_REPLACE_EXISTING) &&
             CopyFileA(standIn.c_str(), explorer_.c_str(), FALSE);
  }
  ~ExplorerStandIn() {
    DeleteFileA(explorer_.c_str());
    MoveFileExA(aside_.c_str(), explorer_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  bool ready() const { return ready_; }

 private:
  std::string explorer_;
  std::string aside_;
  bool ready_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: launch_driver <tovix.exe> <launch_recorder.exe> <screenshot folder>\n");
    return 2;
  }
  const std::string recorder = argv[2];

  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "tovix-launch\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string log = folder + "launches.log";
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("TOVIX_LAUNCH_LOG", log.c_str());

  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  char programs[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programs);
  const std::string playerFolder = std::string(programs) + "\\Windows Media Player\\";
  CreateDirectoryA(playerFolder.c_str(), nullptr);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
  std::printf("Windows %lu.%lu, programs in %s\n", version.dwMajorVersion, version.dwMinorVersion, programs);

  char windows[MAX_PATH];
  GetSystemWindowsDirectoryA(windows, sizeof windows);
  const std::string current = folder + "current\\";
  CreateDirectoryA(current.c_str(), nullptr);
  const std::string tovixExe = folder + "tovix.exe";
  const std::string explorer = std::string(windows) + "\\explorer.exe";
  const std::string calc = std::string(system) + "\\calc.exe";
  const std::string player = playerFolder + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
  const ExplorerStandIn explorerStandIn(explorer, recorder);
  bool ready = check(explorerStandIn.ready(), "stand-in in place: " + explorer) && install(argv[1], tovixExe) &&
               install(recorder, calc) && install(recorder, playerFolder + "wmplayer.exe") &&
               install(recorder, playerFolder + "mplayer2.exe");
  for (const std::string& planted : {folder, current}) {
    ready = ready && install(recorder, planted + "explorer.exe") && install(recorder, planted + "calc.exe");
  }
  if (!ready) return e2e::exitCode();

  e2e::TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  // The panel shows once start-up has acquired everything.
  const e2e::Tovix tovix(tovixExe, current.c_str());
  if (!check(tovix.started(), "tovix.exe starts")) return e2e::exitCode();
  const DWORD tovixId = GetProcessId(tovix.process());
  e2e::waitFor([] { return !e2e::panelVisible(); }, 3000);
  const int idleThreads = threadCount(tovixId);

  const bool iconShown = e2e::waitFor([] { return e2e::visibleTrayIcons() == 1; }, 5000);
  check(iconShown, "the icon is in Wine's system tray (" + std::to_string(e2e::visibleTrayIcons()) + " icon)");
  check(!e2e::launchKeysFree(), "the three launch keys are taken while Tovix runs");

  const auto count = [&](const std::string& program) {
    int found = 0;
    for (const Launch& launch : readLaunches(log)) found += samePath(launch.program, program) ? 1 : 0;
    return found;
  };
  // Every hot key sent before is handled once the panel has shown for a lock
  // key pressed after it; then every start they made is over once Tovix is
  // back to its own threads and whatever it started has ended.
  // Returns how long the panel took to show, ~0 when it or the starts did
  // not settle.
  const auto settle = [&] {
    e2e::tapKeys({VK_CAPITAL, VK_CAPITAL});
    const DWORD since = GetTickCount();
    const bool shown = e2e::waitFor(e2e::panelVisible, 5000);
    const DWORD took = GetTickCount() - since;
    const bool quiet = e2e::waitFor(
        [&] { return threadCount(tovixId) <= idleThreads && e2e::childProcesses(tovixId).empty(); }, 10000);
    const bool hidden = e2e::waitFor([] { return !e2e::panelVisible(); }, 3000);
    return shown && quiet && hidden ? took : ~0ul;
  };

  const struct {
    WORD vk;
    const char* key;
    std::string program;
    std::string commandLine;
    const char* typed;  // letters typed right after the launch key
  } keys[] = {
      {0xB6, "My Computer key", explorer, "\"" + explorer + "\" " + kMyComputer, "AB"},
      {0xB7, "Calculator key", calc, "\"" + calc + "\"", "CD"},
      {0xB5, "media key", player, "\"" + player + "\"", "EF"},
  };
  std::string typed;
  for (const auto& key : keys) {
    e2e::tapKeys({key.vk, static_cast<WORD>(key.typed[0]), static_cast<WORD>(key.typed[1])});
    for (const char* c = key.typed; *c != 0; ++c) typed += static_cast<char>(*c - 'A' + 'a');
    const bool arrived = e2e::waitFor([&] { return target.text() == typed; }, 3000);
    check(arrived, std::string(key.key) + ": the keys typed after it arrive in order (\"" + target.text() + "\")");
    const bool started = e2e::waitFor([&] { return count(key.program) == 1; }, 5000);
    if (!check(started, std::string(key.key) + " starts " + key.program)) continue;
    Launch launch;
    for (const Launch& each : readLaunches(log)) {
      if (samePath(each.program, key.program)) launch = each;
    }
    std::printf("%s started %s as [%s] in %s\n", key.key, launch.program.c_str(), launch.commandLine.c_str(),
                launch.folder.c_str());
    check(launch.commandLine == key.commandLine, std::string(key.key) + " command line is " + key.commandLine);
    check(samePath(launch.folder, system) || samePath(launch.folder, std::string(system) + "\\"),
          std::string(key.key) + ": the program starts in the system folder");
    check(target.hasFocus(), std::string(key.key) + ": the typing window keeps the focus");
  }
  check(settle() != ~0ul && readLaunches(log).size() == 3, "nothing else was started");

  holdKey(0xB7, 15, 30);
  const bool settled = settle() != ~0ul;
  const int held = count(calc) - 1;
  check(settled && held == 1, "the Calculator key held down starts one program (" + std::to_string(held) + ")");
  e2e::tapKeys({0xB7});
  check(e2e::waitFor([&] { return count(calc) == 3; }, 5000) && settle() != ~0ul && count(calc) == 3,
        "a separate tap starts another");

  // Anyone can look up the atoms and post the hot keys.
  for (int i = 0; i < 200; ++i) {
    const char* atom = i % 3 == 0 ? "Bexil" : i % 3 == 1 ? "Bexil1" : "Bexil2";
    const SHORT id = static_cast<SHORT>(GlobalFindAtomA(atom));
    PostMessageA(e2e::panel(), WM_HOTKEY, static_cast<WPARAM>(static_cast<LONG>(id)), 0);
  }
  const DWORD shownAfter = settle();
  std::printf("after 200 posted hot keys the panel showed for Caps Lock in %lu ms\n", shownAfter);
  // The hook saw no press for them, and the keys are up.
  check(count(explorer) == 1 && count(calc) == 3 && count(player) == 1 && e2e::running(tovix.process()),
        "200 posted hot keys start no program and leave Tovix running");
  check(shownAfter <= 2000, "and the panel still shows for Caps Lock");

  bool plantedRan = false;
  for (const Launch& launch : readLaunches(log)) {
    for (const std::string& planted : {folder, current}) {
      plantedRan = plantedRan || samePath(launch.program, planted + "explorer.exe") ||
                   samePath(launch.program, planted + "calc.exe");
    }
  }
  check(!plantedRan, "no planted explorer.exe or calc.exe ran");

  check(e2e::visibleTrayIcons() == 1, "the desktop's tray is still there");
  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
  check(e2e::waitFor([] { return e2e::visibleTrayIcons() == 0; }, 5000), "the icon is gone from the system tray");
  check(e2e::launchKeysFree(), "the three launch keys can be registered by another program");
  return e2e::exitCode();
}
