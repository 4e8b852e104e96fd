#include "app/application.h"
#include "platform/system.h"

// A GUI-subsystem program; the MinGW start-up code calls main without a
// console. It runs until neither the panel nor the About window is open.
int main() {
  win::restrictDllSearchToSystem();
  Application app;
  if (!app.startUp()) return 0;
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The program's timers have no callbacks: a WM_TIMER naming one was
    // posted by someone else, and dispatching it would call that address.
    if (msg.message == WM_TIMER && msg.lParam != 0) continue;
    // Tab, Enter and the rest of the About window's keyboard.
    const HWND about = app.aboutWindow();
    if (about != nullptr && IsDialogMessageA(about, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
