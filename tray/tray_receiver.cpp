#include "tray/tray_receiver.h"

namespace {
// Where the first versions kept it, in twips; it never shows.
constexpr win::TwipsRect kBounds = {3960, 840, 615, 495};
}  // namespace

TrayReceiver::TrayReceiver(HWND panel, Events& events) : events_(events) {
  create(kClassName, "", WS_CHILD, 0, win::toPixels(kBounds, win::screenDpi()), panel);
}

// Only releases act: a click is a press and a release, a double click two.
LRESULT TrayReceiver::onMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kCallbackMessage) return Window::onMessage(msg, wParam, lParam);
  if (lParam == WM_LBUTTONUP) events_.onTrayLeftClick();
  if (lParam == WM_RBUTTONUP) events_.onTrayRightClick();
  return 0;
}
