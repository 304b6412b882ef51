// The skinned buttons: their looks in each state (pixel pictures), clicks by
// mouse, Space, Enter, Esc and "&" letters, the repeat event and bad input.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "platform/rtl/clock.h"
#include "skin/draw_helpers.h"
#include "skin/skin_button.h"
#include "skin/skin_form.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

class ButtonTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 300, 160);
    form_->SetColor(clWhite);
  }
  void TearDown() override { form_->Free(); }
  TsuiButton* Button(const AnsiString& caption, int left = 10, int top = 10) {
    auto* b = new TsuiButton(form_);
    b->SetParent(form_);
    b->SetLeft(left);
    b->SetTop(top);
    b->SetCaption(caption);
    return b;
  }
  void ShowForm() {
    form_->Show();
    Application->ProcessMessages();
  }
  // A 32 x 16 glyph: red left half (normal), blue right half (disabled), magenta corner (transparent).
  static void TwoImageGlyph(TBitmap* glyph) {
    glyph->SetSize(32, 16);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph->Canvas()->Brush()->SetColor(clBlue);
    glyph->Canvas()->FillRect(Rect(16, 0, 32, 16));
    glyph->Canvas()->SetPixels(0, 0, kSkinMagenta);
    glyph->Canvas()->SetPixels(16, 0, kSkinMagenta);
  }
  TForm* form_ = nullptr;
};

TEST_F(ButtonTest, LooksOfEachState) {
  TsuiButton* normal = Button("&Zálohovat");
  TsuiButton* disabled = Button("Storno", 100);
  disabled->SetEnabled(false);
  TsuiButton* blank = Button("   ", 190);
  TsuiButton* mac = Button("OK", 10, 50);
  mac->SetUIStyle(MacOS);
  TsuiButton* focused = Button("OK", 100, 50);
  ShowForm();
  focused->SetFocus();
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(normal), "button_normal");
  ExpectPicture(*Snapshot(disabled), "button_disabled");
  ExpectPicture(*Snapshot(blank), "button_blank");
  ExpectPicture(*Snapshot(focused), "button_focused");
  mac->SetFocus();
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(mac), "button_macos_focused");
  // A blank caption draws nothing over the bare button picture.
  TsuiButton* empty = Button("", 190, 50);
  Application->ProcessMessages();
  EXPECT_EQ(Snapshot(empty)->pixels, Snapshot(blank)->pixels);
}

TEST_F(ButtonTest, TwoImageGlyphShowsItsRightHalfWhenDisabled) {
  TsuiButton* b = Button("");
  TBitmap glyph;
  TwoImageGlyph(&glyph);
  b->SetGlyph(&glyph);
  ShowForm();
  // Centred 16 x 16 glyph in an 80 x 27 button (no caption, spacing 4): at (30, 5).
  EXPECT_EQ(Snapshot(b)->Row(12)[37] & 0xFFFFFF, 0xFF0000u);
  b->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_EQ(Snapshot(b)->Row(12)[37] & 0xFFFFFF, 0x0000FFu);
  for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    b->SetLayout(layout);
    b->SetCaption("Obnovit");
    b->SetEnabled(true);
    Application->ProcessMessages();
    ExpectPicture(*Snapshot(b), "button_glyph_" + std::to_string(int(layout)));
  }
}

TEST_F(ButtonTest, TakesStyleAndSkinFromItsFrame) {
  auto* frame = new TsuiForm(form_);
  auto* b = new TsuiButton(form_);
  b->SetParent(frame);
  ApplyThemeToChildren(frame, MacOS, nullptr);
  EXPECT_EQ(b->UIStyle(), MacOS);
  EXPECT_TRUE(b->Transparent());  // MacOS buttons draw over their parent
}

TEST_F(ButtonTest, ClickCopiesModalResultEvenZero) {
  TsuiButton* b = Button("OK");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  form_->SetModalResult(mrOk);
  b->Click();
  EXPECT_EQ(form_->ModalResult(), mrNone);
  b->SetModalResult(mrCancel);
  ClickOn(b);
  Application->ProcessMessages();
  EXPECT_EQ(form_->ModalResult(), mrCancel);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(b->Pressed());
}

