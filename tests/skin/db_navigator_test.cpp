// The database navigator without a server: buttons without a data source,
// button widths, repeating while held, hints, keys and the delete question,
// over the framework tests' array-backed dataset.
#include <gtest/gtest.h>

#include "platform/db/data_source.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/lists.h"
#include "skin/db_navigator.h"
#include "tests/platform/db/test_dataset.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/db_navigator_support.h"
#include "tests/skin/pixel_compare.h"

namespace {

using skintest::EnabledButtons;
using skintest::ExpectPicture;
using skintest::Snapshot;

class NavigatorTest : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 400, 200);
    nav_ = new TsuiDBNavigator(form_);
    nav_->SetParent(form_);
    nav_->SetBounds(10, 10, 250, 30);
    nav_->OnClick = [this](TObject*, TNavigateBtn b) { clicks_ += char('0' + b); };
  }
  void TearDown() override {
    form_->Free();
    if (source_) source_->Free();
    data_->Free();
    if (VirtualClockActive()) SetVirtualClock(false);
  }
  void Attach(std::initializer_list<int> ids) {
    data_->AddIds(ids);
    data_->Open();
    source_->SetDataSet(data_);
    nav_->SetDataSource(source_);
  }
  void Show() {
    form_->Show();
    Application->ProcessMessages();
  }
  TForm* form_ = nullptr;
  TsuiDBNavigator* nav_ = nullptr;
  TTestDataSet* data_ = new TTestDataSet(nullptr, {{"ID", ftInteger}});
  TDataSource* source_ = new TDataSource(nullptr);
  std::string clicks_;
};

TEST_F(NavigatorTest, WithoutADataSourceAllIsDisabledButClicksAreReported) {
  EXPECT_EQ(EnabledButtons(nav_), "----------");
  nav_->BtnClick(nbNext);
  nav_->BtnClick(nbDelete);
  EXPECT_EQ(clicks_, "25");
  Attach({1, 2, 3});
  EXPECT_EQ(EnabledButtons(nav_), "--NLIDE--R");
  nav_->SetEnabled(false);
  EXPECT_EQ(EnabledButtons(nav_), "----------");
  nav_->SetEnabled(true);
  source_->Free();
  source_ = nullptr;
  EXPECT_EQ(nav_->DataSource(), nullptr);  // the freed source is forgotten
  EXPECT_EQ(EnabledButtons(nav_), "----------");
}

TEST_F(NavigatorTest, ButtonWidthsShareTheNavigatorsWidth) {
  EXPECT_EQ(nav_->Button(nbFirst)->Width(), 25);
  nav_->SetVisibleButtons(NavButton(nbPrior) | NavButton(nbNext));
  EXPECT_EQ(nav_->Width(), 250);
  EXPECT_EQ(nav_->Button(nbPrior)->BoundsRect(), Rect(0, 0, 125, 30));
  EXPECT_EQ(nav_->Button(nbNext)->BoundsRect(), Rect(125, 0, 250, 30));
  EXPECT_EQ(nav_->Button(nbFirst)->Left(), 251);  // hidden ones wait beyond the right edge
  nav_->SetBounds(10, 10, 101, 10);
  EXPECT_EQ(nav_->Width(), 100);  // whole buttons
  EXPECT_EQ(nav_->Height(), 18);  // never lower than a button
  nav_->SetVisibleButtons(0);
  nav_->SetBounds(10, 10, 5, 30);
  EXPECT_EQ(nav_->Width(), 20);  // one button's room even with none shown

  auto* aligned = new TsuiDBNavigator(form_);
  aligned->SetParent(form_);
  aligned->SetAlign(alLeft);
  aligned->SetVisibleButtons(NavButton(nbFirst) | NavButton(nbInsert) | NavButton(nbRefresh));
  aligned->SetWidth(100);
  EXPECT_EQ(aligned->Width(), 100);
  EXPECT_EQ(aligned->Button(nbFirst)->Width(), 33);
  EXPECT_EQ(aligned->Button(nbInsert)->Width(), 34);
  EXPECT_EQ(aligned->Button(nbRefresh)->Width(), 33);
  EXPECT_EQ(aligned->Button(nbRefresh)->Left(), 67);
}

