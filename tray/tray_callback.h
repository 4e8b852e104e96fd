#pragma once

#include <cstdint>
#include <functional>

#include "platform/toolkit.h"

class Form1;
class Form2;

// The notification icon's message number, back from the x position in twips
// at which the toolkit reports it (the number times the twips per pixel),
// rounded to the nearest integer, ties to even.
std::int32_t trayMessageNumber(float x, float twipsPerPixel);

// What the notification icon's clicks and its menu do: a left click shows
// the panel, a right click opens "About" / "Exit".
class TrayCallback {
 public:
  // aboutWindow gives the About window, loading it if it is not loaded;
  // unloadPanel closes the panel as any close request does.
  TrayCallback(Form1& panel, std::function<Form2&()> aboutWindow, std::function<void()> unloadPanel);

  void Picture1_MouseMove(int button, int shift, float x, float y);
  void mnuDisplay_Click();
  void mnuQuit_Click();

 private:
  Form1& panel_;
  std::function<Form2&()> aboutWindow_;
  std::function<void()> unloadPanel_;
  // The icon's menu, named as on the form it was drawn on: mnuDisplay is
  // "About", mnuQuit is "Exit".
  tk::PopupMenu mnuShow;
};
