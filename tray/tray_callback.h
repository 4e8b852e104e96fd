#pragma once

#include <cstdint>
#include <functional>

#include "platform/toolkit.h"

class IndicatorPanel;
class AboutWindow;

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
  TrayCallback(IndicatorPanel& panel, std::function<AboutWindow&()> aboutWindow, std::function<void()> unloadPanel);

  void onTrayMessage(int button, int shift, float x, float y);
  void showAbout();
  void exitProgram();

 private:
  IndicatorPanel& panel_;
  std::function<AboutWindow&()> aboutWindow_;
  std::function<void()> unloadPanel_;
  // "About" / "Exit".
  tk::PopupMenu trayMenu_;
};
