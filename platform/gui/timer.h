// TTimer: fires OnTimer every Interval milliseconds while Enabled, on the
// message loop (a thread timer of the loop, so the virtual clock drives it).
#pragma once

#include "platform/gui/controls.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);

  TNotifyEvent OnTimer;

protected:
  void Loaded() override;

private:
  static void TimerProc(HWND, UINT, UINT_PTR id, std::uint32_t);
  void UpdateTimer();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  UINT_PTR id_ = 0;
};
