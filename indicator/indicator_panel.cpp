#include "indicator/indicator_panel.h"

namespace {
const tk::Font kCaptionFont = {"MS Sans Serif", 12.0f, true};
}

IndicatorPanel::IndicatorPanel()
    : form_("Tovix", 4680, 1455, tk::FormStyle::ToolPanel),
      trayReceiver(form_, {3960, 840, 615, 495}),
      tipText("Tovix"),
      numCaption_(form_, "numCaption", {1080, 240, 615, 375}, "Num", kCaptionFont),
      capsCaption_(form_, "capsCaption", {2040, 240, 615, 375}, "Caps", kCaptionFont),
      scrollCaption_(form_, "scrollCaption", {2880, 240, 735, 375}, "Scroll", kCaptionFont),
      numLamp_(form_, "numLamp", {1200, 720, 375, 375}, LampOffColor),
      capsLamp_(form_, "capsLamp", {2160, 720, 375, 375}, LampOffColor),
      scrollLamp_(form_, "scrollLamp", {3120, 720, 375, 375}, LampOffColor),
      hideTimer_(form_, "hideTimer", 1000, true, [this] { onHideTimer(); }) {}

void IndicatorPanel::setLamp(Lamp lamp, tk::Colour colour) {
  switch (lamp) {
    case Lamp::Num: numLamp_.setFillColor(colour); break;
    case Lamp::Caps: capsLamp_.setFillColor(colour); break;
    case Lamp::Scroll: scrollLamp_.setFillColor(colour); break;
  }
}

void IndicatorPanel::place() {
  form_.move(tk::Screen::width() - form_.width(), tk::Screen::height() - form_.height() - 500.0f);
}

void IndicatorPanel::onHideTimer() {
  hide();
  hideTimer_.setEnabled(false);
}
