#pragma once

#include <optional>

#include "indicator/lamps.h"
#include "platform/window.h"

// The indicator panel: a small topmost tool window at the bottom-right of
// the screen with three captioned lamps, hidden again by its hide timer a
// second after the timer was last armed. It never takes the activation or
// the keyboard focus, neither when shown nor when clicked.
class IndicatorPanel {
 public:
  static constexpr char kClassName[] = "TovixForm";
  static constexpr char kCaption[] = "Tovix";

  // The window, hidden, with its caption; its messages go to `program`,
  // which hands the panel its own through onMessage.
  IndicatorPanel(win::MessageHandler& program, const char* caption);

  HWND hwnd() const { return window_.hwnd(); }
  void destroy() { window_.destroy(); }

  // Shows the panel, without activating it, for a second.
  void show();
  // Shows the panel once the message being handled is done, calling
  // nothing of Windows but PostMessage: for the keyboard hook, which holds
  // up every keystroke of the desktop while it runs.
  void showSoon();
  void hide();

  // Starts the second after which the panel hides over; nothing while it is
  // hidden. Costs no call to Windows but GetTickCount, so the keyboard hook
  // can do it for every keystroke.
  void armHideTimer();

  // Painted when the panel next shows, in place of the key's toggle state
  // that the other lamps take then.
  void setLamp(Lamp lamp, COLORREF colour);

  // The dots per inch the panel is laid out for.
  int dpi() const { return dpi_; }

  // Sized for its density, in twips as at any other; right edge on the
  // screen's right edge, bottom edge 500 twips above the screen's bottom
  // edge, moved just enough to stay inside the work area.
  // Placed again when the screen or the work area changes, or when restored
  // if it was minimized or maximized then.
  void place();
  // Back from minimized or maximized, shown for its second; a panel in its
  // normal state is left alone, hidden or not.
  void restore();

  // The panel's own messages: its painting, its hide timer, its place and
  // its density.
  // The result, or nothing for a message that is not one of them.
  std::optional<LRESULT> onMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  // The font for a density; place() gives the frame its size.
  void layOut(int dpi);
  void paint();
  void onHideTimer();

  int dpi_ = 0;
  win::GdiObject<HFONT> font_;
  COLORREF lamps_[3] = {LampOffColor, LampOffColor, LampOffColor};
  bool lampSet_[3] = {};  // by setLamp since the panel last showed
  bool armed_ = false;    // the hide timer, exactly while the panel shows
  DWORD hideAt_ = 0;      // GetTickCount's time for it
  // Where place() put the panel, once it has.
  std::optional<POINT> placedAt_;
  win::Window window_;
};
