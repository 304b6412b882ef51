// The spin arrow pair: two stacked arrow buttons that repeat their click
// while held (after 400 ms, then every 100 ms, and once more on release over
// the arrow), report OnUpClick/OnDownClick, hand the focus to a partner
// control and can be enabled one by one. The time spin edit holds one.
#pragma once

#include "platform/gui/controls.h"
#include "platform/gui/timer.h"
#include "util/components/styled_speed_button.h"

enum TUtlTimerButtonFlag : unsigned { tbfFocusRect = 1, tbfAllowTimer = 2 };

// An arrow: a combo-box style speed button that repeats its click while held
// and can show a focus rectangle.
class TUtlTimerSpeedButton : public TUtlStyledSpeedButton {
public:
  explicit TUtlTimerSpeedButton(TComponent* owner);
  ~TUtlTimerSpeedButton() override;

  unsigned RepeatFlags() const { return repeatFlags_; }
  void SetRepeatFlags(unsigned flags);

  static constexpr unsigned kInitPause = 400, kRepeatInterval = 100;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  void TimerRepeat();
  void StopTimer();

  unsigned repeatFlags_ = 0;
};

class TUtlSpinButton : public TWinControl {
public:
  explicit TUtlSpinButton(TComponent* owner);
  ~TUtlSpinButton() override;

  TUtlTimerSpeedButton* UpButton() const { return up_; }
  // The arrows' pictures; null brings back the built-in arrow.
  void SetUpGlyph(TBitmap* value) { SetArrowGlyph(up_, upGlyphIsDefault_, value, kUpArrow); }
  void SetDownGlyph(TBitmap* value) { SetArrowGlyph(down_, downGlyphIsDefault_, value, kDownArrow); }
  bool UpGlyphIsDefault() const { return upGlyphIsDefault_; }
  bool DownGlyphIsDefault() const { return downGlyphIsDefault_; }
  // How many images each arrow's picture holds side by side (1 to 4).
  int UpNumGlyphs() const { return up_->NumGlyphs(); }
  void SetUpNumGlyphs(int value) { up_->SetNumGlyphs(value); }
  int DownNumGlyphs() const { return down_->NumGlyphs(); }
  void SetDownNumGlyphs(int value) { down_->SetNumGlyphs(value); }
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
  enum ArrowPicture { kUpArrow, kDownArrow };
  TUtlTimerSpeedButton* MakeArrow();
  void SetArrowGlyph(TUtlTimerSpeedButton* arrow, bool& isDefault, TBitmap* value, ArrowPicture picture);
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
  bool upGlyphIsDefault_ = true;
  bool downGlyphIsDefault_ = true;
};
