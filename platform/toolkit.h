#pragma once

// The small window toolkit Tovix's forms are built from: top-level forms
// laid out in twips, painted labels and round lamps, a push button, a hidden
// picture box that receives messages, timers, a popup menu and a message
// box. All geometry is in twips (1440 per inch); the screen's twips per
// pixel (1440 / its dots per inch) turn it into pixels, rounded to the
// nearest with halves away from zero: at 144 dots per inch 1455 twips are
// 146 pixels. The program declares itself DPI-aware, so Windows neither
// stretches nor blurs what this draws. Tovix links either the Win32 toolkit
// (platform/win32) or the recording toolkit of the host tests.
//
// A form is loaded while its window exists. The program's message loop ends
// when no form is loaded any more.
//
// Controls, timers and menus take the name their form gives them (numCaption,
// hideTimer, trayMenu). Windows never sees it and the Win32 toolkit ignores it;
// the recording toolkit files what a label, lamp, timer or menu does under
// its name. Buttons and picture boxes need none: a button is found by its
// caption, a picture box by its window.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace tk {

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct Font {
  const char* face;
  float points;
  bool bold;
};

// 0x00BBGGRR, red in the low byte.
using Colour = std::uint32_t;

enum class FormStyle {
  // A fixed tool window: narrow caption, no control box, no taskbar button.
  // It never takes the activation or the keyboard focus, neither when shown
  // nor when clicked, so whatever the user types into keeps it.
  ToolPanel,
  // A fixed dialog frame with a close box, activated when shown.
  Dialog,
};

class PopupMenu;

class Form {
 public:
  Form(const std::string& caption, int clientWidth, int clientHeight, FormStyle style);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  win::Handle hwnd() const;
  std::string caption() const;
  void setCaption(const std::string& caption);

  void show();
  // Shows the form once the message being handled is done, without waiting
  // on any other thread: for the keyboard hook, which holds up every
  // keystroke of the desktop while it runs.
  void showSoon();
  void hide();
  bool visible() const;

  // Destroys the window; the form stays unloaded.
  void unload();
  bool loaded() const;

  // Back from minimized or maximized; a form in its normal state is left
  // alone, hidden or not.
  void setWindowStateNormal();

  // The program's icon, shared by its forms; the system owns it.
  win::Handle icon() const;

  // Outer frame size and position, in twips.
  float width() const;
  float height() const;
  void move(float left, float top);

  // Shows the menu at the mouse position and returns when it has closed,
  // after the chosen item's handler has run.
  void popupMenu(PopupMenu& menu, unsigned flags);

  // Called for every close request (the close box, WM_CLOSE, the end of the
  // Windows session); without a handler the form unloads.
  std::function<void()> onCloseRequest;

  // Called when the taskbar has (re)started: notification icons are gone.
  std::function<void()> onTaskbarCreated;

  // Called for each hot key of the form's window, with its id.
  std::function<void(std::int32_t id)> onHotKey;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
  friend class Label;
  friend class Shape;
  friend class Timer;
  friend class PictureBox;
  friend class CommandButton;
  friend class ResumeWatch;
};

// A caption painted on its form.
class Label {
 public:
  Label(Form& form, const char* name, TwipsRect bounds, const std::string& caption, Font font);
};

// A circle inside its bounds, filled solid, with a one-pixel black border.
class Shape {
 public:
  Shape(Form& form, const char* name, TwipsRect bounds, Colour fill);
  void setFillColor(Colour fill);

 private:
  Form& form_;
  int index_;
};

// A push button; the first one created on a form comes first in its tab
// order and is its default button.
class CommandButton {
 public:
  CommandButton(Form& form, TwipsRect bounds, const std::string& caption, Font font,
                std::function<void()> onClick);
};

// A hidden child window of its form that receives messages sent to it.
class PictureBox {
 public:
  PictureBox(Form& form, TwipsRect bounds);
  ~PictureBox();
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  win::Handle hwnd() const { return hwnd_; }

  // WM_MOUSEMOVE: buttons (1 left, 2 right, 4 middle), shift keys (1 shift,
  // 2 control) and the position in twips.
  std::function<void(int button, int shift, float x, float y)> onMouseMove;

 private:
  win::Handle hwnd_;
};

// A hidden text box: it only holds its text.
class TextBox {
 public:
  explicit TextBox(const std::string& text) : text_(text) {}
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

struct MenuItem {
  const char* name;
  std::string caption;
  std::function<void()> onClick;
};

class PopupMenu {
 public:
  PopupMenu(const char* name, std::vector<MenuItem> items);
  ~PopupMenu();
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
  friend class Form;
};

// Calls onTick every interval while enabled. Enabling an enabled timer
// starts its interval over; that costs no call to Windows, so the keyboard
// hook can do it for every keystroke.
class Timer {
 public:
  Timer(Form& form, const char* name, unsigned intervalMs, bool enabled, std::function<void()> onTick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void setEnabled(bool enabled);
  bool enabled() const;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Calls onResume when Windows resumes from sleep and when the user's session
// is unlocked (where Windows reports it), while this object lives.
class ResumeWatch {
 public:
  ResumeWatch(Form& form, std::function<void()> onResume);
  ~ResumeWatch();
  ResumeWatch(const ResumeWatch&) = delete;
  ResumeWatch& operator=(const ResumeWatch&) = delete;

 private:
  Form& form_;
};

namespace Screen {
float width();
float height();
// Pixels are square: this converts vertical lengths too.
float twipsPerPixelX();
}  // namespace Screen

win::Handle appInstance();

// The window class of every form: with a caption it tells Tovix's panel
// from any other program's window.
inline constexpr char kFormClass[] = "TovixForm";

// The mark of the copy of the program that runs in this Windows session.
// Nothing is taken until the first question; a copy that finds no other
// then holds the mark as long as this object lives.
class InstanceMarker {
 public:
  InstanceMarker();
  ~InstanceMarker();
  InstanceMarker(const InstanceMarker&) = delete;
  InstanceMarker& operator=(const InstanceMarker&) = delete;

  // Whether another copy is running; the first copy to ask is the one that runs.
  bool previousInstance();
  // Waits up to timeoutMs for the copy that runs to end; true when it has and
  // this copy now runs in its place.
  bool waitForPreviousInstance(unsigned timeoutMs);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A modal message box with an OK button.
void messageBox(const std::string& text, const std::string& title);

// Starts the program at a full path, in the given current folder, with the
// given show command, searching nowhere; does not wait for it.
void startProgram(const std::string& path, const std::string& folder, int showCommand);

// Runs a job on a short-lived thread of its own, with COM ready for the
// shell's functions; does not wait for it. False when no thread could be
// started: the job is dropped.
bool inBackground(std::function<void()> job);

// Runs the message loop until no form is loaded; returns the exit code.
int runMessageLoop();

}  // namespace tk
