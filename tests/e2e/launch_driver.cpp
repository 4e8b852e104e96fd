// Starts tovix.exe and checks the notification icon and the launch keys:
// the icon is in the system tray while the program runs; each launch key,
// pressed while another window has the focus, starts exactly Windows' own
// program, and keys typed right after it arrive in order; after the program
// ends the icon is gone and the keys are free again.
//
// launch_driver <tovix.exe> <launch_recorder.exe> <screenshot folder>
//
// Stand-ins that record how they were started take the places of the
// calculator (in the system folder) and the media player (below the folder
// Windows reports for programs). Planted ones named explorer.exe and
// calc.exe lie beside a copy of tovix.exe and in its current folder, where a
// search for those names would look first: they must never run. Wine's own
// explorer.exe is its desktop and cannot be replaced: its start is seen in
// the process list.

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
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

// The command line a running process was started with, read from its
// process parameters; and the program it names first. Empty when they
// cannot be read.
Launch processLaunch(DWORD processId) {
  Launch launch;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (process == nullptr) return launch;
  using QueryFn = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  // 32-bit layouts: the PEB's parameters at 0x10, their command line at 0x40.
  struct BasicInformation {
    LONG exitStatus;
    DWORD peb;
    DWORD rest[4];
  } basic = {};
  struct Text {
    USHORT length;
    USHORT maximumLength;
    DWORD buffer;
  } text = {};
  DWORD parameters = 0;
  if (query != nullptr && query(process, 0, &basic, sizeof basic, nullptr) == 0 &&
      ReadProcessMemory(process, reinterpret_cast<void*>(basic.peb + 0x10), &parameters, sizeof parameters, nullptr) &&
      ReadProcessMemory(process, reinterpret_cast<void*>(parameters + 0x40), &text, sizeof text, nullptr)) {
    std::wstring line(text.length / 2, L'\0');
    if (ReadProcessMemory(process, reinterpret_cast<void*>(text.buffer), &line[0], text.length, nullptr)) {
      for (wchar_t c : line) launch.commandLine += static_cast<char>(c);
    }
  }
  CloseHandle(process);
  const std::string& line = launch.commandLine;
  if (!line.empty() && line[0] == '"') {
    launch.program = line.substr(1, line.find('"', 1) - 1);
  } else {
    launch.program = line.substr(0, line.find(' '));
  }
  return launch;
}

// Every running process named explorer.exe, by id.
std::vector<DWORD> explorers() {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
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

  char windows[MAX_PATH];
  GetSystemWindowsDirectoryA(windows, sizeof windows);
  const std::string current = folder + "current\\";
  CreateDirectoryA(current.c_str(), nullptr);
  const std::string tovix = folder + "tovix.exe";
  const std::string explorer = std::string(windows) + "\\explorer.exe";
  const std::string calc = std::string(system) + "\\calc.exe";
  const std::string player = playerFolder + (windows2000 ? "mplayer2.exe" : "wmplayer.exe");
  bool ready = install(argv[1], tovix) && install(recorder, calc) && install(recorder, playerFolder + "wmplayer.exe") &&
               install(recorder, playerFolder + "mplayer2.exe");
  for (const std::string& planted : {folder, current}) {
    ready = ready && install(recorder, planted + "explorer.exe") && install(recorder, planted + "calc.exe");
  }
  if (!ready) return e2e::exitCode();

  e2e::TypingWindow target;
  check(target.takeFocus(), "the typing window has the focus");

  HANDLE process = e2e::startProcess("\"" + tovix + "\"", current.c_str());
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
    const char* typed;        // letters typed right after the launch key
  } keys[] = {
      {0xB6, "My Computer key", explorer, "", "AB"},
      {0xB7, "Calculator key", calc, "\"" + calc + "\"", "CD"},
      {0xB5, "media key", player, "\"" + player + "\"", "EF"},
  };
  std::string typed;
  std::size_t expected = 0;
  for (const auto& key : keys) {
    const std::vector<DWORD> before = explorers();
    e2e::tapKeys({key.vk, static_cast<WORD>(key.typed[0]), static_cast<WORD>(key.typed[1])});
    for (const char* c = key.typed; *c != 0; ++c) typed += static_cast<char>(*c - 'A' + 'a');
    const bool arrived = e2e::waitFor([&] { return target.text() == typed; }, 3000);
    check(arrived, std::string(key.key) + ": the keys typed after it arrive in order (\"" + target.text() + "\")");
    Launch launch;
    if (key.program == explorer) {
      // Wine's explorer cannot open that folder and ends soon: catch it while it runs.
      const bool started = e2e::waitFor(
          [&] {
            for (DWORD id : explorers()) {
              if (std::find(before.begin(), before.end(), id) != before.end()) continue;
              launch = processLaunch(id);
              if (launch.commandLine.find(kMyComputer) != std::string::npos) return true;
            }
            return false;
          },
          5000);
      if (!check(started, std::string(key.key) + " starts a program")) continue;
    } else {
      ++expected;
      const bool started = e2e::waitFor([&] { return readLaunches(log).size() >= expected; }, 5000);
      if (!check(started, std::string(key.key) + " starts a program")) continue;
      launch = readLaunches(log)[expected - 1];
    }
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
  bool plantedRan = false;
  for (const Launch& launch : readLaunches(log)) {
    for (const std::string& planted : {folder, current}) {
      plantedRan = plantedRan || samePath(launch.program, planted + "explorer.exe") ||
                   samePath(launch.program, planted + "calc.exe");
    }
  }
  check(!plantedRan, "no planted explorer.exe or calc.exe ran");
  check(readLaunches(log).size() == expected, "nothing else was started");

  check(e2e::closeTovix(process), "tovix.exe ends with exit code 0 when closed");
  check(e2e::waitFor([] { return e2e::visibleTrayIcons() == 0; }, 5000), "the icon is gone from the system tray");
  check(e2e::launchKeysFree(), "the three launch keys can be registered by another program");
  return e2e::exitCode();
}