TEST_F(NavigatorTest, HoldingNextStepsAfter400MsThenEvery100Ms) {
  SetVirtualClock(true);
  Attach({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  Show();
  const TPoint p = CentreOf(nav_->Button(nbNext));
  HeadlessMouseMove(p.X, p.Y);
  HeadlessMouseDown(p.X, p.Y);
  Application->ProcessMessages();
  std::vector<int> records;  // every 50 ms for 700 ms
  for (int t = 0; t < 14; ++t) {
    AdvanceVirtualClock(50);
    Application->ProcessMessages();
    records.push_back(data_->RecordNumber());
  }
  HeadlessMouseUp(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_EQ(records, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 2, 2, 3, 3, 4, 4, 5}));
  EXPECT_EQ(data_->RecordNumber(), 6);  // and the click on release
  AdvanceVirtualClock(500);
  Application->ProcessMessages();
  EXPECT_EQ(data_->RecordNumber(), 6);
  EXPECT_EQ(clicks_, "22222");
}

TEST_F(NavigatorTest, HintsKeysAndTheDeleteQuestion) {
  EXPECT_EQ(nav_->Button(nbPost)->Hint(), "Post edit");
  TStringList hints;
  hints.Add("");
  hints.Add("Předchozí záznam");
  nav_->SetHints(&hints);
  EXPECT_EQ(nav_->Button(nbFirst)->Hint(), "First record");
  EXPECT_EQ(nav_->Button(nbPrior)->Hint(), "Předchozí záznam");
  TStringList defaults;
  for (const char* h : {"First record", "Prior record", "Next record", "Last record", "Insert record", "Delete record",
                        "Edit record", "Post edit", "Cancel edit", "Refresh data"})
    defaults.Add(h);
  nav_->SetHints(&defaults);
  EXPECT_EQ(nav_->Hints()->Count(), 0);
  EXPECT_EQ(nav_->Button(nbPrior)->Hint(), "Prior record");

  Attach({1, 2, 3});
  nav_->SetTabStop(true);
  nav_->SetVisibleButtons(kAllNavButtons & ~NavButton(nbPrior));
  Show();
  nav_->SetFocus();
  PressKey(VK_RIGHT);  // skips the hidden Prior
  Application->ProcessMessages();
  EXPECT_EQ(nav_->FocusedButton(), nbNext);
  PressKey(VK_SPACE, " ");
  Application->ProcessMessages();
  EXPECT_EQ(data_->RecordNumber(), 2);
  PressKey(VK_LEFT);
  PressKey(VK_LEFT);
  PressKey(VK_LEFT);
  Application->ProcessMessages();
  EXPECT_EQ(nav_->FocusedButton(), nbFirst);

  ScriptMessageBoxAnswer(IDCANCEL);
  nav_->BtnClick(nbDelete);
  EXPECT_EQ(data_->RowCount(), 3);
  ScriptMessageBoxAnswer(IDOK);
  nav_->BtnClick(nbDelete);
  EXPECT_EQ(data_->RowCount(), 2);
  nav_->SetConfirmDelete(false);
  nav_->BtnClick(nbDelete);  // no question asked
  EXPECT_EQ(data_->RowCount(), 1);
}

TEST_F(NavigatorTest, LooksOnAnOpenDatasetWithTheFocusMark) {
  Attach({1, 2, 3});
  data_->Next();
  nav_->SetTabStop(true);
  nav_->SetUIStyle(WinXP);
  Show();
  nav_->SetFocus();
  PressKey(VK_RIGHT);
  PressKey(VK_RIGHT);
  Application->ProcessMessages();
  EXPECT_EQ(nav_->FocusedButton(), nbNext);
  ExpectPicture(*Snapshot(nav_), "navigator_winxp");
}

}  // namespace
