#include <algorithm>

#include "platform/win32/form_impl.h"

namespace tk {

// Labels and lamps are no windows of their own: the form paints them.
Label::Label(Form& form, const char*, TwipsRect bounds, const std::string& caption, Font font) {
  form.impl_->labels.push_back({toPixels(bounds), caption, form.impl_->font(font)});
}

Shape::Shape(Form& form, const char*, TwipsRect bounds, Colour fill)
    : form_(form), index_(static_cast<int>(form.impl_->shapes.size())) {
  form.impl_->shapes.push_back({toPixels(bounds), fill});
}

void Shape::setFillColor(Colour fill) {
  Form::Impl::PaintedShape& shape = form_.impl_->shapes[index_];
  if (shape.fill == fill) return;
  shape.fill = fill;
  InvalidateRect(form_.impl_->hwnd, &shape.bounds, TRUE);
}

void Form::Impl::paint() {
  const win::PaintDC dc(hwnd);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), GetSysColor(COLOR_BTNTEXT));
  for (PaintedLabel& label : labels) {
    const win::SelectedObject labelFont(dc.get(), label.font);
    DrawTextA(dc.get(), label.caption.c_str(), -1, &label.bounds, DT_LEFT | DT_TOP | DT_WORDBREAK);
  }
  const win::SelectedObject pen(dc.get(), GetStockObject(BLACK_PEN));
  for (const PaintedShape& shape : shapes) {
    const win::GdiObject<HBRUSH> brush(CreateSolidBrush(shape.fill));
    const win::SelectedObject selectedBrush(dc.get(), brush.get());
    const RECT& b = shape.bounds;
    const LONG side = std::min(b.right - b.left, b.bottom - b.top);
    const LONG x = b.left + (b.right - b.left - side) / 2;
    const LONG y = b.top + (b.bottom - b.top - side) / 2;
    Ellipse(dc.get(), x, y, x + side, y + side);
  }
}

}  // namespace tk
