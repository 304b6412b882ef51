// Time spin edit: a one-line edit holding a time of day with an arrow pair
// inside its right edge. The arrows and the Up/Down keys step the hour,
// minute, second or AM/PM part at the caret (wrapping at the ends); single
// digits may be overtyped when the result is still a valid time; an optional
// range holds the value and switches the arrows off at its ends.
#pragma once

#include "platform/rtl/datetime.h"
#include "util/components/inner_control_edit.h"
#include "util/components/spin_button.h"

// The generic spin edit: an edit with an arrow pair, the routing of arrows,
// keys, focus and clipboard, and the hooks a value model fills in.
class TUtlCustomSpinEdit : public TUtlInnerControlEdit {
public:
  explicit TUtlCustomSpinEdit(TComponent* owner);
  ~TUtlCustomSpinEdit() override;

  TUtlSpinButton* ArrowPair() const { return arrows_; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool value) { editorEnabled_ = value; }
  bool UseRanges() const { return useRanges_; }
  void SetUseRanges(bool value);
  void SetEnabled(bool value) override;

  // Number of refused keys and arrows pressed on a read-only box: the alert
  // a desktop would sound (the window layer has no bell).
  static int BeepCount();

protected:
  virtual bool AcceptsKey(char key) { (void)key; return false; }
  virtual void StepDown() = 0;
  virtual void StepUp() = 0;
  virtual void CheckOnExit() = 0;
  virtual void ReapplyValue() = 0;

  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void PlaceInner() override;
  void LimitTextRect() override;
  bool ClipboardEditable() const override { return editorEnabled_ && !ReadOnly(); }
  void DoEnter() override;
  void DoExit() override;
  static void Beep();

private:
  void HandleUpArrow();
  void HandleDownArrow();

  TUtlSpinButton* arrows_ = nullptr;
  bool editorEnabled_ = true;
  bool useRanges_ = false;
};

enum TUtlTimeDisplay { td24Hour, td12Hour };

class TUtlTimeSpinEdit : public TUtlCustomSpinEdit {
public:
  explicit TUtlTimeSpinEdit(TComponent* owner);

  TDateTime Value() const;
  void SetValue(TDateTime value);
  TDateTime MinValue() const { return minValue_; }
  void SetMinValue(TDateTime value);
  TDateTime MaxValue() const { return maxValue_; }
  void SetMaxValue(TDateTime value);
  bool ShowSeconds() const { return showSeconds_; }
  void SetShowSeconds(bool value);
  TUtlTimeDisplay TimeDisplay() const { return display_; }
  void SetTimeDisplay(TUtlTimeDisplay value);
  int HourPart() const { return hour_; }
  int MinutePart() const { return minute_; }
  int SecondPart() const { return second_; }

protected:
  bool AcceptsKey(char key) override;
  void StepDown() override { Step(-1); }
  void StepUp() override { Step(+1); }
  void CheckOnExit() override;
  void ReapplyValue() override { SetValue(ClampToRange(Value())); }
  void KeyDown(WORD& key, TShiftState shift) override;

private:
  friend class TUtlCustomSpinEdit;
  enum class Field { None, Hour, Minute, Second, AmPm };
  Field FieldAt(int caret) const;
  void Step(int delta);
  TDateTime ClampToRange(TDateTime t);
  void RenderText();
  void SetParts(TDateTime t);

  TDateTime minValue_ = 0.5;
  TDateTime maxValue_ = 0.5;
  TUtlTimeDisplay display_ = td24Hour;
  int hour_ = 12, minute_ = 0, second_ = 0;
  bool showSeconds_ = false;
};
