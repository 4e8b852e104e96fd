#include "app/about_window.h"

namespace {
const tk::Font kAboutFont = {"MS Sans Serif", 13.5f, true};
}

// OK is created first: it comes first in the tab order.
AboutWindow::AboutWindow()
    : form_("About", 4455, 2580, tk::FormStyle::Dialog),
      okButton_(form_, {1560, 1800, 1575, 615}, "OK", kAboutFont, [this] { onOk(); }),
      nameLabel_(form_, "nameLabel", {720, 360, 3375, 495}, "Tovix", kAboutFont),
      versionsLabel_(form_, "versionsLabel", {1200, 840, 2295, 735}, "For WIndows 2000/XP/Vista/7", kAboutFont) {}
