// Installs Tovix silently with its installer, as a user without
// administrator rights would, checks what it put in place, starts the
// installed program, then uninstalls silently and checks that the running
// copy ended and nothing is left.
//
// installer_driver <tovix-setup.exe> <screenshot folder>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_support.h"

#include <shlobj.h>

namespace {

using e2e::check;

std::string folder(int csidl) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovix";

bool registered() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool run(const std::string& commandLine, DWORD timeoutMs) {
  HANDLE process = e2e::startProcess(commandLine);
  DWORD code = 1;
  const bool ended = process != nullptr && e2e::waitForExit(process, timeoutMs, &code);
  if (process != nullptr) CloseHandle(process);
  return ended && code == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: installer_driver <tovix-setup.exe> <screenshot folder>\n");
    return 2;
  }
  const std::string installDir = folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tovix";
  const std::string program = installDir + "\\tovix.exe";
  const std::string uninstaller = installDir + "\\uninstall.exe";
  const std::vector<std::string> installed = {
      program,
      installDir + "\\README.txt",
      uninstaller,
      folder(CSIDL_PROGRAMS) + "\\Tovix\\Tovix.lnk",
      folder(CSIDL_STARTUP) + "\\Tovix.lnk",
  };

  check(run("\"" + std::string(argv[1]) + "\" /S", 60000), "the installer runs silently and succeeds");
  for (const std::string& file : installed) check(exists(file), "installed: " + file);
  check(registered(), "listed for removal under HKCU");

  HANDLE tovix = e2e::startProcess("\"" + program + "\"");
  check(tovix != nullptr && e2e::waitFor(e2e::panelVisible, 10000), "the installed program runs");

  check(run("\"" + uninstaller + "\" /S", 30000), "the uninstaller starts");
  // It goes on from a copy of itself in the temporary folder.
  const bool removed = e2e::waitFor(
      [&] {
        for (const std::string& file : installed) {
          if (exists(file)) return false;
        }
        return !exists(installDir) && !registered();
      },
      30000);
  check(removed, "the uninstaller removes every file, shortcut, folder and its registry key");
  DWORD code = 1;
  check(tovix != nullptr && e2e::waitForExit(tovix, 5000, &code), "the running copy was ended first");
  if (tovix != nullptr) CloseHandle(tovix);
  return e2e::exitCode();
}
