#include "tray/tray_callback.h"

#include <cmath>

#include "app/about_window.h"
#include "indicator/indicator_panel.h"
#include "platform/win_api.h"
#include "platform/win_constants.h"

std::int32_t trayMessageNumber(float x, float twipsPerPixel) {
  // The default rounding mode rounds ties to even.
  return static_cast<std::int32_t>(std::nearbyint(x / twipsPerPixel));
}

TrayCallback::TrayCallback(IndicatorPanel& panel, std::function<AboutWindow&()> aboutWindow,
                           std::function<void()> unloadPanel)
    : panel_(panel),
      aboutWindow_(std::move(aboutWindow)),
      unloadPanel_(std::move(unloadPanel)),
      trayMenu_("trayMenu", {{"aboutItem", "About", [this] { showAbout(); }},
                          {"exitItem", "Exit", [this] { exitProgram(); }}}) {
  panel_.trayReceiver.onMouseMove = [this](int button, int shift, float x, float y) {
    onTrayMessage(button, shift, x, y);
  };
}

void TrayCallback::onTrayMessage(int, int, float x, float) {
  const std::int32_t message = trayMessageNumber(x, tk::Screen::twipsPerPixelX());
  if (message == static_cast<std::int32_t>(win::WM_LBUTTONUP)) {
    panel_.show();
    panel_.armHideTimer();
  } else if (message == static_cast<std::int32_t>(win::WM_RBUTTONUP)) {
    const win::Handle panel = panel_.hwnd();
    win::SetForegroundWindow(panel);
    panel_.form().popupMenu(trayMenu_, win::TPM_RIGHTBUTTON);
    // Lets the menu close when the user clicks elsewhere next time.
    win::PostMessageA(panel, win::WM_NULL, 0, 0);
  }
}

void TrayCallback::showAbout() {
  panel_.armHideTimer();
  AboutWindow& about = aboutWindow_();
  about.form().move((tk::Screen::width() - about.form().width()) / 2,
                    (tk::Screen::height() - about.form().height()) / 2);
  panel_.hide();
  about.form().show();
}

void TrayCallback::exitProgram() { unloadPanel_(); }
