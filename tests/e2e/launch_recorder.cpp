// Stands in for explorer, calc and the media player in the launch test:
// appends "<its own path>|<its command line>|<its current folder>" to the
// file named by TOVIX_LAUNCH_LOG and ends.

#include <windows.h>

#include <cstdio>

int main() {
  char log[MAX_PATH] = {}, self[MAX_PATH] = {}, folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("TOVIX_LAUNCH_LOG", log, sizeof log) == 0) return 1;
  GetModuleFileNameA(nullptr, self, sizeof self);
  GetCurrentDirectoryA(sizeof folder, folder);
  FILE* out = std::fopen(log, "a");
  if (out == nullptr) return 1;
  std::fprintf(out, "%s|%s|%s\n", self, GetCommandLineA(), folder);
  return std::fclose(out) == 0 ? 0 : 1;
}
