#include "platform/toolkit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/handles.h"

namespace tk {

namespace {

const char kFormClass[] = "TovixForm";
const char kPictureClass[] = "TovixPicture";
constexpr DWORD kPanelStyle = WS_POPUP | WS_CAPTION;  // fixed frame, no control box
constexpr DWORD kPanelExStyle = WS_EX_TOOLWINDOW;     // narrow caption, no taskbar button

int toPixels(float twips) {
  return static_cast<int>(std::lround(twips / Screen::twipsPerPixelX()));
}

RECT toPixels(TwipsRect r) {
  const int left = toPixels(static_cast<float>(r.left));
  const int top = toPixels(static_cast<float>(r.top));
  return {left, top, left + toPixels(static_cast<float>(r.width)), top + toPixels(static_cast<float>(r.height))};
}

class GdiFont {
 public:
  explicit GdiFont(const Font& font) : font_(font) {
    HDC screen = GetDC(nullptr);
    const int height = -static_cast<int>(std::lround(font.points * GetDeviceCaps(screen, LOGPIXELSY) / 72.0f));
    ReleaseDC(nullptr, screen);
    handle_ = CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          font.face);
  }
  ~GdiFont() { DeleteObject(handle_); }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  bool is(const Font& font) const {
    return lstrcmpA(font_.face, font.face) == 0 && font_.points == font.points && font_.bold == font.bold;
  }
  HFONT handle() const { return handle_; }

 private:
  Font font_;
  HFONT handle_;
};

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace

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

  explicit Impl(Form& owner) : form(owner) {}
  ~Impl() { DestroyWindow(hwnd); }

  HFONT font(const Font& wanted) {
    for (const auto& f : fonts) {
      if (f->is(wanted)) return f->handle();
    }
    fonts.push_back(std::make_unique<GdiFont>(wanted));
    return fonts.back()->handle();
  }

  void paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (PaintedLabel& label : labels) {
      HGDIOBJ old = SelectObject(dc, label.font);
      DrawTextA(dc, label.caption.c_str(), -1, &label.bounds, DT_LEFT | DT_TOP | DT_WORDBREAK);
      SelectObject(dc, old);
    }
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    for (const PaintedShape& shape : shapes) {
      HBRUSH brush = CreateSolidBrush(shape.fill);
      HGDIOBJ oldBrush = SelectObject(dc, brush);
      const RECT& b = shape.bounds;
      const LONG side = std::min(b.right - b.left, b.bottom - b.top);
      const LONG x = b.left + (b.right - b.left - side) / 2;
      const LONG y = b.top + (b.bottom - b.top - side) / 2;
      Ellipse(dc, x, y, x + side, y + side);
      SelectObject(dc, oldBrush);
      DeleteObject(brush);
    }
    SelectObject(dc, oldPen);
    EndPaint(hwnd, &ps);
  }

  void tick(UINT_PTR id) {
    if (id >= 1 && id <= timers.size() && timers[id - 1] != nullptr) timers[id - 1]->onTick_();
  }

  Form& form;
  HWND hwnd = nullptr;
  std::vector<PaintedLabel> labels;
  std::vector<PaintedShape> shapes;
  std::vector<std::unique_ptr<GdiFont>> fonts;
  std::vector<Timer*> timers;  // timer id - 1 -> timer
};

namespace {

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  auto* impl = reinterpret_cast<Form::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (impl == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      impl->paint();
      return 0;
    case WM_TIMER:
      impl->tick(wParam);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_CLOSE:
      if (impl->form.onCloseRequest) {
        impl->form.onCloseRequest();
      } else {
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HICON programIcon() {
  static const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  return icon;
}

void registerClasses() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = formProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = programIcon();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  RegisterClassA(&wc);

  WNDCLASSA picture = {};
  picture.lpfnWndProc = DefWindowProcA;
  picture.hInstance = wc.hInstance;
  picture.lpszClassName = kPictureClass;
  RegisterClassA(&picture);
  registered = true;
}

}  // namespace

Form::Form(const std::string& caption, int clientWidth, int clientHeight) : impl_(std::make_unique<Impl>(*this)) {
  registerClasses();
  RECT frame = {0, 0, toPixels(static_cast<float>(clientWidth)), toPixels(static_cast<float>(clientHeight))};
  AdjustWindowRectEx(&frame, kPanelStyle, FALSE, kPanelExStyle);
  impl_->hwnd = CreateWindowExA(kPanelExStyle, kFormClass, caption.c_str(), kPanelStyle, 0, 0, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), impl_.get());
}

