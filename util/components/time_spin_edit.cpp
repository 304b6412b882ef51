// Time spin edit: the generic spin edit (arrows, keys, focus, clipboard,
// layout) and the time-of-day model (text form, stepping, overtyping, range).
#include "util/components/time_spin_edit.h"

#include <cmath>

#include "platform/rtl/format.h"
#include "platform/rtl/format_settings.h"

namespace {
int g_beeps = 0;

char TimeSeparator() {
  const char sep = FormatSettings().TimeSeparator;
  return sep ? sep : ':';
}
AnsiString Designator(bool pm) {
  const AnsiString& s = pm ? FormatSettings().TimePMString : FormatSettings().TimeAMString;
  return s.empty() ? AnsiString(pm ? "pm" : "am") : s;
}
}  // namespace

// --- TUtlCustomSpinEdit ----------------------------------------------------------------------

TUtlCustomSpinEdit::TUtlCustomSpinEdit(TComponent* owner) : TUtlInnerControlEdit(owner) {
  arrows_ = new TUtlSpinButton(this);
  arrows_->SetParent(this);
  arrows_->SetFocusControl(this);
  arrows_->OnUpClick = [this](TObject*) { HandleUpArrow(); };
  arrows_->OnDownClick = [this](TObject*) { HandleDownArrow(); };
  SetText("");
}

TUtlCustomSpinEdit::~TUtlCustomSpinEdit() { arrows_ = nullptr; }

int TUtlCustomSpinEdit::BeepCount() { return g_beeps; }
void TUtlCustomSpinEdit::Beep() { ++g_beeps; }

void TUtlCustomSpinEdit::SetUseRanges(bool value) {
  useRanges_ = value;
  ReapplyValue();
}

void TUtlCustomSpinEdit::SetEnabled(bool value) {
  TCustomEdit::SetEnabled(value);
  if (arrows_) arrows_->SetEnabled(value);
}

void TUtlCustomSpinEdit::HandleUpArrow() {
  if (ReadOnly())
    Beep();
  else if (arrows_->UpEnabled())
    StepUp();
}

void TUtlCustomSpinEdit::HandleDownArrow() {
  if (ReadOnly())
    Beep();
  else if (arrows_->DownEnabled())
    StepDown();
}

void TUtlCustomSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_UP) {
    HandleUpArrow();
    key = 0;
  } else if (key == VK_DOWN) {
    HandleDownArrow();
    key = 0;
  }
  TCustomEdit::KeyDown(key, shift);
}

void TUtlCustomSpinEdit::KeyPress(char& key) {
  if (!AcceptsKey(key)) {
    key = 0;
    Beep();
    return;
  }
  TCustomEdit::KeyPress(key);
}

void TUtlCustomSpinEdit::PlaceInner() {
  if (!arrows_) return;
  // Controls here have no sunken 3-D frame, so the flat placement always holds.
  const int w = arrows_->Width();
  arrows_->SetBounds(Width() - w, 1, w, Height() - 2);
  LimitTextRect();
}

