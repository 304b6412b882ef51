// The database navigator on a live query over the throwaway MariaDB server:
// clicking its buttons moves, inserts, posts and deletes rows that the
// command-line client then sees (or still sees after a declined delete), and
// the buttons it enables after each step.
#include <gtest/gtest.h>

#include "platform/db/data_source.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "skin/db_navigator.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/db_navigator_support.h"
#include "tests/sql/dataset/mysql_fixture.h"

namespace {

using skintest::EnabledButtons;

class NavigatorOnServerTest : public MySQLDatasetTest {
protected:
  void SetUp() override {
    MySQLDatasetTest::SetUp();
    Client(
        "DROP TABLE IF EXISTS skin_navigator;"
        "CREATE TABLE skin_navigator (id INT AUTO_INCREMENT PRIMARY KEY, nazev VARCHAR(30) NOT NULL)"
        " CHARACTER SET utf8mb4;"
        "INSERT INTO skin_navigator VALUES (1,'Atlas'),(2,'Brambory');");
    form_ = new TForm(Application);
    form_->SetBounds(40, 40, 400, 200);
    nav_ = new TsuiDBNavigator(form_);
    nav_->SetParent(form_);
    nav_->SetBounds(10, 10, 250, 30);
    // A plain edit stands in for a data-aware one: what is typed goes to the field.
    edit_ = new TEdit(form_);
    edit_->SetParent(form_);
    edit_->SetBounds(10, 60, 200, 21);
    edit_->OnChange = [this](TObject*) {
      if (query->State() == dsInsert || query->State() == dsEdit)
        query->FieldNamed("nazev")->SetValueAsString(edit_->Text());
    };
    source_->SetDataSet(query);
    nav_->SetDataSource(source_);
  }
  void TearDown() override {
    form_->Free();
    source_->Free();
    MySQLDatasetTest::TearDown();
  }
  void Click(TNavigateBtn button) {
    ClickOn(nav_->Button(button));
    Application->ProcessMessages();
  }
  static std::string Names() { return Client("select nazev from skin_navigator order by id"); }

  TForm* form_ = nullptr;
  TsuiDBNavigator* nav_ = nullptr;
  TEdit* edit_ = nullptr;
  TDataSource* source_ = new TDataSource(nullptr);
};

TEST_F(NavigatorOnServerTest, InsertPostAndDeleteReachTheTable) {
  EXPECT_EQ(EnabledButtons(nav_), "----------");  // the query is not open yet
  Open("select id, nazev from skin_navigator order by id");
  form_->Show();
  Application->ProcessMessages();
  std::vector<std::string> seen{EnabledButtons(nav_)};
  Click(nbNext);
  seen.push_back(EnabledButtons(nav_));
  Click(nbNext);  // past the last row
  seen.push_back(EnabledButtons(nav_));
  Click(nbInsert);
  seen.push_back(EnabledButtons(nav_));
  edit_->SetFocus();
  for (const char* letter : {"Č", "a", "j"}) PressKey('A', letter);
  Application->ProcessMessages();
  Click(nbPost);
  seen.push_back(EnabledButtons(nav_));
  EXPECT_EQ(Names(), reinterpret_cast<const char*>(u8"Atlas\nBrambory\nČaj\n"));

  ScriptMessageBoxAnswer(IDCANCEL);
  Click(nbDelete);
  EXPECT_EQ(Names(), reinterpret_cast<const char*>(u8"Atlas\nBrambory\nČaj\n"));
  ScriptMessageBoxAnswer(IDOK);
  Click(nbDelete);
  seen.push_back(EnabledButtons(nav_));
  EXPECT_EQ(Names(), "Atlas\nBrambory\n");
  Click(nbFirst);
  seen.push_back(EnabledButtons(nav_));
  Click(nbEdit);
  seen.push_back(EnabledButtons(nav_));
  Click(nbCancel);
  seen.push_back(EnabledButtons(nav_));
  query->Close();
  seen.push_back(EnabledButtons(nav_));

  // Letters: First, Prior, Next, Last, Insert, Delete, Edit, poSt, Cancel,
  // Refresh. The end and start flags are the dataset's: a Next that finds no
  // further row moves nothing and announces nothing, and a posted or
  // cancelled row is no longer at either end.
  const std::vector<std::string> expected = {
      "--NLIDE--R",  // opened on the first row
      "FPNLIDE--R",  // Next: the second (last) row
      "FPNLIDE--R",  // Next again: no further row
      "FP--ID-SCR",  // Insert: at the end, editing
      "FPNLIDE--R",  // Post
      "FPNLIDE--R",  // Delete with OK
      "--NLIDE--R",  // First
      "--NLID-SCR",  // Edit
      "FPNLIDE--R",  // Cancel
      "----------",  // the query closed
  };
  EXPECT_EQ(seen, expected);
}

}  // namespace
