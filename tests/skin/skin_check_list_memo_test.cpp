// The skinned check list (check images per state, selection and disabled
// colours, only visible items drawn, fixed border) and the skinned memo.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/scroll_info.h"
#include "skin/skin_check_list.h"
#include "skin/skin_edit.h"
#include "skin/skin_scroll_bar.h"
#include "tests/skin/pixel_compare.h"

namespace {

using skintest::ExpectPicture;
using skintest::Snapshot;

// Counts the items it draws.
class CountingCheckList : public TsuiCheckListBox {
public:
  using TsuiCheckListBox::TsuiCheckListBox;
  int drawn = 0;

protected:
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override {
    ++drawn;
    TsuiCheckListBox::DrawItem(index, rect, state);
  }
};

class CheckListTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 360, 260);
  }
  void TearDown() override { form_->Free(); }
  template <class List = TsuiCheckListBox>
  List* MakeList(int left, int count) {
    auto* list = new List(form_);
    list->SetParent(form_);
    list->SetBounds(left, 10, 150, 80);
    for (int i = 0; i < count; ++i) list->Items()->Add(AnsiString("tabulka_") + AnsiString(std::to_string(i)));
    return list;
  }
  TForm* form_ = nullptr;
};

TEST_F(CheckListTest, EnabledAndDisabledLooks) {
  TsuiCheckListBox* enabled = MakeList(10, 4);
  TsuiCheckListBox* disabled = MakeList(180, 4);
  for (TsuiCheckListBox* list : {enabled, disabled}) {
    list->SetChecked(0, true);
    list->SetChecked(2, true);
    list->SetItemIndex(1);
  }
  disabled->SetDisabledTextColor(clRed);
  disabled->SetEnabled(false);
  form_->Show();
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(enabled), "checklist_enabled");
  ExpectPicture(*Snapshot(disabled), "checklist_disabled");
}

TEST_F(CheckListTest, AThousandTablesDrawOnlyTheVisibleOnes) {
  auto* list = MakeList<CountingCheckList>(10, 1000);
  form_->Show();
  Application->ProcessMessages();
  list->drawn = 0;
  list->SetTopIndex(500);
  list->Repaint();
  const int visible = (list->ClientHeight() + list->ItemHeight() - 1) / list->ItemHeight();
  EXPECT_GT(list->drawn, 0);
  EXPECT_LE(list->drawn, visible);
  EXPECT_EQ(list->TopIndex(), 500);
}

TEST_F(CheckListTest, BorderIsFixedAndBadInputDraws) {
  TsuiCheckListBox* list = MakeList(10, 0);
  list->SetBorderStyle(bsSingle);
  list->SetBorderWidth(5);
  EXPECT_EQ(list->BorderStyle(), bsSingle);
  EXPECT_EQ(list->BorderWidth(), 1);
  EXPECT_EQ(list->TCheckListBox::BorderStyle(), bsNone);
  list->Items()->Add(AnsiString(10000, 'W'));
  list->Items()->Add("");
  auto* memo = new TsuiMemo(form_);
  memo->SetParent(form_);
  memo->SetBounds(180, 10, 150, 80);
  memo->Lines()->Add("Záloha databáze začala.");
  memo->Lines()->Add(AnsiString(10000, 'x'));
  form_->Show();
  Application->ProcessMessages();
  EXPECT_EQ(Snapshot(list)->Row(0)[0] & 0xFFFFFF, 0x000000u);
  auto shot = Snapshot(memo);
  EXPECT_EQ(shot->Row(0)[0] & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(shot->Row(79)[149] & 0xFFFFFF, 0x000000u);
}

const AnsiString kLongLine = "Tabulka účetnictví zapsána do /var/lib/vorbex/zálohy/2026-12-11/účetnictví.sql.gz bez chyb.";

// A protocol line wider than the memo, with a path wider than it too, wraps
// and shows whole; the memo's lines stay as they were given.
TEST_F(CheckListTest, AMemoLineWiderThanTheMemoWraps) {
  auto* memo = new TsuiMemo(form_);
  memo->SetParent(form_);
  memo->SetBounds(10, 10, 150, 90);
  const AnsiString line = kLongLine;
  memo->Lines()->Add(line);
  form_->Show();
  Application->ProcessMessages();
  ExpectPicture(*Snapshot(memo), "memo_long_line_wrapped");
  EXPECT_EQ(memo->Lines()->Count(), 1);
  EXPECT_EQ(memo->Lines()->Strings(0), line);
}

// Not wrapped, the same line is read with the skinned horizontal bar laid
// over the memo's own: moved to its end, the bar shows the line's end.
TEST_F(CheckListTest, AnUnwrappedMemoLineScrollsToItsEndWithTheSkinnedBar) {
  auto* memo = new TsuiMemo(form_);
  memo->SetParent(form_);
  memo->SetBounds(10, 10, 150, 90);
  memo->SetWordWrap(false);
  memo->Lines()->Add(kLongLine);
  memo->Lines()->Add("Hotovo.");
  auto* bar = new TsuiScrollBar(form_);
  bar->SetParent(form_);
  memo->SetHScrollBar(bar);
  form_->Show();
  Application->ProcessMessages();
  ASSERT_TRUE(bar->Enabled());
  SCROLLINFO native;
  native.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(memo->Handle(), SB_HORZ, &native));
  EXPECT_EQ(bar->Max(), native.nMax - int(native.nPage) + 1);
  bar->SetPosition(bar->Max());
  Application->ProcessMessages();
  EXPECT_EQ(GetScrollPos(memo->Handle(), SB_HORZ), bar->Max());
  ExpectPicture(*Snapshot(memo), "memo_long_line_scroll");
}

}  // namespace
