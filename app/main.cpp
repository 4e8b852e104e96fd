#include "app/application.h"
#include "platform/system.h"

// A GUI-subsystem program; the MinGW start-up code calls main without a
// console. It runs until neither the panel nor the About window is open.
int main() {
  win::restrictDllSearchToSystem();
  Application app;
  return app.startUp() ? app.run() : 0;
}
