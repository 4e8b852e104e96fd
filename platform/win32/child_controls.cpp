#include "platform/win32/form_impl.h"

namespace tk {

CommandButton::CommandButton(Form& form, TwipsRect bounds, const std::string& caption, Font font,
                             std::function<void()> onClick) {
  Form::Impl& impl = *form.impl_;
  const RECT r = toPixels(bounds);
  const bool first = impl.buttons.empty();
  const int id = IDOK + static_cast<int>(impl.buttons.size());
  HWND button = CreateWindowExA(0, "BUTTON", caption.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), r.left,
                                r.top, r.right - r.left, r.bottom - r.top, impl.hwnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(impl.font(font)), FALSE);
  if (first) impl.firstButton = button;
  impl.buttons.push_back(std::move(onClick));
}

// Buttons have control ids from IDOK up, so Enter clicks the first one.
void Form::Impl::click(WPARAM wParam) {
  const unsigned index = LOWORD(wParam) - IDOK;
  if (HIWORD(wParam) == BN_CLICKED && index < buttons.size()) buttons[index]();
}

PictureBox::PictureBox(Form& form, TwipsRect bounds) {
  const RECT r = toPixels(bounds);
  HWND window = CreateWindowExA(0, kPictureClass, "", WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                form.impl_->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  hwnd_ = win::toHandle(window);
}

PictureBox::~PictureBox() {
  HWND window = win::fromHandle<HWND>(hwnd_);
  if (IsWindow(window)) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

LRESULT CALLBACK pictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* picture = reinterpret_cast<PictureBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_MOUSEMOVE && picture != nullptr && picture->onMouseMove) {
    const int button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) | ((wParam & MK_MBUTTON) ? 4 : 0);
    const int shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0);
    const float tpp = Screen::twipsPerPixelX();
    picture->onMouseMove(button, shift, static_cast<short>(LOWORD(lParam)) * tpp,
                         static_cast<short>(HIWORD(lParam)) * tpp);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace tk
