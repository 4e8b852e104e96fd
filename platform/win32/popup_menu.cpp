#include "platform/win32/form_impl.h"

namespace tk {

struct PopupMenu::Impl {
  HMENU handle;
  std::vector<MenuItem> items;
};

PopupMenu::PopupMenu(const char*, std::vector<MenuItem> items)
    : impl_(std::make_unique<Impl>(Impl{CreatePopupMenu(), std::move(items)})) {
  UINT_PTR id = 1;
  for (const MenuItem& item : impl_->items) AppendMenuA(impl_->handle, MF_STRING, id++, item.caption.c_str());
}

PopupMenu::~PopupMenu() { DestroyMenu(impl_->handle); }

void Form::popupMenu(PopupMenu& menu, unsigned flags) {
  POINT at;
  GetCursorPos(&at);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.impl_->handle, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, impl_->hwnd, nullptr));
  if (chosen >= 1 && chosen <= menu.impl_->items.size()) menu.impl_->items[chosen - 1].onClick();
}

}  // namespace tk
