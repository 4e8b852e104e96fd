#include "tray/tray_receiver.h"

#include "platform/window.h"

namespace {
// Where the first versions kept it, in twips; it never shows.
constexpr win::TwipsRect kBounds = {3960, 840, 615, 495};
}  // namespace

TrayReceiver::TrayReceiver(HWND panel, Events& events) : events_(events) {
  win::registerClass(kClassName, windowProc);
  const RECT r = win::toPixels(kBounds, win::screenDpi());
  CreateWindowExA(0, kClassName, "", WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top, panel, nullptr,
                  GetModuleHandleA(nullptr), this);
}

TrayReceiver::~TrayReceiver() {
  if (hwnd_ == nullptr) return;
  win::unbind(hwnd_);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK TrayReceiver::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TrayReceiver* receiver = win::boundObject<TrayReceiver>(hwnd, msg, lParam);
  return receiver != nullptr ? receiver->onMessage(hwnd, msg, wParam, lParam)
                             : DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Only releases act: a click is a press and a release, a double click two.
LRESULT TrayReceiver::onMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
      hwnd_ = hwnd;
      break;
    case kCallbackMessage:
      if (lParam == WM_LBUTTONUP) events_.onTrayLeftClick();
      if (lParam == WM_RBUTTONUP) events_.onTrayRightClick();
      return 0;
    case WM_NCDESTROY:
      win::unbind(hwnd);
      hwnd_ = nullptr;
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}
