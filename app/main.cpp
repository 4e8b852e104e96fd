#include "app/application.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"

// A GUI-subsystem program; the MinGW start-up code calls main without a
// console. It runs until neither the panel nor the About window is loaded.
int main() {
  win::RestrictDllSearchToSystem();
  Application app;
  if (!app.startUp()) return 0;
  return tk::runMessageLoop();
}