// Text never runs under the arrows.
void TUtlCustomSpinEdit::LimitTextRect() {
  if (!HandleAllocated() || !arrows_) return;
  RECT r;
  SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  r = Rect(0, 0, ClientWidth() - arrows_->Width() - 1, r.Bottom);
  SendMessageA(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TUtlCustomSpinEdit::DoEnter() {
  if (AutoSelect() && !(ControlState() & csLButtonDown)) SelectAll();
  TWinControl::DoEnter();
}

void TUtlCustomSpinEdit::DoExit() {
  TCustomEdit::DoExit();
  CheckOnExit();
}

// --- TUtlTimeSpinEdit ------------------------------------------------------------------------

TUtlTimeSpinEdit::TUtlTimeSpinEdit(TComponent* owner) : TUtlCustomSpinEdit(owner) { RenderText(); }

TDateTime TUtlTimeSpinEdit::Value() const {
  TDateTime t;
  return TryEncodeTime(hour_, minute_, second_, 0, t) ? t : minValue_;
}

void TUtlTimeSpinEdit::SetParts(TDateTime t) {
  int ms;
  DecodeTime(t - std::floor(t), hour_, minute_, second_, ms);
}

void TUtlTimeSpinEdit::SetValue(TDateTime value) {
  SetParts(value);
  RenderText();
}

void TUtlTimeSpinEdit::SetMinValue(TDateTime value) {
  if (value > maxValue_) return;
  minValue_ = value;
  ClampToRange(Value());
}

void TUtlTimeSpinEdit::SetMaxValue(TDateTime value) {
  if (value < minValue_) return;
  maxValue_ = value;
  ClampToRange(Value());
}

void TUtlTimeSpinEdit::SetShowSeconds(bool value) {
  showSeconds_ = value;
  ReapplyValue();
}

void TUtlTimeSpinEdit::SetTimeDisplay(TUtlTimeDisplay value) {
  if (value == display_) return;
  display_ = value;
  ReapplyValue();
}

TDateTime TUtlTimeSpinEdit::ClampToRange(TDateTime t) {
  if (!UseRanges()) {
    ArrowPair()->SetUpEnabled(true);
    ArrowPair()->SetDownEnabled(true);
    return t;
  }
  const TDateTime result = t < minValue_ ? minValue_ : t > maxValue_ ? maxValue_ : t;
  ArrowPair()->SetUpEnabled(t < maxValue_);
  ArrowPair()->SetDownEnabled(t > minValue_);
  return result;
}

void TUtlTimeSpinEdit::RenderText() {
  const char sep = TimeSeparator();
  AnsiString text;
  if (display_ == td24Hour) {
    text = Format("%.2d%s%.2d", {hour_, AnsiString(1, sep), minute_});
  } else {
    const int shown = hour_ == 0 || hour_ == 12 ? 12 : hour_ % 12;
    text = Format("%2d%s%.2d", {shown, AnsiString(1, sep), minute_});
  }
  if (showSeconds_) text += Format("%s%.2d", {AnsiString(1, sep), second_});
  if (display_ == td12Hour) text += " " + Designator(hour_ > 11);
  if (text != Text()) SetText(text);
}

TUtlTimeSpinEdit::Field TUtlTimeSpinEdit::FieldAt(int caret) const {
  if (caret >= 0 && caret <= 2) return Field::Hour;
  if (caret >= 3 && caret <= 5) return Field::Minute;
  if (caret >= 6 && caret <= 8) return display_ == td12Hour && !showSeconds_ ? Field::AmPm : Field::Second;
  if (caret >= 9 && caret <= 11 && display_ == td12Hour) return Field::AmPm;
  return Field::None;
}

void TUtlTimeSpinEdit::Step(int delta) {
  const int caret = SelStart();
  const Field field = FieldAt(caret);
  auto wrap = [](int v, int n) { return (v % n + n) % n; };
  int selStart = 0, selLength = 0;
  switch (field) {
    case Field::Hour:
      // The 12-hour step stays within its half of the day.
      hour_ = display_ == td24Hour ? wrap(hour_ + delta, 24) : (hour_ / 12) * 12 + wrap(hour_ % 12 + delta, 12);
      selLength = 2;
      break;
    case Field::Minute:
      minute_ = wrap(minute_ + delta, 60);
      selStart = 3, selLength = 2;
      break;
    case Field::Second:
      second_ = wrap(second_ + delta, 60);
      selStart = 6, selLength = 2;
      break;
    case Field::AmPm:
      hour_ = (hour_ + 12) % 24;
      selStart = caret >= 9 ? 9 : 6, selLength = 3;
      break;
    case Field::None:
      break;
  }
  SetValue(ClampToRange(Value()));
  RenderText();
  SetSelStart(selStart);
  SetSelLength(selLength);
}

bool TUtlTimeSpinEdit::AcceptsKey(char key) {
  if (ReadOnly()) return false;
  const int p = SelStart();
  const bool overtypable = p == 0 || p == 1 || p == 3 || p == 4 ||
                           ((p == 6 || p == 7) && (display_ == td24Hour || showSeconds_));
  AnsiString text = Text();
  if (!overtypable || p >= int(text.size())) return false;
  text[size_t(p)] = key;
  TDateTime parsed;
  if (!TryStrToTime(text, parsed)) return false;
  const TDateTime t = ClampToRange(parsed);
  SetSelLength(1);
  SetParts(t);
  return true;
}

void TUtlTimeSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (key == VK_DELETE) key = 0;
  TUtlCustomSpinEdit::KeyDown(key, shift);
}

void TUtlTimeSpinEdit::CheckOnExit() {
  const TDateTime clamped = ClampToRange(Value());
  if (clamped != Value()) SetValue(clamped);
}
