#include "app/form2.h"

namespace {
const tk::Font kAboutFont = {"MS Sans Serif", 13.5f, true};
}

// OK is created first: it comes first in the tab order.
Form2::Form2()
    : form_("About", 4455, 2580, tk::FormStyle::Dialog),
      Command1(form_, {1560, 1800, 1575, 615}, "OK", kAboutFont, [this] { Command1_Click(); }),
      Label1(form_, "Label1", {720, 360, 3375, 495}, "Tovix", kAboutFont),
      Label2(form_, "Label2", {1200, 840, 2295, 735}, "For WIndows 2000/XP/Vista/7", kAboutFont) {}
