#include "platform/toolkit.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/win32/handles.h"

#include <objbase.h>

namespace tk {

namespace {

// Windows XP's session notifications, beyond the Windows 2000 headers.
constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr WPARAM kWtsSessionUnlock = 0x8;
constexpr DWORD kNotifyForThisSession = 0;

// Posted by Form::showSoon.
constexpr UINT kShowSoon = WM_APP + 1;

const char kFormClass[] = "TovixForm";
const char kPictureClass[] = "TovixPicture";

struct FrameStyle {
  DWORD style;
  DWORD exStyle;
};

FrameStyle frameStyle(FormStyle style) {
  switch (style) {
    case FormStyle::ToolPanel:
      return {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW};
    case FormStyle::Dialog:
      break;
  }
  return {WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME};
}

int loadedForms = 0;

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

HICON programIcon() {
  static const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  return icon;
}

UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK pictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void registerClasses() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA form = {};
  form.lpfnWndProc = formProc;
  form.hInstance = GetModuleHandleA(nullptr);
  form.hIcon = programIcon();
  form.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClass;
  RegisterClassA(&form);

  WNDCLASSA picture = {};
  picture.lpfnWndProc = pictureProc;
  picture.hInstance = form.hInstance;
  picture.lpszClassName = kPictureClass;
  RegisterClassA(&picture);
  registered = true;
}

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

  Impl(Form& owner, FormStyle formStyle) : form(owner), style(formStyle) {}
  ~Impl() { destroy(); }

  void destroy() {
    if (hwnd == nullptr) return;
    destroying = true;
    DestroyWindow(hwnd);
  }

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
    Timer* timer = id >= 1 && id <= timers.size() ? timers[id - 1] : nullptr;
    if (timer == nullptr || !timer->enabled_) return;
    // Restarted since Windows' timer was set: wait out the rest.
    const DWORD elapsed = GetTickCount() - timer->armedAt_;
    if (elapsed < timer->intervalMs_) {
      timer->periodMs_ = timer->intervalMs_ - elapsed;
      SetTimer(hwnd, id, timer->periodMs_, nullptr);
      return;
    }
    timer->onTick_();
    if (timer->enabled_ && timer->periodMs_ != timer->intervalMs_) {
      timer->periodMs_ = timer->intervalMs_;
      SetTimer(hwnd, id, timer->periodMs_, nullptr);
    }
  }

  // Buttons have control ids from IDOK up, so Enter clicks the first one.
  void click(WPARAM wParam) {
    const unsigned index = LOWORD(wParam) - IDOK;
    if (HIWORD(wParam) == BN_CLICKED && index < buttons.size()) buttons[index]();
  }

  Form& form;
  const FormStyle style;
  HWND hwnd = nullptr;
  // Set while the toolkit destroys the window: any other process can post a
  // WM_NCDESTROY, and only the real one ends the form.
  bool destroying = false;
  std::function<void()> onResume;
  HMODULE sessionApi = nullptr;  // wtsapi32, while session changes are reported
  std::vector<PaintedLabel> labels;
  std::vector<PaintedShape> shapes;
  std::vector<std::function<void()>> buttons;
  HWND firstButton = nullptr;
  std::vector<std::unique_ptr<GdiFont>> fonts;
  std::vector<Timer*> timers;  // timer id - 1 -> timer
};

