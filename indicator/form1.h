#pragma once

#include "indicator/lamps.h"
#include "platform/toolkit.h"

// The indicator panel: three captioned lamps in a small topmost tool window
// at the bottom-right of the screen, hidden again by Timer1 a second after
// it was last armed.
class Form1 {
 public:
  Form1();

  win::Handle hwnd() const { return form_.hwnd(); }
  tk::Form& form() { return form_; }

  void show() { form_.show(); }
  void showSoon() { form_.showSoon(); }
  void hide() { form_.hide(); }
  bool visible() const { return form_.visible(); }
  void armHideTimer() { Timer1.setEnabled(true); }
  bool hideTimerArmed() const { return Timer1.enabled(); }

  void setLamp(Lamp lamp, tk::Colour colour);

  // Right edge on the screen's right edge, bottom edge 500 twips above the
  // screen's bottom edge.
  void place();

  void Timer1_Timer();

 private:
  tk::Form form_;

 public:
  // The controls keep their names from the form they were drawn on:
  // Picture1 receives the notification icon's messages, Text1 holds the
  // icon's tool tip; Label4-6 are the captions "Num", "Caps", "Scroll" and
  // Shape1-3 the lamps under them.
  tk::PictureBox Picture1;
  tk::TextBox Text1;

 private:
  tk::Label Label4;
  tk::Label Label5;
  tk::Label Label6;
  tk::Shape Shape1;
  tk::Shape Shape2;
  tk::Shape Shape3;
  tk::Timer Timer1;
};
