// The spin arrow pair: two stacked arrow buttons that repeat their click
// while held (after 400 ms, then every 100 ms, and once more on release over
// the arrow), report OnUpClick/OnDownClick, hand the focus to a partner
// control and can be enabled one by one. The time spin edit holds one.
#pragma once

#include "platform/gui/controls.h"
#include "platform/gui/timer.h"

enum TSpeedButtonState { sbUp, sbDisabled, sbDown, sbLatched, sbInactive };
enum TUtlTimerButtonFlag : unsigned { tbfFocusRect = 1, tbfAllowTimer = 2 };

// A windowless arrow button drawn like a combo-box button.
class TUtlTimerSpeedButton : public TGraphicControl {
public:
  enum class Arrow { Up, Down };
  TUtlTimerSpeedButton(TComponent* owner, Arrow arrow);
  ~TUtlTimerSpeedButton() override;

  unsigned RepeatFlags() const { return repeatFlags_; }
  void SetRepeatFlags(unsigned flags);
  TSpeedButtonState State() const { return state_; }
  void SetEnabled(bool enabled) override;

  static constexpr unsigned kInitPause = 400, kRepeatInterval = 100;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  bool Inside(int x, int y) const { return x >= 0 && x < Width() && y >= 0 && y <= Height(); }
  void SetState(TSpeedButtonState state);
  void TimerRepeat();
  void StopTimer();

  Arrow arrow_;
  unsigned repeatFlags_ = 0;
  TSpeedButtonState state_ = sbUp;
  bool dragging_ = false;
};

class TUtlSpinButton : public TWinControl {
public:
  explicit TUtlSpinButton(TComponent* owner);
  ~TUtlSpinButton() override;

  TUtlTimerSpeedButton* UpButton() const { return up_; }
  TUtlTimerSpeedButton* DownButton() const { return down_; }
  // The arrow's own state; writing keeps the wish for when the pair is enabled.
  bool UpEnabled() const { return up_->Enabled(); }
  void SetUpEnabled(bool value) { SetArrowEnabled(up_, upWanted_, value); }
  bool DownEnabled() const { return down_->Enabled(); }
  void SetDownEnabled(bool value) { SetArrowEnabled(down_, downWanted_, value); }
  void SetEnabled(bool value) override;
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* value);
  void SetBounds(int left, int top, int width, int height) override;

  TNotifyEvent OnUpClick;
  TNotifyEvent OnDownClick;

protected:
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TUtlTimerSpeedButton* MakeArrow(TUtlTimerSpeedButton::Arrow arrow);
  void SetArrowEnabled(TUtlTimerSpeedButton* arrow, bool& wanted, bool value);
  void FitArrows(int& width, int height);
  void ArrowPressed(TUtlTimerSpeedButton* arrow);
  void MoveFocusMark(TUtlTimerSpeedButton* arrow);

  TUtlTimerSpeedButton* up_ = nullptr;
  TUtlTimerSpeedButton* down_ = nullptr;
  TUtlTimerSpeedButton* focusedArrow_ = nullptr;
  TWinControl* focusControl_ = nullptr;
  bool upWanted_ = true;
  bool downWanted_ = true;
};
