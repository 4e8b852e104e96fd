// Starts tovix.exe and checks the notification icon and the launch keys:
// the icon is in the system tray while the program runs; each launch key,
// pressed while another window has the focus, starts exactly its program;
// after the program ends the icon is gone and the keys are free again.
//
// launch_driver <tovix.exe> <launch_recorder.exe> <screenshot folder>
//
// Stand-ins that record how they were started take the places of explorer
// (beside a copy of tovix.exe, where the search for "explorer" looks first),
// the calculator (in the system folder) and the media player (below the
// folder Windows reports for programs).

#include <shlobj.h>

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
};

std::vector<Launch> readLaunches(const std::string& log) {
  std::vector<Launch> launches;
  std::ifstream in(log);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t bar = line.find('|');
    if (bar != std::string::npos) launches.push_back({line.substr(0, bar), line.substr(bar + 1)});
  }
  return launches;
}

bool samePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool install(const std::string& from, const std::string& to) {
  return check(CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE, "stand-in in place: " + to);
}

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

  const std::string tovix = folder + "tovix.exe";
  const std::string explorer = folder + "explorer.exe";
  const std::string calc = std::string(system) + "\\calc.exe";
  const std::string player = playerFolder + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
  const bool ready = install(argv[1], tovix) && install(recorder, explorer) && install(recorder, calc) &&
                     install(recorder, playerFolder + "wmplayer.exe") && install(recorder, playerFolder + "mplayer2.exe");
  if (!ready) return e2e::exitCode();

  e2e::TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  HANDLE process = e2e::startProcess("\"" + tovix + "\"");
  if (!check(process != nullptr, "tovix.exe starts")) return e2e::exitCode();
  // The panel shows once start-up has acquired everything.
  check(e2e::waitFor(e2e::panelVisible, 10000), "the panel shows");

  const bool iconShown = e2e::waitFor([] { return e2e::visibleTrayIcons() == 1; }, 5000);
  check(iconShown, "the icon is in Wine's system tray (" + std::to_string(e2e::visibleTrayIcons()) + " icon)");
  check(!e2e::launchKeysFree(), "the three launch keys are taken while Tovix runs");

  const struct {
    WORD vk;
    const char* key;
    std::string program;
    std::string commandLine;  // empty: only needs to hold the My Computer folder
  } keys[] = {
      {0xB6, "My Computer key", explorer, ""},
      {0xB7, "Calculator key", calc, "calc"},
      {0xB5, "media key", player, "\"" + player + "\""},
  };
  std::size_t expected = 0;
  for (const auto& key : keys) {
    e2e::tapKeys({key.vk});
    ++expected;
    const bool started = e2e::waitFor([&] { return readLaunches(log).size() >= expected; }, 5000);
    if (!check(started, std::string(key.key) + " starts a program")) continue;
    const Launch launch = readLaunches(log)[expected - 1];
    std::printf("%s started %s as [%s]\n", key.key, launch.program.c_str(), launch.commandLine.c_str());
    check(samePath(launch.program, key.program), std::string(key.key) + " starts " + key.program);
    if (key.commandLine.empty()) {
      check(launch.commandLine.find(kMyComputer) != std::string::npos,
            std::string(key.key) + " asks explorer for the My Computer folder");
    } else {
      check(launch.commandLine == key.commandLine, std::string(key.key) + " command line is " + key.commandLine);
    }
    check(target.hasFocus(), std::string(key.key) + ": the typing window keeps the focus");
  }
  check(readLaunches(log).size() == expected, "nothing else was started");

  check(e2e::closeTovix(process), "tovix.exe ends with exit code 0 when closed");
  check(e2e::waitFor([] { return e2e::visibleTrayIcons() == 0; }, 5000), "the icon is gone from the system tray");
  check(e2e::launchKeysFree(), "the three launch keys can be registered by another program");
  return e2e::exitCode();
}