namespace {

Form::Impl* formOf(HWND hwnd) {
  char name[sizeof kFormClass + 1] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpA(name, kFormClass) != 0) return nullptr;
  return reinterpret_cast<Form::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* impl = reinterpret_cast<Form::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (impl == nullptr) {
    // Only the real creation gets here: a WM_NCCREATE posted later finds
    // the form already attached and never reaches its pointer.
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
  if (msg == taskbarCreatedMessage()) {
    if (impl->form.onTaskbarCreated) impl->form.onTaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_POWERBROADCAST:
      if ((wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMECRITICAL) &&
          impl->onResume) {
        impl->onResume();
      }
      return TRUE;
    case kWmWtsSessionChange:
      if (wParam == kWtsSessionUnlock && impl->onResume) impl->onResume();
      return 0;
    case WM_PAINT:
      impl->paint();
      return 0;
    case WM_TIMER:
      impl->tick(wParam);
      return 0;
    case kShowSoon:
      impl->form.show();
      return 0;
    case WM_COMMAND:
      impl->click(wParam);
      return 0;
    case WM_MOUSEACTIVATE:
      if (impl->style == FormStyle::ToolPanel) return MA_NOACTIVATE;
      break;
    case WM_SETFOCUS:
      // A dialog hands its focus on to its first button.
      if (impl->style == FormStyle::Dialog && impl->firstButton != nullptr) SetFocus(impl->firstButton);
      return 0;
    case WM_ENDSESSION:
      if (wParam == FALSE) return 0;
      [[fallthrough]];
    case WM_CLOSE:
      if (impl->form.onCloseRequest) {
        impl->form.onCloseRequest();
      } else {
        impl->form.unload();
      }
      return 0;
    case WM_NCDESTROY:
      // Forged: DefWindowProcA would free what the window still uses.
      if (!impl->destroying) return 0;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      impl->hwnd = nullptr;
      if (--loadedForms == 0) PostQuitMessage(0);
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK pictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* picture = reinterpret_cast<PictureBox*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_MOUSEMOVE && picture != nullptr && picture->onMouseMove) {
    const int button = ((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) | ((wParam & MK_MBUTTON) ? 4 : 0);
    const int shift = ((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0);
    const float tpp = Screen::twipsPerPixelX();
    picture->onMouseMove(button, shift, static_cast<short>(LOWORD(lParam)) * tpp,
                         static_cast<short>(HIWORD(lParam)) * tpp);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

Form::Form(const std::string& caption, int clientWidth, int clientHeight, FormStyle style)
    : impl_(std::make_unique<Impl>(*this, style)) {
  registerClasses();
  const FrameStyle frame = frameStyle(style);
  RECT outer = {0, 0, toPixels(static_cast<float>(clientWidth)), toPixels(static_cast<float>(clientHeight))};
  AdjustWindowRectEx(&outer, frame.style, FALSE, frame.exStyle);
  impl_->hwnd = CreateWindowExA(frame.exStyle, kFormClass, caption.c_str(), frame.style, 0, 0,
                                outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), impl_.get());
  if (impl_->hwnd != nullptr) ++loadedForms;
}

Form::~Form() = default;

win::Handle Form::hwnd() const { return win::toHandle(impl_->hwnd); }

std::string Form::caption() const {
  char text[256] = {};
  GetWindowTextA(impl_->hwnd, text, sizeof text);
  return text;
}

void Form::setCaption(const std::string& caption) { SetWindowTextA(impl_->hwnd, caption.c_str()); }

void Form::show() { ShowWindow(impl_->hwnd, impl_->style == FormStyle::ToolPanel ? SW_SHOWNA : SW_SHOW); }

void Form::showSoon() { PostMessageA(impl_->hwnd, kShowSoon, 0, 0); }

void Form::hide() { ShowWindow(impl_->hwnd, SW_HIDE); }

bool Form::visible() const { return IsWindowVisible(impl_->hwnd) != FALSE; }

void Form::unload() { impl_->destroy(); }

bool Form::loaded() const { return impl_->hwnd != nullptr; }

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

struct PopupMenu::Impl {
  HMENU handle;
  std::vector<MenuItem> items;
};

PopupMenu::PopupMenu(const char*, std::vector<MenuItem> items)
    : impl_(std::make_unique<Impl>(Impl{CreatePopupMenu(), std::move(items)})) {
  UINT_PTR id = 1;
  for (const MenuItem& item : impl_->items) AppendMenuA(impl_->handle, MF_STRING, id++, item.caption.c_str());
}

PopupMenu::~PopupMenu() { DestroyMenu(impl_->handle); }

void Form::popupMenu(PopupMenu& menu, unsigned flags) {
  POINT at;
  GetCursorPos(&at);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu.impl_->handle, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, impl_->hwnd, nullptr));
  if (chosen >= 1 && chosen <= menu.impl_->items.size()) menu.impl_->items[chosen - 1].onClick();
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

CommandButton::CommandButton(Form& form, const char*, TwipsRect bounds, const std::string& caption, Font font,
                             std::function<void()> onClick) {
  Form::Impl& impl = *form.impl_;
  const RECT r = toPixels(bounds);
  const bool first = impl.buttons.empty();
  const int id = IDOK + static_cast<int>(impl.buttons.size());
  HWND button = CreateWindowExA(0, "BUTTON", caption.c_str(),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (first ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), r.left,
                                r.top, r.right - r.left, r.bottom - r.top, impl.hwnd,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(impl.font(font)), FALSE);
  if (first) impl.firstButton = button;
  impl.buttons.push_back(std::move(onClick));
}

PictureBox::PictureBox(Form& form, const char*, TwipsRect bounds) {
  const RECT r = toPixels(bounds);
  HWND window = CreateWindowExA(0, kPictureClass, "", WS_CHILD, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                form.impl_->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  hwnd_ = win::toHandle(window);
}

PictureBox::~PictureBox() {
  HWND window = win::fromHandle<HWND>(hwnd_);
  if (IsWindow(window)) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

namespace {
// Session notifications arrived with Windows XP: looked up at run time.
using RegisterSessionNotification = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSessionNotification = BOOL(WINAPI*)(HWND);

HMODULE loadSystemLibrary(const char* name) {
  char path[MAX_PATH];
  const UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH) return nullptr;
  lstrcatA(path, "\\");
  lstrcatA(path, name);
  return LoadLibraryA(path);
}
}  // namespace

ResumeWatch::ResumeWatch(Form& form, std::function<void()> onResume) : form_(form) {
  Form::Impl& impl = *form.impl_;
  impl.onResume = std::move(onResume);
  HMODULE api = loadSystemLibrary("wtsapi32.dll");
  const auto registerFor =
      api != nullptr ? reinterpret_cast<RegisterSessionNotification>(
                           reinterpret_cast<void*>(GetProcAddress(api, "WTSRegisterSessionNotification")))
                     : nullptr;
  if (registerFor != nullptr && registerFor(impl.hwnd, kNotifyForThisSession)) {
    impl.sessionApi = api;
  } else if (api != nullptr) {
    FreeLibrary(api);
  }
}

ResumeWatch::~ResumeWatch() {
  Form::Impl& impl = *form_.impl_;
  impl.onResume = nullptr;
  if (impl.sessionApi == nullptr) return;
  const auto unregisterFor = reinterpret_cast<UnregisterSessionNotification>(
      reinterpret_cast<void*>(GetProcAddress(impl.sessionApi, "WTSUnRegisterSessionNotification")));
  if (unregisterFor != nullptr) unregisterFor(impl.hwnd);
  FreeLibrary(impl.sessionApi);
  impl.sessionApi = nullptr;
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
    armedAt_ = GetTickCount();
    if (!enabled_) {
      periodMs_ = intervalMs_;
      SetTimer(form_.impl_->hwnd, id_, periodMs_, nullptr);
    }
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

void messageBox(const std::string& text, const std::string& title) {
  MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK);
}

void startProgram(const std::string& path, int showCommand) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process = {};
  // The path names the file, so Windows searches no folder for it; quoted on
  // the command line, a path with spaces stays one argument.
  std::string line = "\"" + path + "\"";  // CreateProcessA may write to it
  if (CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

namespace {

DWORD WINAPI runJob(void* parameter) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(parameter));
  // The shell's functions may hand the work to extensions that need COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  (*job)();
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

void inBackground(std::function<void()> job) {
  auto* owned = new std::function<void()>(std::move(job));
  const HANDLE thread = CreateThread(nullptr, 0, runJob, owned, 0, nullptr);
  if (thread == nullptr) {
    delete owned;
    return;
  }
  CloseHandle(thread);
}

int runMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // The program's timers have no callbacks: a WM_TIMER naming one was
    // posted by someone else, and dispatching it would call that address.
    if (msg.message == WM_TIMER && msg.lParam != 0) continue;
    // Tab, Enter and the rest of a dialog's keyboard.
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    const Form::Impl* form = root != nullptr ? formOf(root) : nullptr;
    if (form != nullptr && form->style == FormStyle::Dialog && IsDialogMessageA(root, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace tk
