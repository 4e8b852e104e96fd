#include <cmath>
#include <map>
#include <stdexcept>
#include <vector>

#include "platform/toolkit.h"
#include "recorder.h"

namespace tk {

struct Form::Impl {
  win::Handle hwnd;
  fake::FormState state;
  std::map<std::string, Timer*> timers;
  std::vector<std::string> shapeNames;

  void fire(const std::string& name) {
    Timer* timer = timers.at(name);
    if (timer->enabled_) timer->onTick_();
  }
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

}  // namespace

Form::Form(const std::string& caption, int clientWidth, int clientHeight) : impl_(std::make_unique<Impl>()) {
  static win::Handle nextHandle = 0x1000;
  impl_->hwnd = nextHandle += 0x10;
  fake::FormState& s = impl_->state;
  s.caption = caption;
  s.clientWidth = clientWidth;
  s.clientHeight = clientHeight;
  const float tpp = fake::screen().twipsPerPixel;
  s.width = std::round(clientWidth / tpp + fake::kFrameWidth) * tpp;
  s.height = std::round(clientHeight / tpp + fake::kFrameHeight) * tpp;
  forms()[impl_->hwnd] = impl_.get();
  fake::record("Form", caption);
}

Form::~Form() {
  forms().erase(impl_->hwnd);
  fake::record(impl_->state.caption + ".Unload");
}

win::Handle Form::hwnd() const { return impl_->hwnd; }

void Form::show() {
  impl_->state.visible = true;
  fake::record(impl_->state.caption + ".Show");
}

void Form::hide() {
  impl_->state.visible = false;
  fake::record(impl_->state.caption + ".Hide");
}

bool Form::visible() const { return impl_->state.visible; }

void Form::setWindowStateNormal() { fake::record(impl_->state.caption + ".WindowState", 0); }

win::Handle Form::icon() const { return fake::kProgramIcon; }

float Form::width() const { return impl_->state.width; }

float Form::height() const { return impl_->state.height; }

void Form::move(float left, float top) {
  impl_->state.left = left;
  impl_->state.top = top;
  fake::record(impl_->state.caption + ".Move", left, top);
}

Label::Label(Form& form, const char* name, TwipsRect bounds, const std::string& caption, Font font) {
  form.impl_->state.labels[name] = {bounds, caption, font};
}

Shape::Shape(Form& form, const char* name, TwipsRect, Colour fill)
    : form_(form), index_(static_cast<int>(form.impl_->shapeNames.size())) {
  form.impl_->shapeNames.push_back(name);
  form.impl_->state.shapes[name] = fill;
}

void Shape::setFillColor(Colour fill) {
  const std::string& name = form_.impl_->shapeNames[index_];
  form_.impl_->state.shapes[name] = fill;
  fake::record(name + ".FillColor", fill);
}

PictureBox::PictureBox(Form& form, const char*, TwipsRect) : hwnd_(form.impl_->hwnd + 1) {}

Timer::Timer(Form& form, const char* name, unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : form_(form), id_(0), intervalMs_(intervalMs), enabled_(enabled), onTick_(std::move(onTick)) {
  form.impl_->timers[name] = this;
  form.impl_->state.timerIntervals[name] = intervalMs;
}

Timer::~Timer() = default;

void Timer::setEnabled(bool enabled) {
  enabled_ = enabled;
  for (const auto& [name, timer] : form_.impl_->timers) {
    if (timer == this) fake::record(name + ".Enabled", enabled);
  }
}

bool Timer::enabled() const { return enabled_; }

namespace Screen {
float width() { return fake::screen().widthTwips; }
float height() { return fake::screen().heightTwips; }
float twipsPerPixelX() { return fake::screen().twipsPerPixel; }
}  // namespace Screen

win::Handle appInstance() { return 0x400000; }

void shell(const std::string& commandLine, int showCommand) { fake::record("Shell", commandLine, showCommand); }

int runMessageLoop() { return 0; }

void quit(int exitCode) { fake::record("quit", exitCode); }

}  // namespace tk

namespace fake {

FormState& form(win::Handle hwnd) { return tk::implOf(hwnd).state; }

void tick(win::Handle hwnd, const std::string& timer) { tk::implOf(hwnd).fire(timer); }

}  // namespace fake
