// TTimer over the message loop's thread timers.
#include "platform/gui/timer.h"

#include <map>

namespace {
std::map<UINT_PTR, TTimer*>& Timers() {
  static std::map<UINT_PTR, TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

// A timer being read from a form starts once it is loaded.
void TTimer::UpdateTimer() {
  if (id_) {
    KillTimer(0, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || InState(csLoading) || InState(csDestroying)) return;
  id_ = SetTimer(0, 0, interval_, TimerProc);
  Timers()[id_] = this;
}

void TTimer::TimerProc(HWND, UINT, UINT_PTR id, std::uint32_t) {
  auto it = Timers().find(id);
  if (it != Timers().end() && it->second->OnTimer) it->second->OnTimer(it->second);
}
