// Installs Tovix silently with its installer, as a user without
// administrator rights would, checks what it put in place, starts the
// installed program, installs again over it and checks that the new copy
// runs in its place, then uninstalls silently and checks that the running
// copy ended and nothing is left. Then again with tovix.exe held open: the
// uninstaller leaves it and stays listed until a second run can remove it.
//
// installer_driver <tovix-setup.exe> <screenshot folder>

#include "driver_support.h"

#include <shlobj.h>

using namespace e2e;

namespace {

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovix";

bool registered() {
  HKEY key = nullptr;
  const bool open = RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (open) RegCloseKey(key);
  return open;
}

// A value of the uninstall entry, of a type RegGetValue's flags name.
bool listed(const char* name, DWORD type, void* data, DWORD size) {
  return RegGetValueA(HKEY_CURRENT_USER, kUninstallKey, name, type, nullptr, data, &size) == ERROR_SUCCESS;
}

// Runs a command line to its end: its exit code, STILL_ACTIVE if it did not
// end in time; with the process's id where asked for.
DWORD run(const std::string& commandLine, DWORD timeoutMs, DWORD* processId = nullptr) {
  const Handle process(startProcess(commandLine));
  if (processId != nullptr) *processId = GetProcessId(process.get());
  return waitForExit(process.get(), timeoutMs);
}

// The uninstaller returns at once and goes on from a copy of itself in the
// temporary folder, its child: true once such a copy was found and ended.
bool copyEnded(DWORD uninstallerId, DWORD timeoutMs) {
  bool ended = false;
  for (const DWORD child : childProcesses(uninstallerId)) {
    const Handle copy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, child));
    ended = copy != nullptr && waitForExit(copy.get(), timeoutMs) != STILL_ACTIVE;
  }
  return ended;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usage("installer_driver <tovix-setup.exe> <screenshot folder>");
  const std::string installer = "\"" + std::string(argv[1]) + "\" /S";
  const std::string installDir = knownFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tovix";
  const std::string program = installDir + "\\tovix.exe";
  const std::string uninstaller = "\"" + installDir + "\\uninstall.exe\" /S";
  const std::string menu = knownFolder(CSIDL_PROGRAMS) + "\\Tovix\\";
  const std::vector<std::string> installed = {program, installDir + "\\README.txt", installDir + "\\uninstall.exe",
                                              menu + "Tovix.lnk", knownFolder(CSIDL_STARTUP) + "\\Tovix.lnk"};

  // C:\Tovix: a folder every local user may change.
  check(run(installer + " /D=C:\\Tovix", 60000) == 2 && !exists("C:\\Tovix\\tovix.exe"),
        "the installer refuses a folder outside the user's profile");
  check(run(installer, 60000) == 0, "the installer runs silently and succeeds");
  for (const std::string& file : installed) check(exists(file), "installed: " + file);
  check(registered(), "listed for removal under HKCU");
  char publisher[32] = {};
  DWORD kib = 0;
  WIN32_FILE_ATTRIBUTE_DATA exe = {};
  GetFileAttributesExA(program.c_str(), GetFileExInfoStandard, &exe);
  check(listed("Publisher", RRF_RT_REG_SZ, publisher, sizeof publisher) &&
            std::string(publisher) == "Tovix developers" &&
            listed("EstimatedSize", RRF_RT_REG_DWORD, &kib, sizeof kib) && kib >= exe.nFileSizeLow / 1024 && kib < 1024,
        "listed with its publisher and its size in KiB, tovix.exe's at least");

  const Tovix tovix(program);
  check(tovix.started, "the installed program runs");

  // An upgrade: the running copy ends and the one installed runs in its place.
  DWORD newCopyId = 0;
  const auto newCopyRuns = [&] {
    GetWindowThreadProcessId(panel(), &newCopyId);
    return newCopyId != 0 && newCopyId != GetProcessId(tovix.process());
  };
  check(run(installer, 60000) == 0 && waitForExit(tovix.process(), 5000) != STILL_ACTIVE && waitFor(newCopyRuns, 10000),
        "installed over the running copy, which ends, the new copy runs in its place");
  const Handle newCopy(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, newCopyId));

  check(run(uninstaller, 30000) == 0, "the uninstaller starts");
  // It goes on from a copy of itself in the temporary folder.
  const auto allRemoved = [&] {
    return std::none_of(installed.begin(), installed.end(), exists) && !exists(installDir) && !registered();
  };
  check(waitFor(allRemoved, 30000), "the uninstaller removes every file, shortcut, folder and its registry key");
  check(waitForExit(newCopy.get(), 5000) != STILL_ACTIVE, "the running copy was ended first");

  // Held open without delete sharing, as a copy that never closes holds it.
  check(run(installer, 60000) == 0, "the installer runs again");
  HANDLE held = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  check(held != INVALID_HANDLE_VALUE, "tovix.exe is held open");
  DWORD uninstallerId = 0;
  check(run(uninstaller, 30000, &uninstallerId) == 0 && copyEnded(uninstallerId, 60000),
        "the uninstaller ends with tovix.exe in use");
  check(exists(program) && exists(installed[2]) && exists(menu + "Uninstall Tovix.lnk") && registered(),
        "tovix.exe in use keeps its uninstaller, its shortcut and its registry key");
  CloseHandle(held);
  check(run(uninstaller, 30000) == 0 && waitFor(allRemoved, 30000),
        "once tovix.exe is free, uninstalling again removes everything");
  return exitCode();
}
