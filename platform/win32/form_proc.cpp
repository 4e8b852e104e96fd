#include "platform/win32/form_impl.h"

namespace tk {

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* impl = reinterpret_cast<Form::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (impl == nullptr) {
    // Only the real creation gets here: a WM_NCCREATE posted later finds
    // the form already attached and never reaches its pointer.
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  // Zero where registering failed: that is WM_NULL, which anyone may send.
  if (impl->taskbarCreated != 0 && msg == impl->taskbarCreated) {
    if (impl->form.onTaskbarCreated) impl->form.onTaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_POWERBROADCAST:
      impl->powerBroadcast(wParam);
      return TRUE;
    case kWmWtsSessionChange:
      impl->sessionChange(wParam);
      return 0;
    case WM_PAINT:
      impl->paint();
      return 0;
    case WM_TIMER:
      impl->tick(wParam);
      return 0;
    case kShowSoon:
      impl->form.show();
      return 0;
    case WM_HOTKEY:
      if (!impl->form.onHotKey) break;
      impl->form.onHotKey(static_cast<std::int32_t>(wParam));
      return 0;
    case WM_COMMAND:
      impl->click(wParam);
      return 0;
    case WM_WINDOWPOSCHANGING: {
      // A tool panel stays where the program placed it, minimized aside.
      // Wine under some window managers reports a window it maps again at
      // the corner where the window manager's frame first appears, and
      // would move it there.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (impl->style == FormStyle::ToolPanel && impl->placedAt && !IsIconic(hwnd) &&
          (pos->x != impl->placedAt->x || pos->y != impl->placedAt->y)) {
        pos->flags |= SWP_NOMOVE;
      }
      break;
    }
    case WM_MOUSEACTIVATE:
      if (impl->style == FormStyle::ToolPanel) return MA_NOACTIVATE;
      break;
    case WM_SETFOCUS:
      // A dialog hands its focus on to its first button.
      if (impl->style == FormStyle::Dialog && impl->firstButton != nullptr) SetFocus(impl->firstButton);
      return 0;
    case WM_ENDSESSION:
      if (wParam == FALSE) return 0;
      [[fallthrough]];
    case WM_CLOSE:
      if (impl->form.onCloseRequest) {
        impl->form.onCloseRequest();
      } else {
        impl->form.unload();
      }
      return 0;
    case WM_NCDESTROY:
      // Forged: DefWindowProcA would free what the window still uses.
      if (!impl->destroying) return 0;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      impl->hwnd = nullptr;
      if (--Form::Impl::loadedForms == 0) PostQuitMessage(0);
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace tk
