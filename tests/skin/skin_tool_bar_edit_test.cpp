// The skinned tool bar (transparency on a skinned frame, hot, checked and
// drop-down button faces) and the skinned edit's border.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "skin/skin_edit.h"
#include "skin/skin_form.h"
#include "skin/skin_tool_bar.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

class SkinToolBarTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 300, 200);
  }
  void TearDown() override { form_->Free(); }
  TsuiToolBar* Bar(TWinControl* parent) {
    auto* bar = new TsuiToolBar(form_);
    bar->SetParent(parent);
    bar->SetShowCaptions(true);
    return bar;
  }
  TToolButton* Button(TsuiToolBar* bar, const AnsiString& caption, TToolButtonStyle style) {
    auto* b = new TToolButton(form_);
    b->SetParent(bar);
    b->SetCaption(caption);
    b->SetStyle(style);
    return b;
  }
  TForm* form_ = nullptr;
};

TEST_F(SkinToolBarTest, MacOSBarIsTransparentOnlyOnASkinnedFrame) {
  auto* frame = new TsuiForm(form_);
  auto* panel = new TPanel(form_);
  panel->SetParent(frame);
  TsuiToolBar* onFrame = Bar(frame);
  TsuiToolBar* onPanel = Bar(panel);
  for (TsuiToolBar* bar : {onFrame, onPanel}) bar->SetUIStyle(MacOS);
  EXPECT_TRUE(onFrame->Transparent());
  EXPECT_FALSE(onPanel->Transparent());
  onFrame->SetUIStyle(DeepBlue);
  EXPECT_FALSE(onFrame->Transparent());
}

TEST_F(SkinToolBarTest, HotDropDownCheckedAndPlainButtons) {
  TsuiToolBar* bar = Bar(form_);
  bar->SetUIStyle(DeepBlue);
  bar->SetButtonColor(clYellow);
  bar->SetButtonBorderColor(clRed);
  TToolButton* plain = Button(bar, "Nový", tbsButton);
  TToolButton* checked = Button(bar, "Log", tbsCheck);
  checked->SetDown(true);
  TToolButton* drop = Button(bar, "Záloha", tbsDropDown);
  form_->Show();
  Application->ProcessMessages();
  const TPoint p = CentreOf(drop);
  HeadlessMouseMove(p.X, p.Y);
  Application->ProcessMessages();
  ASSERT_TRUE(drop->Hot());
  auto shot = Snapshot(drop);
  const int w = shot->width, y = shot->height / 2;
  EXPECT_EQ(shot->Row(0)[0] & 0xFFFFFF, 0xFF0000u);                // border
  EXPECT_EQ(shot->Row(2)[w - 14] & 0xFFFFFF, 0x000000u);           // separator line
  EXPECT_EQ(shot->Row(y)[w - 7] & 0xFFFFFF, 0x000000u);            // arrow
  EXPECT_EQ(shot->Row(y + 3)[w - 7] & 0xFFFFFF, 0xFFFF00u);        // face below the arrow
  EXPECT_EQ(Snapshot(checked)->Row(1)[1] & 0xFFFFFF, 0xFFFF00u);   // checked: skinned face
  EXPECT_NE(Snapshot(plain)->Row(1)[1] & 0xFFFFFF, 0xFFFF00u);     // plain: the platform's
  ExpectPicture(*Snapshot(drop), "toolbar_hot_dropdown");
}

TEST_F(SkinToolBarTest, EditFramesItselfInTheStyleBorderColour) {
  auto* edit = new TsuiEdit(form_);
  edit->SetParent(form_);
  edit->SetBounds(10, 10, 120, 19);
  edit->SetText("root");
  auto* huge = new TsuiEdit(form_);
  huge->SetParent(form_);
  huge->SetBounds(10, 40, 120, 19);
  huge->SetText(AnsiString(10000, 'W'));
  huge->SetUIStyle(MacOS);
  form_->Show();
  Application->ProcessMessages();
  auto shot = Snapshot(edit);
  EXPECT_EQ(shot->Row(0)[0] & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(shot->Row(1)[1] & 0xFFFFFF, 0xFFFFFFu);  // the inner frame in the edit's colour
  EXPECT_EQ(huge->BorderColor(), TColor(0x7F7F7F));
  EXPECT_EQ(Snapshot(huge)->Row(18)[119] & 0xFFFFFF, 0x7F7F7Fu);
  ExpectPicture(*shot, "edit_deepblue");
}

}  // namespace
