#include "platform/win32/form_impl.h"

namespace tk {

namespace {

// The form a window belongs to, when it is one of the toolkit's forms.
Form::Impl* formOf(HWND hwnd) {
  char name[sizeof kFormClass + 1] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpA(name, kFormClass) != 0) return nullptr;
  return reinterpret_cast<Form::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace

int runMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The program's timers have no callbacks: a WM_TIMER naming one was
    // posted by someone else, and dispatching it would call that address.
    if (msg.message == WM_TIMER && msg.lParam != 0) continue;
    // Tab, Enter and the rest of a dialog's keyboard.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const Form::Impl* form = root != nullptr ? formOf(root) : nullptr;
    if (form != nullptr && form->style == FormStyle::Dialog && IsDialogMessageA(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace tk
