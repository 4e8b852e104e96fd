#pragma once

// What the Win32 toolkit's pieces share about a form: its window and
// everything on it. Form::Impl's functions live beside what they serve, as
// noted at each.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/toolkit.h"
#include "platform/win32/handles.h"
#include "platform/win32/raii.h"

namespace tk {

inline constexpr char kPictureClass[] = "TovixPicture";

// Posted by Form::showSoon.
inline constexpr UINT kShowSoon = WM_APP + 1;

// Windows XP's session notification, beyond the Windows 2000 headers.
inline constexpr UINT kWmWtsSessionChange = 0x02B1;

// Registers the form and picture window classes, once.
void registerClasses();
LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK pictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The program's icon, from its resources; the system owns it.
HICON programIcon();

// Twips to the nearest screen pixel.
int toPixels(float twips);
RECT toPixels(TwipsRect r);

// A GDI font made for one Font, kept as long as the form that uses it.
class GdiFont {
 public:
  explicit GdiFont(const Font& font);

  bool is(const Font& font) const;
  HFONT handle() const { return handle_.get(); }

 private:
  Font font_;
  win::GdiObject<HFONT> handle_;
};

struct Form::Impl {
  struct PaintedLabel {
    RECT bounds;
    std::string caption;
    HFONT font;
  };
  struct PaintedShape {
    RECT bounds;
    COLORREF fill;
  };

  Impl(Form& owner, FormStyle formStyle) : form(owner), style(formStyle) {}
  ~Impl() { destroy(); }

  void destroy();  // form.cpp
  // The form's font for `wanted`, made at its first use (fonts.cpp).
  HFONT font(const Font& wanted);
  void paint();                       // WM_PAINT, painting.cpp
  void tick(UINT_PTR id);             // WM_TIMER, timer.cpp
  void click(WPARAM wParam);          // WM_COMMAND, child_controls.cpp
  void powerBroadcast(WPARAM event);  // WM_POWERBROADCAST, resume_watch.cpp
  void sessionChange(WPARAM event);   // WM_WTSSESSION_CHANGE, resume_watch.cpp

  // Forms whose window exists: the message loop ends when none is left.
  static int loadedForms;

  Form& form;
  const FormStyle style;
  // Sent to every top-level window when a new shell's taskbar starts.
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  HWND hwnd = nullptr;
  // Set while the toolkit destroys the window: any other process can post a
  // WM_NCDESTROY, and only the real one ends the form.
  bool destroying = false;
  // Where the program last moved the form.
  std::optional<POINT> placedAt;
  std::function<void()> onResume;
  win::Library sessionApi;  // wtsapi32, while session changes are reported
  std::vector<PaintedLabel> labels;
  std::vector<PaintedShape> shapes;
  std::vector<std::function<void()>> buttons;
  HWND firstButton = nullptr;
  std::vector<std::unique_ptr<GdiFont>> fonts;
  std::vector<Timer::Impl*> timers;  // timer id - 1 -> timer
};

}  // namespace tk
