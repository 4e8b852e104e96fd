#include "platform/win32/form_impl.h"

namespace tk {

// Each timer of a form is one Windows timer of the form's window, its id
// one more than its place in the form's list.
struct Timer::Impl {
  Form& form;
  unsigned id;
  unsigned intervalMs;
  bool enabled;
  unsigned long armedAt;  // when the interval last started, in ms
  unsigned periodMs;      // the period Windows' timer runs with now
  std::function<void()> onTick;
};

Timer::Timer(Form& form, const char*, unsigned intervalMs, bool enabled, std::function<void()> onTick)
    : impl_(std::make_unique<Impl>(Impl{form, static_cast<unsigned>(form.impl_->timers.size() + 1), intervalMs, false,
                                        0, 0, std::move(onTick)})) {
  form.impl_->timers.push_back(impl_.get());
  setEnabled(enabled);
}

Timer::~Timer() {
  setEnabled(false);
  impl_->form.impl_->timers[impl_->id - 1] = nullptr;
}

void Timer::setEnabled(bool enabled) {
  Impl& t = *impl_;
  const HWND window = t.form.impl_->hwnd;
  if (enabled) {
    t.armedAt = GetTickCount();
    if (!t.enabled) {
      t.periodMs = t.intervalMs;
      SetTimer(window, t.id, t.periodMs, nullptr);
    }
  } else if (t.enabled) {
    KillTimer(window, t.id);
  }
  t.enabled = enabled;
}

bool Timer::enabled() const { return impl_->enabled; }

void Form::Impl::tick(UINT_PTR id) {
  Timer::Impl* timer = id >= 1 && id <= timers.size() ? timers[id - 1] : nullptr;
  if (timer == nullptr || !timer->enabled) return;
  // Restarted since Windows' timer was set: wait out the rest.
  const DWORD elapsed = GetTickCount() - timer->armedAt;
  if (elapsed < timer->intervalMs) {
    timer->periodMs = timer->intervalMs - elapsed;
    SetTimer(hwnd, id, timer->periodMs, nullptr);
    return;
  }
  timer->onTick();
  if (timer->enabled && timer->periodMs != timer->intervalMs) {
    timer->periodMs = timer->intervalMs;
    SetTimer(hwnd, id, timer->periodMs, nullptr);
  }
}

}  // namespace tk
