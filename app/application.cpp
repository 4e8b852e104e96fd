#include "app/application.h"

#include "indicator/lamps.h"
#include "platform/window.h"
#include "tray/tray_menu.h"

namespace {

// Makes the panel a topmost window. Without SWP_NOACTIVATE the call would
// also activate it and take the focus from whatever the user is typing into.
void KeepOnTop(HWND panel) { SetWindowPos(panel, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }

constexpr UINT kHandOverTimeoutMs = 1000;
// Ample for a copy that is exiting to finish letting go of what it holds.
constexpr unsigned kEndingCopyTimeoutMs = 3000;

// What a second copy, or a copy that is ending, puts as its panel's
// caption ("Bexil's " before it), so that a copy looking for the running
// one's panel by its caption passes it by. The first versions did so, and
// copies of them look for a running panel the same way.
const char kAsideCaption[] = "Bexil's Tovix";

// True when another copy of Tovix runs: it then hands that copy's panel the
// focus message and this copy must end.
bool ActivatePreviousInstance(HWND panel, win::RunningMark& mark) {
  if (!mark.previousInstance()) return false;
  // Before the search, which would otherwise find this copy's own panel.
  SetWindowTextA(panel, kAsideCaption);
  // By class too: any program's window can carry the caption.
  const HWND previous = FindWindowA(IndicatorPanel::kClassName, IndicatorPanel::kCaption);
  LONG zero = 0;
  ULONG_PTR result = 0;
  // A panel whose thread has stopped answering holds this copy up no longer
  // than the wait below.
  if (previous != nullptr && SendMessageTimeoutA(previous, WM_SETFOCUS, 0, reinterpret_cast<LPARAM>(&zero),
                                                 SMTO_ABORTIFHUNG, kHandOverTimeoutMs, &result) != 0) {
    return true;
  }
  // No panel answered: the other copy is ending, and it lets go of its
  // running mark last of all, or it has stopped answering. Once the mark is
  // free this copy runs in its place.
  if (!mark.waitForPreviousInstance(kEndingCopyTimeoutMs)) return true;
  SetWindowTextA(panel, IndicatorPanel::kCaption);
  return false;
}

}  // namespace

bool Application::startUp() {
  const HWND panel = panel_.hwnd();
  if (panel == nullptr || receiver_.hwnd() == nullptr) return false;  // no window to run with
  KeepOnTop(panel);
  if (ActivatePreviousInstance(panel, mark_)) return false;
  trayIcon_.emplace(receiver_.hwnd(), TrayReceiver::kCallbackMessage, IndicatorPanel::kCaption);
  panel_.place();
  hotKeys_.emplace(panel);
  lightLampsFromKeyboard(panel_);
  hook_.emplace(panel_, *hotKeys_);
  if (!hook_->installed()) MessageBoxA(nullptr, "Failed to install low-level keyboard hook.", "Tovix", MB_OK);
  sessionWatch_.emplace(panel);
  panel_.show();
  return true;
}

void Application::onCloseRequest() {
  // First of all: letting go of the icon can wait on the taskbar, and
  // meanwhile a copy starting would hand over to this one.
  SetWindowTextA(panel_.hwnd(), kAsideCaption);
  hook_.reset();
  trayIcon_.reset();
  hotKeys_.reset();
  sessionWatch_.reset();
  // The receiver first: a child window the panel took along would not say
  // it had gone.
  receiver_.destroy();
  panel_.destroy();
}

void Application::onHotKey(int id) {
  // Every hot key sets the panel back from minimized or maximized, whatever
  // its id.
  panel_.restore();
  if (hotKeys_) hotKeys_->launch(id);
}

void Application::onTaskbarCreated() {
  if (trayIcon_) trayIcon_->restore();
}

void Application::onResume() {
  if (!hook_) return;
  hook_.reset();
  hook_.emplace(panel_, *hotKeys_);
  lightLampsFromToggles(panel_);
}

void Application::onDestroyed() {
  if (panel_.hwnd() == nullptr && aboutWindow() == nullptr) PostQuitMessage(0);
}

void Application::onTrayLeftClick() { panel_.show(); }

void Application::onTrayRightClick() {
  switch (trackTrayMenu(panel_.hwnd())) {
    case TrayChoice::About:
      showAbout();
      break;
    case TrayChoice::Exit:
      onCloseRequest();
      break;
    case TrayChoice::None:
      break;
  }
}

// One About window at a time: "About" again centres and shows the same one.
void Application::showAbout() {
  if (aboutWindow() == nullptr) about_.emplace(static_cast<AboutWindow::Events&>(*this));
  panel_.hide();
  about_->showCentred();
}

void Application::onAboutClosed() { onDestroyed(); }
