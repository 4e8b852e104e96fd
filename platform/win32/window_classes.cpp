#include "platform/win32/form_impl.h"

namespace tk {

HICON programIcon() { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)); }

void registerClasses() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA form = {};
  form.lpfnWndProc = formProc;
  form.hInstance = GetModuleHandleA(nullptr);
  form.hIcon = programIcon();
  form.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);

  WNDCLASSA picture = {};
  picture.lpfnWndProc = pictureProc;
  picture.hInstance = form.hInstance;
  picture.lpszClassName = kPictureClass;
  RegisterClassA(&picture);
  registered = true;
}

win::Handle appInstance() { return win::toHandle(GetModuleHandleA(nullptr)); }

}  // namespace tk
