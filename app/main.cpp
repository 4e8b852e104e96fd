#include "app/application.h"
#include "platform/toolkit.h"

// A GUI-subsystem program; the MinGW start-up code calls main without a
// console.
int main() {
  Application app;
  app.Form_Load();
  return tk::runMessageLoop();
}
