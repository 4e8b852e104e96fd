#include <cmath>

#include "platform/win32/form_impl.h"

namespace tk {

namespace {

// The font's height in pixels on this screen, negative: Windows then
// matches the height of its characters rather than of its cells.
int pixelHeight(float points) {
  const win::ScreenDC screen;
  return -static_cast<int>(std::lround(points * GetDeviceCaps(screen.get(), LOGPIXELSY) / 72.0f));
}

HFONT createFont(const Font& font) {
  return CreateFontA(pixelHeight(font.points), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.face);
}

}  // namespace

GdiFont::GdiFont(const Font& font) : font_(font), handle_(createFont(font)) {}

bool GdiFont::is(const Font& font) const {
  return lstrcmpA(font_.face, font.face) == 0 && font_.points == font.points && font_.bold == font.bold;
}

HFONT Form::Impl::font(const Font& wanted) {
  for (const auto& f : fonts) {
    if (f->is(wanted)) return f->handle();
  }
  fonts.push_back(std::make_unique<GdiFont>(wanted));
  return fonts.back()->handle();
}

}  // namespace tk
