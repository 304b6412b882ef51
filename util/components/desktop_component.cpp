// The desktop component base and the message timer.
#include "util/components/desktop_component.h"

#include "platform/gui/application.h"
#include "platform/gui/user.h"

namespace {
constexpr const char* kTimerWindowClass = "TUtlTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TUtlCustomTimer::TUtlCustomTimer(TComponent* owner) : TUtlComponent(owner) {
  static const bool registered = [] {
    WNDCLASSEXA wc;
    wc.lpfnWndProc = HiddenProc;
    wc.lpszClassName = kTimerWindowClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, 0, 0, nullptr, nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtlCustomTimer::~TUtlCustomTimer() {
  enabled_ = false;
  UpdateTimer();
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT TUtlCustomTimer::HiddenProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* timer = reinterpret_cast<TUtlCustomTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!timer) return DefWindowProcA(hwnd, msg, wparam, lparam);
  TMessage m{msg, wparam, lparam, 0};
  timer->WndProc(m);
  return m.Result;
}

void TUtlCustomTimer::WndProc(TMessage& msg) {
  if (msg.Msg == WM_TIMER) {
    try {
      DoTimer();
    } catch (const Exception& e) {
      Application->HandleException(this, e);
    }
    return;
  }
  msg.Result = DefWindowProcA(window_, msg.Msg, msg.WParam, msg.LParam);
}

void TUtlCustomTimer::DoTimer() {
  if (onTimer_) onTimer_(this);
}

void TUtlCustomTimer::UpdateTimer() {
  if (running_) KillTimer(window_, kTimerId);
  running_ = false;
  if (interval_ != 0 && enabled_ && onTimer_) {
    if (!SetTimer(window_, kTimerId, interval_)) throw EOutOfResources("Not enough timers available");
    running_ = true;
  }
}

void TUtlCustomTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TUtlCustomTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

void TUtlCustomTimer::SetOnTimer(TNotifyEvent value) {
  onTimer_ = std::move(value);
  UpdateTimer();
}
