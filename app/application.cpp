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
  panel_.place();
  lightLampsFromKeyboard(panel_);
  hook_.emplace(panel_);
  panel_.show();
}

void Application::Form_QueryUnload() {
  hook_.reset();
}