Form::~Form() = default;

win::Handle Form::hwnd() const { return win::toHandle(impl_->hwnd); }

void Form::show() { ShowWindow(impl_->hwnd, SW_SHOWNA); }

void Form::hide() { ShowWindow(impl_->hwnd, SW_HIDE); }

bool Form::visible() const { return IsWindowVisible(impl_->hwnd) != FALSE; }

void Form::setWindowStateNormal() {
  if (IsIconic(impl_->hwnd) || IsZoomed(impl_->hwnd)) ShowWindow(impl_->hwnd, SW_SHOWNOACTIVATE);
}

win::Handle Form::icon() const { return win::toHandle(programIcon()); }

float Form::width() const {
  RECT r;
  GetWindowRect(impl_->hwnd, &r);
  return static_cast<float>(r.right - r.left) * Screen::twipsPerPixelX();
}

float Form::height() const {
  RECT r;
  GetWindowRect(impl_->hwnd, &r);
  return static_cast<float>(r.bottom - r.top) * Screen::twipsPerPixelX();
}

void Form::move(float left, float top) {
  SetWindowPos(impl_->hwnd, nullptr, toPixels(left), toPixels(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Label::Label(Form& form, const char*, TwipsRect bounds, const std::string& caption, Font font) {
  form.impl_->labels.push_back({toPixels(bounds), caption, form.impl_->font(font)});
}

Shape::Shape(Form& form, const char*, TwipsRect bounds, Colour fill)
    : form_(form), index_(static_cast<int>(form.impl_->shapes.size())) {
  form.impl_->shapes.push_back({toPixels(bounds), fill});
}

void Shape::setFillColor(Colour fill) {
  Form::Impl::PaintedShape& shape = form_.impl_->shapes[index_];
  if (shape.fill == fill) return;
  shape.fill = fill;
  InvalidateRect(form_.impl_->hwnd, &shape.bounds, TRUE);
}

PictureBox::PictureBox(Form& form, const char*, TwipsRect bounds) {
  const RECT r = toPixels(bounds);
  hwnd_ = win::toHandle(CreateWindowExA(0, kPictureClass, "", WS_CHILD, r.left, r.top, r.right - r.left,
                                        r.bottom - r.top, form.impl_->hwnd, nullptr, GetModuleHandleA(nullptr),
                                        nullptr));
}

Timer::Timer(Form& form, const char*, unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : form_(form), id_(static_cast<unsigned>(form.impl_->timers.size() + 1)), intervalMs_(intervalMs),
      enabled_(false), onTick_(std::move(onTick)) {
  form.impl_->timers.push_back(this);
  setEnabled(enabled);
}

Timer::~Timer() {
  setEnabled(false);
  form_.impl_->timers[id_ - 1] = nullptr;
}

void Timer::setEnabled(bool enabled) {
  if (enabled) {
    SetTimer(form_.impl_->hwnd, id_, intervalMs_, nullptr);
  } else if (enabled_) {
    KillTimer(form_.impl_->hwnd, id_);
  }
  enabled_ = enabled;
}

bool Timer::enabled() const { return enabled_; }

namespace Screen {

float twipsPerPixelX() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return 1440.0f / static_cast<float>(dpi);
}

float width() { return static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * twipsPerPixelX(); }

float height() { return static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * twipsPerPixelX(); }

}  // namespace Screen

win::Handle appInstance() { return win::toHandle(GetModuleHandleA(nullptr)); }

void shell(const std::string& commandLine, int showCommand) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;  // CreateProcessA may write to it
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

int runMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

void quit(int exitCode) { PostQuitMessage(exitCode); }

}  // namespace tk
