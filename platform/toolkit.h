#pragma once

// The small window toolkit Tovix's forms are built from: top-level forms
// laid out in twips, painted labels and round lamps, and timers. All
// geometry is in twips (1440 per inch); the screen's twips per pixel turn it
// into pixels. Tovix links either the Win32 toolkit (platform/win32) or the
// recording toolkit of the host tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

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

class Form {
 public:
  // A fixed tool window: narrow caption, no control box, no taskbar button.
  // It never takes the activation or the keyboard focus, neither when shown
  // nor when clicked, so whatever the user types into keeps it.
  Form(const std::string& caption, int clientWidth, int clientHeight);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  win::Handle hwnd() const;

  void show();
  void hide();
  bool visible() const;

  // Back from minimized or maximized; a form in its normal state is left
  // alone, hidden or not.
  void setWindowStateNormal();

  // The program's icon, shared by its forms; the system owns it.
  win::Handle icon() const;

  // Outer frame size and position, in twips.
  float width() const;
  float height() const;
  void move(float left, float top);

  // Called for every close request; without a handler the form just closes.
  std::function<void()> onCloseRequest;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
  friend class Label;
  friend class Shape;
  friend class Timer;
  friend class PictureBox;
};

// A caption painted on its form; the name identifies the control to the
// recording toolkit.
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

// A hidden child window of its form that receives messages sent to it.
class PictureBox {
 public:
  PictureBox(Form& form, const char* name, TwipsRect bounds);
  win::Handle hwnd() const { return hwnd_; }

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

// Calls onTick every interval while enabled. Enabling an enabled timer
// starts its interval over.
class Timer {
 public:
  Timer(Form& form, const char* name, unsigned intervalMs, bool enabled, std::function<void()> onTick);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void setEnabled(bool enabled);
  bool enabled() const;

 private:
  Form& form_;
  unsigned id_;
  unsigned intervalMs_;
  bool enabled_;
  std::function<void()> onTick_;
  friend struct Form::Impl;
};

namespace Screen {
float width();
float height();
float twipsPerPixelX();
}  // namespace Screen

win::Handle appInstance();

// Starts a program from a command line, found by the system's usual search,
// with the given show command; does not wait for it.
void shell(const std::string& commandLine, int showCommand);

// Runs the message loop until quit() is called; returns the exit code.
int runMessageLoop();
void quit(int exitCode);

}  // namespace tk
