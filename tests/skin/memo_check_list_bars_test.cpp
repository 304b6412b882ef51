// The skinned memo and check list with skinned scroll bars attached: the
// memo's own bar setting follows the attached bars, a bar lies over the
// control's own, the two scroll each other (wheel included), the range comes
// from the control's, and a bar that goes away leaves the control working.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "platform/gui/scroll_info.h"
#include "platform/rtl/clock.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_edit.h"
#include "skin/skin_scroll_bar.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"

namespace {

class AttachedBarsTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 400, 300);
    memo_ = new TsuiMemo(form_);
    memo_->SetParent(form_);
    memo_->SetBounds(10, 10, 200, 150);
    for (int i = 0; i < 100; ++i) memo_->Lines()->Add("Řádek protokolu č. " + std::to_string(i));
    memo_->SetSelStart(0);
    form_->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    form_->Free();
    if (VirtualClockActive()) SetVirtualClock(false);
  }
  TsuiScrollBar* NewBar() {
    auto* bar = new TsuiScrollBar(form_);
    bar->SetParent(form_);
    return bar;
  }
  TForm* form_ = nullptr;
  TsuiMemo* memo_ = nullptr;
};

TEST_F(AttachedBarsTest, MemoBarSettingFollowsTheAttachedBars) {
  EXPECT_EQ(memo_->ScrollBars(), ssNone);  // never attached: its own setting
  memo_->SetScrollBars(ssBoth);
  EXPECT_EQ(memo_->ScrollBars(), ssBoth);
  TsuiScrollBar* v = NewBar();
  memo_->SetVScrollBar(v);
  EXPECT_EQ(memo_->ScrollBars(), ssVertical);
  // Over the memo's own bar, inside its border.
  EXPECT_EQ(v->BoundsRect(), Rect(10 + 200 - 16 - 2, 11, 10 + 200 - 2, 11 + 148));
  EXPECT_EQ(v->Orientation(), suiVertical);
  TsuiScrollBar* h = NewBar();
  memo_->SetHScrollBar(h);
  EXPECT_EQ(memo_->ScrollBars(), ssBoth);
  // Over the memo's own horizontal bar, idle while the lines wrap.
  EXPECT_EQ(h->BoundsRect(), Rect(11, 10 + 150 - 16 - 2, 11 + 200 - 1 - 16, 10 + 150 - 2));
  EXPECT_TRUE(h->Visible());
  EXPECT_FALSE(h->Enabled());
  memo_->SetHScrollBar(nullptr);
  memo_->SetVScrollBar(nullptr);
  EXPECT_EQ(memo_->ScrollBars(), ssNone);
  EXPECT_EQ(v->LineButton(), 0);  // released
  EXPECT_EQ(v->Max(), 100);
  EXPECT_FALSE(static_cast<bool>(v->OnChange));
}

TEST_F(AttachedBarsTest, MemoAndBarScrollEachOther) {
  TsuiScrollBar* bar = NewBar();
  memo_->SetVScrollBar(bar);
  SCROLLINFO native;
  native.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(memo_->Handle(), SB_VERT, &native));
  EXPECT_EQ(bar->Max(), native.nMax - int(native.nPage) + 1);
  EXPECT_EQ(bar->Min(), 0);
  SCROLLBARINFO info;
  ASSERT_TRUE(GetScrollBarInfo(memo_->Handle(), OBJID_VSCROLL, &info));
  EXPECT_EQ(bar->LineButton(), std::max(16, info.xyThumbBottom - info.xyThumbTop));
  EXPECT_TRUE(bar->Enabled());

  bar->SetPosition(20);
  EXPECT_EQ(memo_->TopLine(), 20);
  memo_->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
  EXPECT_EQ(memo_->TopLine(), 23);
  EXPECT_EQ(bar->Position(), 23);
  memo_->SetFocus();
  PressKey(VK_END);
  HeadlessKeyDown(VK_CONTROL);
  PressKey(VK_END);
  HeadlessKeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(bar->Position(), memo_->TopLine());
  EXPECT_EQ(bar->Position(), bar->Max());

  // The bar's arrow, held for 350 ms, scrolls the text three lines back.
  SetVirtualClock(true);
  const int before = memo_->TopLine();
  const TPoint p = CentreOf(bar->StartButton());
  HeadlessMouseMove(p.X, p.Y);
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  for (int t = 0; t < 35; ++t) {
    AdvanceVirtualClock(10);
    Application->ProcessMessages();
  }
  HeadlessMouseUp(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(memo_->TopLine(), before - 3);
}

