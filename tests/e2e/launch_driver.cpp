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

#include <cstdio>
#include <fstream>
#include <string>

#include "driver_support.h"

#include <shlobj.h>
#include <tlhelp32.h>

using namespace e2e;

namespace {

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
  for (Launch l;
       std::getline(in, l.program, '|') && std::getline(in, l.commandLine, '|') && std::getline(in, l.folder);) {
    launches.push_back(l);
  }
  return launches;
}

bool samePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

int threadCount(DWORD processId) {
  int threads = 0;
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
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
void holdKey(BYTE vk, int presses, DWORD intervalMs) {
  for (int i = 0; i < presses; ++i) {
    const DWORD sent = GetTickCount();
    keybd_event(vk, 0, 0, 0);
    waitFor([&] { return GetTickCount() - sent >= intervalMs; }, intervalMs);
  }
  keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

// Wine's explorer.exe moved aside and a stand-in put in its place for as
// long as this lives. Wine's runs on as the desktop from its own image.
struct ExplorerStandIn {
  ExplorerStandIn(const std::string& explorer, const std::string& standIn)
      : explorer(explorer),
        ready(MoveFileExA(explorer.c_str(), (explorer + ".wine").c_str(), MOVEFILE_REPLACE_EXISTING) &&
              CopyFileA(standIn.c_str(), explorer.c_str(), FALSE)) {}
  ~ExplorerStandIn() {
    DeleteFileA(explorer.c_str());
    MoveFileExA((explorer + ".wine").c_str(), explorer.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  const std::string explorer;
  const bool ready;
};

}  // namespace

int main(int argc, char** argv) {
  if (!usage(argc == 4, "launch_driver <tovix.exe> <launch_recorder.exe> <screenshot folder>")) return 2;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "tovix-launch\\";
  const std::string current = folder + "current\\";
  const std::string log = folder + "launches.log";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(current.c_str(), nullptr);
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("TOVIX_LAUNCH_LOG", log.c_str());

  const std::string system = knownFolder(CSIDL_SYSTEM);
  const std::string programs = knownFolder(CSIDL_PROGRAM_FILES);
  const std::string playerFolder = programs + "\\Windows Media Player\\";
  CreateDirectoryA(playerFolder.c_str(), nullptr);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  const bool windows2000 = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
  std::printf("Windows %lu.%lu, programs in %s\n", version.dwMajorVersion, version.dwMinorVersion, programs.c_str());

  const std::string tovixExe = folder + "tovix.exe";
  const std::string explorer = knownFolder(CSIDL_WINDOWS) + "\\explorer.exe";
  const std::string calc = system + "\\calc.exe";
  const std::string player = playerFolder + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
  const std::string planted[] = {folder + "explorer.exe", folder + "calc.exe", current + "explorer.exe",
                                 current + "calc.exe"};
  const ExplorerStandIn explorerStandIn(explorer, argv[2]);
  bool ready = check(explorerStandIn.ready, "stand-in in place: " + explorer);
  // A copy of tovix.exe, the rest the recorder.
  for (const std::string& to : {tovixExe, calc, playerFolder + "wmplayer.exe", playerFolder + "mplayer2.exe",
                                planted[0], planted[1], planted[2], planted[3]}) {
    const char* from = to == tovixExe ? argv[1] : argv[2];
    ready = ready && check(CopyFileA(from, to.c_str(), FALSE) != FALSE, "stand-in in place: " + to);
  }
  if (!ready) return exitCode();

  TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  // The panel shows once start-up has acquired everything.
  const Tovix tovix(tovixExe, current.c_str());
  if (!check(tovix.started(), "tovix.exe starts")) return exitCode();
  const DWORD tovixId = GetProcessId(tovix.process());
  panelHidden();
  const int idleThreads = threadCount(tovixId);

  const bool iconShown = waitFor([] { return visibleTrayIcons() == 1; }, 5000);
  check(iconShown, "the icon is in Wine's system tray (" + std::to_string(visibleTrayIcons()) + " icon)");
  check(!launchKeysFree(), "the three launch keys are taken while Tovix runs");

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
    tapKeys({VK_CAPITAL, VK_CAPITAL});
    const DWORD since = GetTickCount();
    const bool shown = panelShown(5000);
    const DWORD took = GetTickCount() - since;
    const bool quiet =
        waitFor([&] { return threadCount(tovixId) <= idleThreads && childProcesses(tovixId).empty(); }, 10000);
    return shown && quiet && panelHidden() ? took : ~0ul;
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
    tapKeys({key.vk, static_cast<WORD>(key.typed[0]), static_cast<WORD>(key.typed[1])});
    for (const char* c = key.typed; *c != 0; ++c) typed += static_cast<char>(*c - 'A' + 'a');
    const bool arrived = waitFor([&] { return target.text() == typed; }, 3000);
    check(arrived, std::string(key.key) + ": the keys typed after it arrive in order (\"" + target.text() + "\")");
    const bool started = waitFor([&] { return count(key.program) == 1; }, 5000);
    if (!check(started, std::string(key.key) + " starts " + key.program)) continue;
    Launch launch;
    for (const Launch& each : readLaunches(log)) {
      if (samePath(each.program, key.program)) launch = each;
    }
    std::printf("%s started %s as [%s] in %s\n", key.key, launch.program.c_str(), launch.commandLine.c_str(),
                launch.folder.c_str());
    check(launch.commandLine == key.commandLine, std::string(key.key) + " command line is " + key.commandLine);
    check(samePath(launch.folder, system) || samePath(launch.folder, system + "\\"),
          std::string(key.key) + ": the program starts in the system folder");
    check(target.hasFocus(), std::string(key.key) + ": the typing window keeps the focus");
  }
  check(settle() != ~0ul && readLaunches(log).size() == 3, "nothing else was started");

  holdKey(0xB7, 15, 30);
  const bool settled = settle() != ~0ul;
  const int held = count(calc) - 1;
  check(settled && held == 1, "the Calculator key held down starts one program (" + std::to_string(held) + ")");
  tapKeys({0xB7});
  check(waitFor([&] { return count(calc) == 3; }, 5000) && settle() != ~0ul && count(calc) == 3,
        "a separate tap starts another");

  // Anyone can look up the atoms and post the hot keys.
  for (int i = 0; i < 200; ++i) {
    const char* atom = i % 3 == 0 ? "Bexil" : i % 3 == 1 ? "Bexil1" : "Bexil2";
    const SHORT id = static_cast<SHORT>(GlobalFindAtomA(atom));
    PostMessageA(panel(), WM_HOTKEY, static_cast<WPARAM>(static_cast<LONG>(id)), 0);
  }
  const DWORD shownAfter = settle();
  std::printf("after 200 posted hot keys the panel showed for Caps Lock in %lu ms\n", shownAfter);
  // The hook saw no press for them, and the keys are up.
  check(count(explorer) == 1 && count(calc) == 3 && count(player) == 1 && running(tovix.process()),
        "200 posted hot keys start no program and leave Tovix running");
  check(shownAfter <= 2000, "and the panel still shows for Caps Lock");

  int plantedRuns = 0;
  for (const std::string& program : planted) plantedRuns += count(program);
  check(plantedRuns == 0, "no planted explorer.exe or calc.exe ran");

  check(visibleTrayIcons() == 1, "the desktop's tray is still there");
  check(tovix.close(), "tovix.exe ends with exit code 0 when closed");
  check(waitFor([] { return visibleTrayIcons() == 0; }, 5000), "the icon is gone from the system tray");
  check(launchKeysFree(), "the three launch keys can be registered by another program");
  return exitCode();
}
