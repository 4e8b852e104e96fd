#include "platform/system.h"

namespace win {

void startProgram(const std::string& path, const std::string& arguments, const std::string& folder, int showCommand) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION started = {};
  // The path names the file, so Windows searches no folder for it; quoted on
  // the command line, a path with spaces stays one argument.
  std::string line = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);  // CreateProcessA may write to it
  if (!CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &started)) {
    return;
  }
  // Not waited for: both handles go at once, the thread's first.
  const KernelHandle process(started.hProcess);
  const KernelHandle thread(started.hThread);
}

}  // namespace win