TEST_F(ButtonTest, KeyboardEnterEscSpaceTabAndAccelerators) {
  TsuiButton* first = Button("&První");
  TsuiButton* second = Button("&Druhý", 100);
  TsuiButton* cancel = Button("Storno", 190);
  second->SetDefault(true);
  cancel->SetCancel(true);
  auto* edit = new TEdit(form_);
  edit->SetParent(form_);
  edit->SetTop(60);
  AnsiString log;
  first->OnClick = [&](TObject*) { log += "1"; };
  second->OnClick = [&](TObject*) { log += "2"; };
  cancel->OnClick = [&](TObject*) { log += "c"; };
  form_->SetActiveControl(first);
  ShowForm();
  auto press = [&](int vk, const std::string& chars) {
    PressKey(vk, chars);
    Application->ProcessMessages();
  };
  press(VK_RETURN, "\r");  // a skinned button has the focus: that one
  press(VK_SPACE, " ");    // Space on the focused button
  press(VK_TAB, "\t");     // focus moves on to the second
  EXPECT_TRUE(second->Focused());
  press(VK_SPACE, " ");
  press(VK_ESCAPE, "\x1b");
  edit->SetFocus();
  Application->ProcessMessages();
  press(VK_RETURN, "\r");  // no button focused: the default one
  press('P', "p");         // a letter in an edit is typed, not a click
  HeadlessKeyDown(VK_MENU);
  press('D', "d");         // Alt and the letter
  HeadlessKeyUp(VK_MENU);
  first->SetFocus();
  Application->ProcessMessages();
  press('D', "d");         // with a skinned button focused, the letter alone
  EXPECT_EQ(log, "112c222");
  EXPECT_TRUE(second->Active() == false && first->Active());
}

TEST_F(ButtonTest, HoldingRepeatsUntilReleaseOrLeaving) {
  SetVirtualClock(true);
  TsuiButton* b = Button("+");
  int repeats = 0, clicks = 0;
  b->OnMouseContinuouslyDown = [&](TObject*) { ++repeats; };
  b->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  const TPoint p = CentreOf(b);
  HeadlessMouseMove(p.X, p.Y);
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(b->Pressed());
  for (int i = 0; i < 7; ++i) {
    AdvanceVirtualClock(50);
    Application->ProcessMessages();
  }
  EXPECT_EQ(repeats, 3);
  HeadlessMouseUp(p.X, p.Y);
  Application->ProcessMessages();
  AdvanceVirtualClock(500);
  Application->ProcessMessages();
  EXPECT_EQ(repeats, 3);
  EXPECT_EQ(clicks, 1);
  SetVirtualClock(false);
}

TEST_F(ButtonTest, AutoSizeAndBadInputDrawWithoutFault) {
  TsuiButton* b = Button("x");
  b->SetUIStyle(FromThemeFile);
  b->SetAutoSize(true);
  EXPECT_EQ(b->Width(), 24);
  EXPECT_EQ(b->Height(), 21);
  b->SetAutoSize(false);
  // A skin whose button picture is smaller than any nine-slice border.
  TBitmap tiny;
  tiny.SetSize(3, 1);
  auto* image = new TsuiImageButton(form_);
  image->SetParent(form_);
  image->SetPicNormal(&tiny);
  image->SetAutoSize(true);
  image->SetCaption(AnsiString(10000, 'W'));
  EXPECT_EQ(image->Width(), 3);
  b->SetBounds(0, 40, 2, 2);
  b->SetCaption(AnsiString(10000, 'W'));
  TsuiButton* glyphed = Button(AnsiString(10000, 'x'), 10, 80);
  glyphed->SetGlyph(&tiny);
  auto* speed = new TsuiToolBarSpeedButton(form_);
  speed->SetParent(form_);
  speed->SetGlyph(&tiny);
  speed->SetToColor(clNavy);
  ShowForm();
  EXPECT_EQ(Snapshot(b)->width, 2);
  EXPECT_EQ(Snapshot(glyphed)->width, 80);
  EXPECT_EQ(Snapshot(speed)->Row(17)[5] & 0xFFFFFF, 0x000080u);
}

}  // namespace
