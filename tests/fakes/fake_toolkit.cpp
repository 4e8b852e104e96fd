#include <cmath>
#include <map>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/toolkit.h"
#include "recorder.h"

namespace tk {

namespace {
// Milliseconds since the fakes started, as fake::advance moves them.
unsigned long now = 0;
}  // namespace

struct Timer::Impl {
  Form& form;
  unsigned intervalMs;
  bool enabled;
  std::function<void()> onTick;
  unsigned long armedAt = 0;
};

struct Form::Impl {
  win::Handle hwnd;
  fake::FormState state;
  std::map<std::string, Timer::Impl*> timers;
  std::vector<std::string> shapeNames;
  std::map<std::string, std::function<void()>> buttons;  // by caption
  std::function<void()> onResume;
  bool showPending = false;

  void fire(const std::string& name) {
    Timer::Impl* timer = timers.at(name);
    if (timer->enabled) timer->onTick();
  }
};

struct PopupMenu::Impl {
  std::string name;
  std::vector<MenuItem> items;
};

namespace {

std::map<win::Handle, Form::Impl*>& forms() {
  static std::map<win::Handle, Form::Impl*> all;
  return all;
}

Form::Impl& implOf(win::Handle hwnd) {
  const auto found = forms().find(hwnd);
  if (found == forms().end()) throw std::out_of_range("no fake form with that handle");
  return *found->second;
}

int loadedForms = 0;

}  // namespace

Form::Form(const std::string& caption, int clientWidth, int clientHeight, FormStyle style)
    : impl_(std::make_unique<Impl>()) {
  static win::Handle nextHandle = 0x1000;
  impl_->hwnd = nextHandle += 0x10;
  fake::FormState& s = impl_->state;
  s.style = style;
  s.caption = caption;
  s.clientWidth = clientWidth;
  s.clientHeight = clientHeight;
  const float tpp = fake::screen().twipsPerPixel;
  s.width = std::round(clientWidth / tpp + fake::kFrameWidth) * tpp;
  s.height = std::round(clientHeight / tpp + fake::kFrameHeight) * tpp;
  forms()[impl_->hwnd] = impl_.get();
  ++loadedForms;
}

Form::~Form() {
  if (impl_->state.loaded) --loadedForms;
  forms().erase(impl_->hwnd);
}

win::Handle Form::hwnd() const { return impl_->hwnd; }

std::string Form::caption() const { return impl_->state.caption; }

void Form::setCaption(const std::string& caption) {
  fake::recordMember(impl_->state.caption, "Caption", caption);
  impl_->state.caption = caption;
}

void Form::show() {
  impl_->state.visible = true;
  fake::recordMember(impl_->state.caption, "Show");
}

// As Windows would, once the program next handles its messages.
void Form::showSoon() { impl_->showPending = true; }

void Form::hide() { impl_->state.visible = false; }

bool Form::visible() const { return impl_->state.visible; }

void Form::unload() {
  if (!impl_->state.loaded) return;
  impl_->state.loaded = false;
  impl_->state.visible = false;
  fake::recordMember(impl_->state.caption, "Unload");
  if (--loadedForms == 0) {
    fake::record("EndMessageLoop");
    fake::desktop().messageLoopEnded = true;
  }
}

bool Form::loaded() const { return impl_->state.loaded; }

void Form::setWindowStateNormal() { impl_->state.minimized = false; }

win::Handle Form::icon() const { return fake::kProgramIcon; }

float Form::width() const { return impl_->state.width; }

float Form::height() const { return impl_->state.height; }

void Form::move(float left, float top) {
  impl_->state.left = left;
  impl_->state.top = top;
  fake::recordMember(impl_->state.caption, "Move", left, top);
}

void Form::popupMenu(PopupMenu& menu, unsigned flags) {
  impl_->state.menu.clear();
  impl_->state.menuFlags = flags;
  impl_->state.foregroundAtMenu = fake::desktop().foreground;
  for (const MenuItem& item : menu.impl_->items) impl_->state.menu.push_back(item.caption);
  const int choice = fake::answers().menuChoice;
  if (choice >= 0 && choice < static_cast<int>(menu.impl_->items.size())) menu.impl_->items[choice].onClick();
}

PopupMenu::PopupMenu(const char* name, std::vector<MenuItem> items)
    : impl_(std::make_unique<Impl>(Impl{name, std::move(items)})) {}

PopupMenu::~PopupMenu() = default;

Label::Label(Form& form, const char* name, TwipsRect bounds, const std::string& caption, Font font) {
  form.impl_->state.labels[name] = {bounds, caption, font};
}

Shape::Shape(Form& form, const char* name, TwipsRect bounds, Colour fill)
    : form_(form), index_(static_cast<int>(form.impl_->shapeNames.size())) {
  form.impl_->shapeNames.push_back(name);
  form.impl_->state.shapes[name] = fill;
  form.impl_->state.shapeBounds[name] = bounds;
}

void Shape::setFillColor(Colour fill) {
  const std::string& name = form_.impl_->shapeNames[index_];
  form_.impl_->state.shapes[name] = fill;
  fake::recordMember(name, "FillColor", fill);
}

CommandButton::CommandButton(Form& form, TwipsRect, const std::string& caption, Font,
                             std::function<void()> onClick) {
  form.impl_->buttons[caption] = std::move(onClick);
}

PictureBox::PictureBox(Form& form, TwipsRect) : hwnd_(form.impl_->hwnd + 1) {}

PictureBox::~PictureBox() = default;

ResumeWatch::ResumeWatch(Form& form, std::function<void()> onResume) : form_(form) {
  form.impl_->onResume = std::move(onResume);
  fake::recordMember(form.impl_->state.caption, "WatchResume");
}

ResumeWatch::~ResumeWatch() {
  form_.impl_->onResume = nullptr;
  fake::recordMember(form_.impl_->state.caption, "UnwatchResume");
}

Timer::Timer(Form& form, const char* name, unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : impl_(std::make_unique<Impl>(Impl{form, intervalMs, enabled, std::move(onTick), now})) {
  form.impl_->timers[name] = impl_.get();
  form.impl_->state.timerIntervals[name] = intervalMs;
}

Timer::~Timer() = default;

// Arming a timer, armed or not, starts its interval over.
void Timer::setEnabled(bool enabled) {
  impl_->enabled = enabled;
  if (enabled) impl_->armedAt = now;
  for (const auto& [name, timer] : impl_->form.impl_->timers) {
    if (timer == impl_.get()) fake::recordMember(name, "Enabled", enabled);
  }
}

bool Timer::enabled() const { return impl_->enabled; }

namespace Screen {
float width() { return fake::screen().widthTwips; }
float height() { return fake::screen().heightTwips; }
float twipsPerPixelX() { return fake::screen().twipsPerPixel; }
}  // namespace Screen

win::Handle appInstance() { return 0x400000; }

struct InstanceMarker::Impl {};
InstanceMarker::InstanceMarker() = default;
InstanceMarker::~InstanceMarker() = default;
bool InstanceMarker::previousInstance() { return fake::answers().previousInstance; }
bool InstanceMarker::waitForPreviousInstance(unsigned) { return fake::answers().previousInstanceEnds; }

void messageBox(const std::string& text, const std::string& title) {
  fake::desktop().messageBoxes.push_back(title + ": " + text);
}

void startProgram(const std::string& path, const std::string& folder, int showCommand) {
  fake::desktop().started.push_back({"", path, "", folder, showCommand, !fake::onTestThread()});
}

// The job runs to its end before this returns, so a test sees all it did,
// unless the test holds jobs back to run them later.
bool inBackground(std::function<void()> job) {
  if (!fake::answers().threadsStart) return false;
  fake::heldJobs().push_back(std::move(job));
  if (!fake::answers().holdJobs) fake::runHeldJobs();
  return true;
}

int runMessageLoop() { return 0; }

}  // namespace tk

namespace fake {

std::vector<std::function<void()>>& heldJobs() {
  static std::vector<std::function<void()>> jobs;
  return jobs;
}

void runHeldJobs() {
  std::vector<std::function<void()>> jobs;
  jobs.swap(heldJobs());
  for (auto& job : jobs) std::thread(std::move(job)).join();
}

FormState& form(win::Handle hwnd) { return tk::implOf(hwnd).state; }

void tick(win::Handle hwnd, const std::string& timer) { tk::implOf(hwnd).fire(timer); }

void advance(unsigned ms) {
  const unsigned long until = tk::now + ms;
  for (;;) {
    // The next timer due, and when.
    tk::Timer::Impl* due = nullptr;
    for (const auto& [hwnd, form] : tk::forms()) {
      for (const auto& [name, timer] : form->timers) {
        if (timer->enabled && (due == nullptr || timer->armedAt + timer->intervalMs < due->armedAt + due->intervalMs)) {
          due = timer;
        }
      }
    }
    if (due == nullptr || due->armedAt + due->intervalMs > until) break;
    tk::now = due->armedAt + due->intervalMs;
    due->armedAt = tk::now;
    due->onTick();
  }
  tk::now = until;
}

void handleMessages() {
  for (const auto& [hwnd, impl] : tk::forms()) {
    if (!impl->showPending) continue;
    impl->showPending = false;
    if (impl->state.loaded) impl->state.visible = true;
  }
}

void click(win::Handle hwnd, const std::string& caption) { tk::implOf(hwnd).buttons.at(caption)(); }

bool resume(win::Handle hwnd) {
  tk::Form::Impl& impl = tk::implOf(hwnd);
  if (!impl.onResume) return false;
  impl.onResume();
  return true;
}

}  // namespace fake
