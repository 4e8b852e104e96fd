#include "app/application.h"

#include "platform/newer_windows.h"
#include "tray/tray_menu.h"

namespace {

// The panel's caption while this copy is not the one that runs: a copy
// looking for the running one's panel by its caption passes it by. The
// first versions put "Bexil's " before it, and copies of them look for a
// running panel the same way.
const char kAsideCaption[] = "Bexil's Tovix";

constexpr UINT kHandOverTimeoutMs = 1000;
// Ample for a copy that is ending to let go of what it holds, or for copies
// started side by side to take their turns.
constexpr unsigned kMarkTimeoutMs = 3000;
// A panel's answer to the hand-over while its copy is starting or ending;
// one that runs answers 0, as every version has.
constexpr LRESULT kHandOverRefused = 1;

// True when the running copy's panel, found by class and caption (any
// program's window can carry the caption), took the hand-over. A panel whose
// thread has stopped answering holds this copy up no longer than the wait.
bool handedOver() {
  const HWND running = FindWindowA(IndicatorPanel::kClassName, IndicatorPanel::kCaption);
  LONG zero = 0;
  DWORD_PTR answer = kHandOverRefused;
  return running != nullptr &&
         SendMessageTimeoutA(running, WM_SETFOCUS, 0, reinterpret_cast<LPARAM>(&zero), SMTO_ABORTIFHUNG,
                             kHandOverTimeoutMs, &answer) != 0 &&
         static_cast<LRESULT>(answer) != kHandOverRefused;
}

}  // namespace

Application::Application() : taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")), panel_(*this, kAsideCaption) {}

bool Application::startUp() {
  const HWND panel = panel_.hwnd();
  if (panel == nullptr) return false;  // no window to run with
  // Topmost. Without SWP_NOACTIVATE the call would also activate the panel
  // and take the focus from whatever the user is typing into.
  SetWindowPos(panel, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // One copy runs: the one whose panel a new copy finds takes the hand-over.
  // The mark only sets the turns: a copy that starts beside this one, or one
  // that is ending and has put its panel aside, holds it meanwhile. This copy
  // may have been closed while it waited.
  if (handedOver()) return false;
  mark_.acquire(kMarkTimeoutMs);
  if (handedOver() || state_ == State::Ending) return false;
  SetWindowTextA(panel, IndicatorPanel::kCaption);
  win::allowFromAnyProcess(panel, taskbarCreated_);
  trayIcon_.emplace(*this, panel, IndicatorPanel::kCaption, panel_.dpi());
  panel_.place();
  hotKeys_.emplace(panel);
  sessionWatch_.emplace(panel);
  BYTE keyboard[256] = {};
  GetKeyboardState(keyboard);
  for (const LampKey& key : kLampKeys) panel_.setLamp(key.lamp, startUpColor(keyboard[key.virtualKey]));
  hook_.emplace(panel_, *hotKeys_);
  state_ = State::Running;
  if (!hook_->installed()) MessageBoxA(nullptr, "Failed to install low-level keyboard hook.", "Tovix", MB_OK);
  if (state_ != State::Running) return false;  // closed while the message showed
  panel_.show();
  return true;
}

int Application::run() {
  MSG msg = {};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The program's timers have no callbacks: a WM_TIMER naming one was
    // posted by someone else, and dispatching it would call that address.
    if (msg.message == WM_TIMER && msg.lParam != 0) continue;
    // Tab, Enter, Esc and the rest of the About window's keyboard.
    const HWND about = aboutWindow();
    if (about != nullptr && IsDialogMessageA(about, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

LRESULT Application::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCDESTROY) endIfNoWindowLeft();  // the window's handle is gone already
  if (hwnd != panel_.hwnd()) return onTrayMessage(hwnd, msg, wParam, lParam);
  // Zero where registering failed: that is WM_NULL, which anyone may send.
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (trayIcon_) trayIcon_->restore(panel_.dpi());
    return 0;
  }
  switch (msg) {
    case WM_HOTKEY:
      // Every hot key sets the panel back from minimized or maximized,
      // whatever its id.
      panel_.restore();
      if (hotKeys_) hotKeys_->launch(static_cast<int>(wParam));
      return 0;
    case WM_SETFOCUS:
      // Another copy's hand-over, sent from its thread: the user started
      // Tovix again. The focus itself, which the menu's foreground brings,
      // shows nothing.
      if (!InSendMessage()) break;
      if (state_ != State::Running) return kHandOverRefused;
      panel_.show();
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMECRITICAL) {
        onResume();
      }
      return TRUE;
    case win::kWmWtsSessionChange:
      if (wParam == win::kWtsSessionUnlock) onResume();
      return 0;
    case win::kWmDpiChanged:
      // The panel lays itself out anew; the icon takes the image for the new size.
      panel_.onMessage(msg, wParam, lParam);
      if (trayIcon_) trayIcon_->restore(panel_.dpi());
      return 0;
    case WM_ENDSESSION:  // with FALSE, the session goes on
    case WM_CLOSE:       // Alt+F4 too
      if (msg == WM_CLOSE || wParam != FALSE) close();
      return 0;
  }
  if (const auto result = panel_.onMessage(msg, wParam, lParam)) return *result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Only releases act: a click is a press and a release, a double click two.
// A close request, from whichever program, leaves the receiver be.
LRESULT Application::onTrayMessage(HWND receiver, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE) return 0;
  if (msg != TrayIcon::kCallbackMessage) return DefWindowProcA(receiver, msg, wParam, lParam);
  if (lParam == WM_LBUTTONUP) panel_.show();
  const TrayChoice choice = lParam == WM_RBUTTONUP ? trackTrayMenu(panel_.hwnd()) : TrayChoice::None;
  if (choice == TrayChoice::About) showAbout();
  if (choice == TrayChoice::Exit) close();
  return 0;
}

void Application::close() {
  // Once: letting go of the icon can wait on the taskbar, and meanwhile any
  // program can ask again.
  if (state_ == State::Ending) return;
  state_ = State::Ending;
  // First of all, so that a copy starting meanwhile waits for this one to end.
  SetWindowTextA(panel_.hwnd(), kAsideCaption);
  hook_.reset();
  trayIcon_.reset();
  hotKeys_.reset();
  sessionWatch_.reset();
  panel_.destroy();
}

void Application::onResume() {
  if (state_ != State::Running) return;
  hook_.reset();
  hook_.emplace(panel_, *hotKeys_);
}

// One About window at a time: "About" again centres and shows the same one.
void Application::showAbout() {
  if (aboutWindow() == nullptr) about_.emplace([this] { endIfNoWindowLeft(); });
  panel_.hide();
  about_->showCentred();
}

void Application::endIfNoWindowLeft() {
  if (state_ == State::Ending && panel_.hwnd() == nullptr && aboutWindow() == nullptr) PostQuitMessage(0);
}
