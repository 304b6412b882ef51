// The spin arrow pair (placement, enabled wishes, repeat timing on the
// virtual clock) and the time spin edit (text forms, stepping at the caret,
// overtyping with validation, the range and its arrows, clamping on exit,
// read-only and the clipboard).
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gui/application.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "platform/gui/headless_backend.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/format_settings.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/util/shown_form.h"
#include "util/components/time_spin_edit.h"

namespace {

TDateTime At(int h, int m, int s = 0) { return EncodeTime(h, m, s, 0); }

using SpinForm = ShownForm;

TEST_F(SpinForm, ArrowsSplitTheHeightAndKeepAMinimumWidth) {
  auto* spin = new TUtlSpinButton(form);
  spin->SetParent(form);
  spin->SetBounds(10, 10, 20, 17);
  EXPECT_EQ(spin->UpButton()->BoundsRect(), Rect(0, 0, 20, 8));
  EXPECT_EQ(spin->DownButton()->BoundsRect(), Rect(0, 8, 20, 17));
  spin->SetBounds(10, 10, 10, 17);
  EXPECT_EQ(spin->Width(), 15);
  // Each arrow's image count is the arrow's own.
  EXPECT_EQ(spin->UpNumGlyphs(), 1);
  spin->SetUpNumGlyphs(3);
  spin->SetDownNumGlyphs(9);
  EXPECT_EQ(spin->UpButton()->NumGlyphs(), 3);
  EXPECT_EQ(spin->DownNumGlyphs(), 4);
  EXPECT_EQ(spin->DownButton()->NumGlyphs(), 4);

  spin->SetUpEnabled(false);
  spin->SetEnabled(false);
  EXPECT_FALSE(spin->DownEnabled());
  spin->SetEnabled(true);
  EXPECT_FALSE(spin->UpEnabled());
  EXPECT_TRUE(spin->DownEnabled());
}

TEST_F(SpinForm, AHeldArrowRepeatsAfter400ThenEvery100AndOnceOnRelease) {
  auto* spin = new TUtlSpinButton(form);
  spin->SetParent(form);
  spin->SetBounds(10, 10, 20, 40);
  int ups = 0, downs = 0;
  spin->OnUpClick = [&](TObject*) { ++ups; };
  spin->OnDownClick = [&](TObject*) { ++downs; };
  const TPoint p = spin->UpButton()->ClientToScreen(Point(10, 10));
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  Tick(399);
  EXPECT_EQ(ups, 0);
  Tick(1);
  EXPECT_EQ(ups, 1);
  Tick(100);
  Tick(100);
  EXPECT_EQ(ups, 3);
  HeadlessMouseUp(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(ups, 4);
  Tick(1000);
  EXPECT_EQ(ups, 4);

  // Released away from the arrow: no final click, and no more repeats.
  const TPoint q = spin->DownButton()->ClientToScreen(Point(10, 10));
  HeadlessMouseDown(q.X, q.Y);
  Application->ProcessMessages();
  Tick(400);
  HeadlessMouseMove(q.X + 200, q.Y);
  HeadlessMouseUp(q.X + 200, q.Y);
  Application->ProcessMessages();
  Tick(1000);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 4);
}

struct TimeEdit : SpinForm {
  void SetUp() override {
    SpinForm::SetUp();
    TFormatSettings fs = CzechFormatSettings();
    fs.TimeSeparator = ':';
    fs.TimeAMString = "am";
    fs.TimePMString = "pm";
    settings = std::make_unique<TScopedFormatSettings>(fs);
    edit = new TUtlTimeSpinEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 90, 19);
  }
  void TearDown() override {
    settings.reset();
    SpinForm::TearDown();
  }
  void Key(WORD vk) { SendMessageA(edit->Handle(), WM_KEYDOWN, vk, 0); }
  void Type(int caret, char c) {
    edit->SetSelStart(caret);
    edit->SetSelLength(0);
    SendMessageA(edit->Handle(), WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 0);
  }
  std::unique_ptr<TScopedFormatSettings> settings;
  TUtlTimeSpinEdit* edit = nullptr;
};

