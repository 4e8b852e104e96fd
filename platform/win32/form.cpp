#include "platform/win32/form_impl.h"

namespace tk {

namespace {

struct FrameStyle {
  DWORD style;
  DWORD exStyle;
};

FrameStyle frameStyle(FormStyle style) {
  switch (style) {
    case FormStyle::ToolPanel:
      return {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW};
    case FormStyle::Dialog:
      break;
  }
  return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME};
}

}  // namespace

int Form::Impl::loadedForms = 0;

void Form::Impl::destroy() {
  if (hwnd == nullptr) return;
  destroying = true;
  DestroyWindow(hwnd);
}

Form::Form(const std::string& caption, int clientWidth, int clientHeight, FormStyle style)
    : impl_(std::make_unique<Impl>(*this, style)) {
  registerClasses();
  const FrameStyle frame = frameStyle(style);
  RECT outer = {0, 0, toPixels(static_cast<float>(clientWidth)), toPixels(static_cast<float>(clientHeight))};
  AdjustWindowRectEx(&outer, frame.style, FALSE, frame.exStyle);
  impl_->hwnd = CreateWindowExA(frame.exStyle, kFormClass, caption.c_str(), frame.style, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), impl_.get());
  if (impl_->hwnd != nullptr) ++Impl::loadedForms;
}

Form::~Form() = default;

win::Handle Form::hwnd() const { return win::toHandle(impl_->hwnd); }

std::string Form::caption() const {
  char text[256] = {};
  GetWindowTextA(impl_->hwnd, text, sizeof text);
  return text;
}

void Form::setCaption(const std::string& caption) { SetWindowTextA(impl_->hwnd, caption.c_str()); }

void Form::show() { ShowWindow(impl_->hwnd, impl_->style == FormStyle::ToolPanel ? SW_SHOWNA : SW_SHOW); }

void Form::showSoon() { PostMessageA(impl_->hwnd, kShowSoon, 0, 0); }

void Form::hide() { ShowWindow(impl_->hwnd, SW_HIDE); }

bool Form::visible() const { return IsWindowVisible(impl_->hwnd) != FALSE; }

void Form::unload() { impl_->destroy(); }

bool Form::loaded() const { return impl_->hwnd != nullptr; }

void Form::setWindowStateNormal() {
  if (IsIconic(impl_->hwnd) || IsZoomed(impl_->hwnd)) ShowWindow(impl_->hwnd, SW_SHOWNOACTIVATE);
}

win::Handle Form::icon() const { return win::toHandle(programIcon()); }

float Form::width() const {
  RECT r;
  GetWindowRect(impl_->hwnd, &r);
  return static_cast<float>(r.right - r.left) * Screen::twipsPerPixelX();
}

float Form::height() const {
  RECT r;
  GetWindowRect(impl_->hwnd, &r);
  return static_cast<float>(r.bottom - r.top) * Screen::twipsPerPixelX();
}

void Form::move(float left, float top) {
  impl_->placedAt = POINT{toPixels(left), toPixels(top)};
  SetWindowPos(impl_->hwnd, nullptr, impl_->placedAt->x, impl_->placedAt->y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tk
