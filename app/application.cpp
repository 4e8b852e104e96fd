#include "app/application.h"

#include "indicator/lamps.h"
#include "platform/toolkit.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"

// Without SWP_NOACTIVATE the call would also activate the panel and take the
// focus from whatever the user is typing into.
void KeepOnTop(Form1& panel) {
  win::SetWindowPos(panel.hwnd(), win::HWND_TOPMOST, 0, 0, 0, 0,
                    win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

Application::Application() {
  panel_.form().onCloseRequest = [this] {
    Form_QueryUnload();
    tk::quit(0);
  };
}

void Application::Form_Load() {
  KeepOnTop(panel_);
  if (!trayIcon_) trayIcon_.emplace(panel_.Picture1.hwnd(), win::WM_MOUSEMOVE, panel_.form().icon(), panel_.Text1.text());
  panel_.place();
  hotKeys_.emplace(panel_);
  windowProc_.emplace(panel_);
  lightLampsFromKeyboard(panel_);
  hook_.emplace(panel_);
  panel_.show();
}

void Application::Form_QueryUnload() {
  hook_.reset();
  trayIcon_.reset();
  windowProc_.reset();
  hotKeys_.reset();
}