TEST_F(TimeEdit, TextForms) {
  EXPECT_EQ(edit->Text(), "12:00");
  edit->SetShowSeconds(true);
  EXPECT_EQ(edit->Text(), "12:00:00");
  edit->SetValue(At(23, 59, 59) + 0.999 / 86400);
  EXPECT_EQ(edit->Text(), "23:59:59");
  EXPECT_DOUBLE_EQ(edit->Value(), At(23, 59, 59));
  edit->SetShowSeconds(false);
  edit->SetValue(1.25);
  EXPECT_EQ(edit->Text(), "06:00");
  edit->SetTimeDisplay(td12Hour);
  for (auto [t, text] : {std::pair{At(0, 0), "12:00 am"}, {At(13, 30), " 1:30 pm"}, {At(12, 5), "12:05 pm"}}) {
    edit->SetValue(t);
    EXPECT_EQ(edit->Text(), text);
  }
  edit->SetShowSeconds(true);
  edit->SetValue(At(23, 59, 59));
  EXPECT_EQ(edit->Text(), "11:59:59 pm");
}

TEST_F(TimeEdit, StepsAtTheCaretWrapAndSelectTheField) {
  struct Case {
    TUtlTimeDisplay display;
    bool seconds;
    TDateTime start;
    int caret;
    WORD key;
    const char* text;
    int selStart, selLength;
  };
  const Case cases[] = {
      {td24Hour, false, At(23, 10), 0, VK_UP, "00:10", 0, 2},
      {td24Hour, false, At(7, 0), 4, VK_DOWN, "07:59", 3, 2},
      {td24Hour, false, At(7, 0), 2, VK_UP, "08:00", 0, 2},
      {td24Hour, false, At(7, 0), 5, VK_UP, "07:01", 3, 2},
      {td24Hour, true, At(7, 0, 59), 8, VK_UP, "07:00:00", 6, 2},
      {td12Hour, false, At(11, 30), 0, VK_UP, "12:30 am", 0, 2},
      {td12Hour, false, At(23, 30), 0, VK_UP, "12:30 pm", 0, 2},
      {td12Hour, false, At(0, 30), 0, VK_DOWN, "11:30 am", 0, 2},
      {td12Hour, false, At(12, 30), 0, VK_DOWN, "11:30 pm", 0, 2},
      // The designator is two characters here, so the selection ends with the text.
      {td12Hour, false, At(9, 15), 6, VK_UP, " 9:15 pm", 6, 2},
      {td12Hour, true, At(21, 15), 9, VK_DOWN, " 9:15:00 am", 9, 2},
  };
  for (const Case& c : cases) {
    edit->SetTimeDisplay(c.display);
    edit->SetShowSeconds(c.seconds);
    edit->SetValue(c.start);
    edit->SetSelStart(c.caret);
    edit->SetSelLength(0);
    Key(c.key);
    EXPECT_EQ(edit->Text(), c.text) << c.text;
    EXPECT_EQ(edit->SelStart(), c.selStart) << c.text;
    EXPECT_EQ(edit->SelLength(), c.selLength) << c.text;
  }
}

TEST_F(TimeEdit, OvertypingKeepsTheTimeValid) {
  edit->SetShowSeconds(true);
  std::vector<AnsiString> seen;
  edit->OnChange = [&](TObject*) { seen.push_back(FormatDateTime("hh:nn:ss", edit->Value())); };
  const int beeps = TUtlCustomSpinEdit::BeepCount();
  Type(0, '3');  // 32:00:00
  EXPECT_EQ(edit->Text(), "12:00:00");
  EXPECT_EQ(TUtlCustomSpinEdit::BeepCount(), beeps + 1);
  Type(0, '0');
  EXPECT_EQ(edit->Text(), "02:00:00");
  EXPECT_DOUBLE_EQ(edit->Value(), At(2, 0));
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "02:00:00");
  for (int caret : {2, 5, 8}) Type(caret, '1');
  Type(0, '\b');
  EXPECT_EQ(TUtlCustomSpinEdit::BeepCount(), beeps + 5);
  edit->SetSelStart(0);
  Key(VK_DELETE);
  EXPECT_EQ(edit->Text(), "02:00:00");
}

