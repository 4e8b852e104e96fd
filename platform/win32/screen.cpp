#include <cmath>

#include "platform/win32/form_impl.h"

namespace tk {

namespace Screen {

float twipsPerPixelX() {
  const win::ScreenDC screen;
  return 1440.0f / static_cast<float>(GetDeviceCaps(screen.get(), LOGPIXELSX));
}

float width() { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * twipsPerPixelX(); }

float height() { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * twipsPerPixelX(); }

}  // namespace Screen

int toPixels(float twips) {
  return static_cast<int>(std::lround(twips / Screen::twipsPerPixelX()));
}

RECT toPixels(TwipsRect r) {
  const int left = toPixels(static_cast<float>(r.left));
  const int top = toPixels(static_cast<float>(r.top));
  return {left, top, left + toPixels(static_cast<float>(r.width)), top + toPixels(static_cast<float>(r.height))};
}

}  // namespace tk
