#include "indicator/form1.h"

namespace {
const tk::Font kCaptionFont = {"MS Sans Serif", 12.0f, true};
}

Form1::Form1()
    : form_("Tovix", 4680, 1455, tk::FormStyle::ToolPanel),
      Picture1(form_, {3960, 840, 615, 495}),
      Text1("Tovix"),
      Label4(form_, "Label4", {1080, 240, 615, 375}, "Num", kCaptionFont),
      Label5(form_, "Label5", {2040, 240, 615, 375}, "Caps", kCaptionFont),
      Label6(form_, "Label6", {2880, 240, 735, 375}, "Scroll", kCaptionFont),
      Shape1(form_, "Shape1", {1200, 720, 375, 375}, LampOffColor),
      Shape2(form_, "Shape2", {2160, 720, 375, 375}, LampOffColor),
      Shape3(form_, "Shape3", {3120, 720, 375, 375}, LampOffColor),
      Timer1(form_, "Timer1", 1000, true, [this] { Timer1_Timer(); }) {}

void Form1::setLamp(Lamp lamp, tk::Colour colour) {
  switch (lamp) {
    case Lamp::Num: Shape1.setFillColor(colour); break;
    case Lamp::Caps: Shape2.setFillColor(colour); break;
    case Lamp::Scroll: Shape3.setFillColor(colour); break;
  }
}

void Form1::place() {
  form_.move(tk::Screen::width() - form_.width(), tk::Screen::height() - form_.height() - 500.0f);
}

void Form1::Timer1_Timer() {
  hide();
  Timer1.setEnabled(false);
}