// A line wider than 16 bits of pixels: the bar's whole position reaches the
// memo, though a scroll request carries only 16 bits of it.
TEST_F(AttachedBarsTest, ALineWiderThanSixteenBitsOfPixelsScrollsToItsEnd) {
  memo_->SetWordWrap(false);
  memo_->Lines()->Add(AnsiString(12000, 'W'));
  TsuiScrollBar* bar = NewBar();
  memo_->SetHScrollBar(bar);
  ASSERT_GT(bar->Max(), 0x10000 + 1000);
  for (int position : {bar->Max(), 0x10000 + 1000, 1000}) {
    bar->SetPosition(position);
    EXPECT_EQ(GetScrollPos(memo_->Handle(), SB_HORZ), position);
  }
}

TEST_F(AttachedBarsTest, ShortTextDisablesAndADestroyedBarIsForgotten) {
  TsuiScrollBar* bar = NewBar();
  memo_->SetVScrollBar(bar);
  memo_->SetText("Jen jeden řádek");
  EXPECT_FALSE(bar->Enabled());
  EXPECT_EQ(bar->LineButton(), 0);
  memo_->SetEnabled(false);
  memo_->SetEnabled(true);
  bar->Free();
  EXPECT_EQ(memo_->VScrollBar(), nullptr);
  EXPECT_EQ(memo_->ScrollBars(), ssNone);
  memo_->Lines()->Add("a dál se píše");
  memo_->SetBounds(20, 20, 150, 100);
  EXPECT_EQ(memo_->Lines()->Count(), 2);
}

TEST_F(AttachedBarsTest, AMemoFreedBeforeItsBarLeavesTheBarOnItsOwn) {
  TsuiScrollBar* bar = NewBar();
  memo_->SetVScrollBar(bar);
  memo_->Free();
  memo_ = nullptr;
  bar->SetPosition(3);  // reaches no freed memo (the sanitizer run checks)
  EXPECT_EQ(bar->Position(), 3);
  EXPECT_EQ(bar->Max(), 100);
}

TEST_F(AttachedBarsTest, CheckListShowsItsBarOnlyWhileItsOwnIsInUse) {
  auto* list = new TsuiCheckListBox(form_);
  list->SetParent(form_);
  list->SetBounds(220, 10, 150, 100);
  TsuiScrollBar* bar = NewBar();
  list->SetVScrollBar(bar);
  EXPECT_FALSE(bar->Visible());  // nothing to scroll
  for (int i = 0; i < 30; ++i) list->Items()->Add("tabulka_" + std::to_string(i));
  EXPECT_TRUE(bar->Visible());
  EXPECT_TRUE(bar->Enabled());
  EXPECT_EQ(bar->BoundsRect(), Rect(220 + 150 - 16 - 1, 11, 220 + 150 - 1, 11 + 98));
  SCROLLINFO native;
  native.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(list->Handle(), SB_VERT, &native));
  EXPECT_EQ(bar->Max(), 30 - int(native.nPage));
  bar->SetPosition(7);
  EXPECT_EQ(list->TopIndex(), 7);
  list->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(bar->Position(), 4);
  list->SetEnabled(false);  // the list's own bar is then unavailable too
  EXPECT_FALSE(bar->Enabled());
  list->SetEnabled(true);
  EXPECT_TRUE(bar->Visible() && bar->Enabled());
  list->Items()->Clear();
  EXPECT_FALSE(bar->Visible());
}

}  // namespace
