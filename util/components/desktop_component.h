// The base of the desktop components and their message timer: a timer that
// runs on a hidden window's timer messages, so it lives in the message loop
// like every window (the tray icon, the colour picker and the hooks' re-hook
// step build on it).
#pragma once

#include "platform/gui/controls.h"

VX_DECLARE_EXCEPTION(EOutOfResources, Exception)

class TUtlComponent : public TComponent {
public:
  explicit TUtlComponent(TComponent* owner) : TComponent(owner) {}
  // A published text nothing reads; kept so stored forms load.
  const AnsiString& About() const { return about_; }
  void SetAbout(const AnsiString& value) { about_ = value; }

private:
  AnsiString about_;
};

// Fires OnTimer every Interval milliseconds while Enabled; a timer without
// OnTimer or with Interval 0 holds no platform timer.
class TUtlCustomTimer : public TUtlComponent {
public:
  explicit TUtlCustomTimer(TComponent* owner);
  ~TUtlCustomTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned value);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent value);
  // The hidden window whose timer 1 drives this one.
  HWND WindowHandle() const { return window_; }
  // True while the platform timer runs.
  bool TimerRunning() const { return running_; }

protected:
  // The timer message runs DoTimer (an error goes to the application's error
  // handler and the timer goes on); others get the default processing.
  virtual void WndProc(TMessage& msg);
  // May free this timer: nothing touches it afterwards.
  virtual void DoTimer();

private:
  static LRESULT HiddenProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  HWND window_ = 0;
  bool running_ = false;
};
