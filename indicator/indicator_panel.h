#pragma once

#include "indicator/lamps.h"
#include "platform/toolkit.h"

// The indicator panel: three captioned lamps in a small topmost tool window
// at the bottom-right of the screen, hidden again by its hide timer a second
// after the timer was last armed.
class IndicatorPanel {
 public:
  IndicatorPanel();

  win::Handle hwnd() const { return form_.hwnd(); }
  tk::Form& form() { return form_; }

  void show() { form_.show(); }
  void showSoon() { form_.showSoon(); }
  void hide() { form_.hide(); }
  bool visible() const { return form_.visible(); }
  void armHideTimer() { hideTimer_.setEnabled(true); }
  bool hideTimerArmed() const { return hideTimer_.enabled(); }

  void setLamp(Lamp lamp, tk::Colour colour);

  // Right edge on the screen's right edge, bottom edge 500 twips above the
  // screen's bottom edge.
  void place();

  void onHideTimer();

 private:
  tk::Form form_;

 public:
  // Receives the notification icon's messages.
  tk::PictureBox trayReceiver;
  // The icon's tool tip.
  tk::TextBox tipText;

 private:
  tk::Label numCaption_;
  tk::Label capsCaption_;
  tk::Label scrollCaption_;
  tk::Shape numLamp_;
  tk::Shape capsLamp_;
  tk::Shape scrollLamp_;
  tk::Timer hideTimer_;
};