TEST_F(TimeEdit, TheRangeHoldsTheValueAndSwitchesTheArrows) {
  edit->SetShowSeconds(true);
  edit->SetMaxValue(At(17, 0));
  edit->SetMinValue(At(8, 0));
  edit->SetMinValue(At(18, 0));  // above the maximum: ignored
  EXPECT_DOUBLE_EQ(edit->MinValue(), At(8, 0));
  edit->SetUseRanges(true);
  Type(0, '2');
  EXPECT_EQ(edit->Text(), "22:00:00");
  EXPECT_DOUBLE_EQ(edit->Value(), At(17, 0));
  EXPECT_FALSE(edit->ArrowPair()->UpEnabled());
  edit->SetSelStart(0);
  Key(VK_UP);
  EXPECT_DOUBLE_EQ(edit->Value(), At(17, 0));

  edit->SetValue(At(20, 0));  // no clamp on write
  EXPECT_EQ(edit->Text(), "20:00:00");
  edit->SetShowSeconds(false);
  EXPECT_EQ(edit->Text(), "17:00");
}

TEST_F(TimeEdit, TheDesignatorTakesNoTyping) {
  edit->SetTimeDisplay(td12Hour);
  edit->SetValue(At(9, 15));
  const int beeps = TUtlCustomSpinEdit::BeepCount();
  Type(6, 'p');
  Type(7, '1');
  EXPECT_EQ(edit->Text(), " 9:15 am");
  EXPECT_EQ(TUtlCustomSpinEdit::BeepCount(), beeps + 2);
}

TEST_F(TimeEdit, LeavingTheBoxClampsToTheRange) {
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetBounds(10, 60, 90, 19);
  edit->SetMaxValue(At(17, 0));
  edit->SetMinValue(At(8, 0));
  edit->SetUseRanges(true);
  edit->SetValue(At(20, 0));
  edit->SetFocus();
  other->SetFocus();
  EXPECT_DOUBLE_EQ(edit->Value(), At(17, 0));
  EXPECT_EQ(edit->Text(), "17:00");
}

TEST_F(TimeEdit, TheClipboardReachesTheBoxOnlyWhenItsEditorIsEnabledAndWritable) {
  edit->SetShowSeconds(true);
  Clipboard()->SetAsText("03:04:05");
  edit->SetFocus();
  for (const bool readOnly : {false, true}) {
    edit->SetEditorEnabled(readOnly);  // each way one of the two stops the clipboard
    edit->SetReadOnly(readOnly);
    edit->SetValue(At(12, 0));
    edit->SelectAll();
    edit->PasteFromClipboard();
    edit->SelectAll();
    edit->CutToClipboard();
    // The keys too: Ctrl+V, Shift+Insert, Ctrl+X, Shift+Delete.
    for (const auto& [modifier, key] : {std::pair{VK_CONTROL, 'V'}, {VK_SHIFT, VK_INSERT}, {VK_CONTROL, 'X'},
                                        {VK_SHIFT, VK_DELETE}}) {
      edit->SelectAll();
      PressKeyWith(modifier, key);
      Application->ProcessMessages();
    }
    EXPECT_EQ(edit->Text(), "12:00:00") << readOnly;
    EXPECT_EQ(Clipboard()->AsText(), "03:04:05") << readOnly;
  }
  edit->SetReadOnly(false);
  edit->SetEditorEnabled(true);
  edit->SelectAll();
  PressKeyWith(VK_CONTROL, 'V');
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), "03:04:05");
  // Without the editor, typing still works.
  edit->SetEditorEnabled(false);
  edit->SetValue(At(12, 0));
  Type(0, '0');
  EXPECT_EQ(edit->Text(), "02:00:00");
}

TEST_F(TimeEdit, ReadOnlyBeepsAndKeepsTheValue) {
  edit->SetReadOnly(true);
  const int beeps = TUtlCustomSpinEdit::BeepCount();
  edit->SetSelStart(0);
  Key(VK_UP);
  Type(0, '1');
  EXPECT_EQ(TUtlCustomSpinEdit::BeepCount(), beeps + 2);
  EXPECT_EQ(edit->Text(), "12:00");
}

}  // namespace
