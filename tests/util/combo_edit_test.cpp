// The combo edit's popup, with a small list as the popup a descendant would
// drop down: where it opens on the screen, what Enter, Esc, the button and
// leaving the box do with its value and the text.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/std_controls.h"
#include "platform/rtl/variant.h"
#include "tests/platform/gui/comp_test_support.h"
#include "util/components/combo_edit.h"

namespace {

// Holds a value; the test plays the user's choice in it with Choose.
class ValuePopup : public TUtlPopupControl {
public:
  using TUtlPopupControl::TUtlPopupControl;
  Variant Value() const override { return value_; }
  void SetValue(const Variant& value) override {
    value_ = value;
    loaded.push_back(VarIsNull(value) ? "<null>" : value.AsString());
  }
  void Choose(const AnsiString& value) { value_ = value; }
  std::vector<AnsiString> loaded;

private:
  Variant value_;
};

class PopupEdit : public TUtlComboEdit {
public:
  explicit PopupEdit(TComponent* owner) : TUtlComboEdit(owner) {
    popup = new ValuePopup(this);
    popup->SetBounds(0, 0, 150, 100);
    SetPopupControl(popup);
  }
  ValuePopup* popup;
  AnsiString refused;  // a value PopupValueAcceptable turns down
  int popupTextChanges = 0;

protected:
  bool PopupValueAcceptable(const Variant& value) override { return value.AsString() != refused; }
  void PopupTextChanged() override { ++popupTextChanges; }
};

struct ComboPopup : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 400, 200);
    edit = new PopupEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 100, 21);
    edit->OnChange = [this](TObject*) { ++changes; };
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 100, 100, 21);
    form->Show();
    edit->SetFocus();
  }
  void TearDown() override { form->Free(); }
  void AltDown() {
    PressKeyWith(VK_MENU, VK_DOWN);
    Application->ProcessMessages();
  }

  TForm* form = nullptr;
  PopupEdit* edit = nullptr;
  TEdit* other = nullptr;
  int changes = 0;
};

TEST_F(ComboPopup, OpensUnderTheBoxOrAboveItAndStaysOnTheScreen) {
  const int sw = Screen->Width(), sh = Screen->Height();
  struct Case {
    TComboPopupAlign side;
    int formLeft, formTop, popupWidth;
    bool rightAligned, above;
  } cases[] = {
      {cpaRight, 200, 100, 150, true, false},   // right edges line up
      {cpaRight, -100, 100, 150, false, false}, // no room on the left: left edges
      {cpaLeft, 200, 100, 150, false, false},   // left edges line up
      {cpaLeft, sw - 150, 100, 150, true, false},  // no room on the right: right edges
      {cpaRight, 200, sh - 150, 150, true, true},  // no room below: above the box
  };
  for (const Case& c : cases) {
    edit->SetPopupSide(c.side);
    edit->popup->SetWidth(c.popupWidth);
    form->SetBounds(c.formLeft, c.formTop, 400, 200);
    const TPoint p = form->ClientToScreen(Point(10, 10));
    AltDown();
    ASSERT_TRUE(edit->PopupShowing());
    EXPECT_TRUE(edit->popup->Visible());
    int x = c.rightAligned ? p.X + 100 - c.popupWidth : p.X;
    x = std::clamp(x, 0, sw - c.popupWidth);
    EXPECT_EQ(edit->popup->Left(), x) << c.formLeft << "," << c.formTop;
    EXPECT_EQ(edit->popup->Top(), c.above ? p.Y - 100 : p.Y + 21) << c.formLeft << "," << c.formTop;
    edit->ClosePopup(false);
  }
  // A box that runs off the screen's right edge: the popup is pushed back onto it.
  edit->popup->SetWidth(300);
  form->SetBounds(sw - 60, 100, 400, 200);
  AltDown();
  EXPECT_EQ(edit->popup->Left() + 300, sw);
}

TEST_F(ComboPopup, EnterTakesTheValueEscAndLeavingTheBoxDoNot) {
  // The popup opens with the text (null for none) and the box takes no typing meanwhile.
  AltDown();
  EXPECT_EQ(edit->popup->loaded, std::vector<AnsiString>{"<null>"});
  PressKey('x', "x");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), "");
  edit->popup->Choose("B");
  PressKey(VK_ESCAPE, "\x1b");
  Application->ProcessMessages();
  EXPECT_FALSE(edit->PopupShowing());
  EXPECT_FALSE(edit->popup->Visible());
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(changes, 0);

  edit->SetText("A");
  changes = 0;
  AltDown();
  EXPECT_EQ(edit->popup->loaded.back(), "A");
  // A program's change while the popup shows goes to PopupTextChanged.
  edit->SetText("A2");
  EXPECT_EQ(edit->popupTextChanges, 1);
  EXPECT_EQ(changes, 0);
  edit->popup->Choose("B");
  PressKey(VK_RETURN, "\r");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), "B");
  EXPECT_EQ(edit->SelText(), "B");
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(edit->TCustomEdit::ReadOnly());  // typing works again

  // A value the edit turns down leaves the text.
  edit->refused = "C";
  AltDown();
  edit->popup->Choose("C");
  PressKey(VK_RETURN, "\r");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), "B");

  // Another control taking the focus closes it without taking the value.
  AltDown();
  edit->popup->Choose("D");
  other->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(edit->PopupShowing());
  EXPECT_EQ(edit->Text(), "B");

  edit->SetFocus();
  edit->SetReadOnly(true);
  edit->SetAlwaysEnableButton(true);
  AltDown();
  EXPECT_FALSE(edit->PopupShowing());
}

TEST_F(ComboPopup, TheButtonOpensAndAPressThatClosesTakesTheValueAndOpensNothing) {
  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  other->SetFocus();
  ClickOn(edit->Button());
  Application->ProcessMessages();
  EXPECT_TRUE(edit->PopupShowing());
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(clicks, 1);

  // A click in the popup leaves the focus in the box.
  ClickOn(edit->popup);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->PopupShowing());
  EXPECT_TRUE(edit->Focused());

  edit->popup->Choose("E");
  ClickOn(edit->Button());
  Application->ProcessMessages();
  EXPECT_FALSE(edit->PopupShowing());
  EXPECT_EQ(edit->Text(), "E");
  EXPECT_EQ(clicks, 1);  // the closing press was no click

  ClickOn(edit->Button());
  Application->ProcessMessages();
  EXPECT_TRUE(edit->PopupShowing());
  EXPECT_EQ(clicks, 2);
  // A press in the box itself leaves the popup.
  edit->popup->Choose("F");
  ClickOn(edit);
  Application->ProcessMessages();
  EXPECT_FALSE(edit->PopupShowing());
  EXPECT_EQ(edit->Text(), "E");
}

}  // namespace
