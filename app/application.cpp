#include "app/application.h"

#include "indicator/lamps.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"

// Without SWP_NOACTIVATE the call would also activate the panel and take the
// focus from whatever the user is typing into.
void KeepOnTop(IndicatorPanel& panel) {
  win::SetWindowPos(panel.hwnd(), win::HWND_TOPMOST, 0, 0, 0, 0,
                    win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

namespace {
constexpr unsigned kHandOverTimeoutMs = 1000;
// Ample for a copy that is exiting to finish letting go of what it holds.
constexpr unsigned kEndingCopyTimeoutMs = 3000;

// What a second copy, or a copy that is ending, puts before its panel's
// caption, so that a copy looking for the running one's panel by its
// caption passes it by.
const char kAsideCaptionPrefix[] = "Bexil's ";

// Returns the caption the panel had.
std::string stepAside(tk::Form& panel) {
  const std::string caption = panel.caption();
  panel.setCaption(kAsideCaptionPrefix + caption);
  return caption;
}
}  // namespace

bool ActivatePreviousInstance(IndicatorPanel& form, tk::InstanceMarker& marker) {
  if (!marker.previousInstance()) return false;
  const std::string oldCaption = stepAside(form.form());
  // By class too: any program's window can carry the caption.
  const win::Handle previous = win::FindWindowA(tk::kFormClass, oldCaption.c_str());
  std::int32_t zero = 0;
  // A panel whose thread has stopped answering holds this copy up no longer
  // than the wait below.
  if (previous != 0 && win::SendMessageTimeoutA(previous, win::WM_SETFOCUS, 0, reinterpret_cast<win::LParam>(&zero),
                                                win::SMTO_ABORTIFHUNG, kHandOverTimeoutMs)) {
    return true;
  }
  // No panel answered: the other copy is ending, and it lets go of its
  // running mark last of all, or it has stopped answering. Once the mark is
  // free this copy runs in its place.
  if (!marker.waitForPreviousInstance(kEndingCopyTimeoutMs)) return true;
  form.form().setCaption(oldCaption);
  return false;
}

Application::Application()
    : tray_(panel_, [this]() -> AboutWindow& { return aboutWindow(); }, [this] { unloadPanel(); }) {
  panel_.form().onCloseRequest = [this] { unloadPanel(); };
  // A restarted taskbar has lost every notification icon.
  panel_.form().onTaskbarCreated = [this] {
    if (trayIcon_) trayIcon_->restore();
  };
}

bool Application::startUp() {
  KeepOnTop(panel_);
  if (ActivatePreviousInstance(panel_, marker_)) return false;
  if (!trayIcon_) {
    trayIcon_.emplace(trayIcons_, panel_.trayReceiver.hwnd(), win::WM_MOUSEMOVE, panel_.form().icon(),
                      panel_.tipText.text());
  }
  panel_.place();
  hotKeys_.emplace(panel_);
  lightLampsFromKeyboard(panel_);
  hook_.emplace(panel_, *hotKeys_);
  if (!hook_->installed()) tk::messageBox("Failed to install low-level keyboard hook.", "Tovix");
  resumeWatch_.emplace(panel_.form(), [this] { reinstallHook(); });
  panel_.show();
  // The hide timer has run since the panel was created, and a message box
  // above may have outlasted its first tick: the panel gets its full second.
  panel_.armHideTimer();
  return true;
}

void Application::shutDown() {
  hook_.reset();
  trayIcon_.reset();
  hotKeys_.reset();
  resumeWatch_.reset();
}

void Application::reinstallHook() {
  hook_.reset();
  hook_.emplace(panel_, *hotKeys_);
  lightLampsFromToggles(panel_);
}

AboutWindow& Application::aboutWindow() {
  if (about() == nullptr) about_ = std::make_unique<AboutWindow>();
  return *about_;
}

void Application::unloadPanel() {
  // First of all: letting go of the icon can wait on the taskbar, and
  // meanwhile a copy starting would hand over to this one.
  stepAside(panel_.form());
  shutDown();
  panel_.form().unload();
}
