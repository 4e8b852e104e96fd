#pragma once

#include "indicator/lamps.h"
#include "platform/window.h"

// The indicator panel: a small topmost tool window at the bottom-right of
// the screen with three captioned lamps, hidden again by its hide timer a
// second after the timer was last armed. It never takes the activation or
// the keyboard focus, neither when shown nor when clicked.
class IndicatorPanel : public win::Window {
 public:
  // What the panel's window hands on to the rest of the program.
  class Events {
   public:
    virtual void onHotKey(int id) = 0;
    // A new taskbar has started: it holds no notification icons.
    virtual void onTaskbarCreated() = 0;
    // WM_CLOSE (Alt+F4 too) or the end of the Windows session.
    virtual void onCloseRequest() = 0;
    // Back from sleep, or the user's session unlocked.
    virtual void onResume() = 0;
    // The window is gone (destroy() ran).
    virtual void onDestroyed() = 0;

   protected:
    ~Events() = default;
  };

  static constexpr char kClassName[] = "TovixForm";
  static constexpr char kCaption[] = "Tovix";

  explicit IndicatorPanel(Events& events);

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

  // Painted when the panel next shows.
  void setLamp(Lamp lamp, COLORREF colour);

  // Right edge on the screen's right edge, bottom edge 500 twips above the
  // screen's bottom edge, moved just enough to stay inside the work area.
  // Placed again when the screen or the work area changes, or when restored
  // if it was minimized or maximized then.
  void place();
  // Back from minimized or maximized, shown for its second; a panel in its
  // normal state is left alone, hidden or not.
  void restore();

 private:
  LRESULT onMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void onDestroyed() override { events_.onDestroyed(); }
  void paint();
  void onHideTimer();
  // Sets Windows' timer for what is left of the second; false when nothing is.
  bool waitOutTheSecond();

  Events& events_;
  const int dpi_;
  const win::GdiObject<HFONT> font_;
  // Sent to every top-level window when a new taskbar starts.
  const UINT taskbarCreated_;
  COLORREF lamps_[3] = {LampOffColor, LampOffColor, LampOffColor};
  bool armed_ = false;  // the hide timer, exactly while the panel shows
  DWORD hideAt_ = 0;    // GetTickCount's time for it
  // Where place() put the panel, once it has.
  bool placed_ = false;
  POINT placedAt_ = {0, 0};
};
