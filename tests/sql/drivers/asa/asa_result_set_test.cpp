// The native ASA result set against the client double: how it moves the
// cursor (what each fetch asks for, the last row learnt from a fetch past
// the end, the row limit), what its positioned changes hand the client,
// and long values read at once or later from their own row.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_result_set.h"
#include "sql/drivers/asa/asa_statement.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/asa/asa_test_support.h"

namespace {

using asa_test::Connection;
using asa_test::MakeDatabase;
using dblib_probe::CallsOf;

// 42 numbered rows with a long text each.
std::string Rows() {
  std::string sql = "CREATE TABLE numbers (n INTEGER NOT NULL, note LONG VARCHAR);";
  for (int i = 1; i <= 42; ++i)
    sql += "INSERT INTO numbers VALUES (" + std::to_string(i) + ", 'note " + std::to_string(i) + "');";
  return sql;
}

class ASAResultSet : public ::testing::Test {
protected:
  // The native result set over the 42 rows.
  Ref<IZResultSet> Open(const char* extra = "", int maxRows = 0) {
    database_ = MakeDatabase(Rows());
    connection_ = Connection(database_, "ASA9", extra);
    statement_ = connection_->NewStatement(nullptr);
    statement_->SetResultSetConcurrency(rcReadOnly);
    statement_->SetResultSetType(rtForwardOnly);
    statement_->SetMaxRows(maxRows);
    Ref<IZResultSet> result = statement_->ExecuteQuery("SELECT n, note FROM numbers");
    cursor_ = result->GetCursorName();
    dblib_probe::Reset();
    return result;
  }

  // The fetches asked for, as "kind offset".
  std::vector<std::string> Fetches() const {
    std::vector<std::string> moves;
    for (const std::string& call : CallsOf("dbpp_fetch")) {
      const std::string args = call.substr(cursor_.size() + 1);
      moves.push_back(args.substr(0, args.size() - std::string(" 20 0").size()));
    }
    return moves;
  }

  Ref<TZASAConnection> connection_;
  Ref<IZStatement> statement_;
  std::string cursor_, database_;
};

TEST_F(ASAResultSet, UpdatableScrollingAndEveryColumnNullable) {
  Ref<IZResultSet> result = Open();
  EXPECT_EQ(result->GetType(), rtScrollSensitive);
  EXPECT_EQ(result->GetConcurrency(), rcUpdatable);
  EXPECT_EQ(cursor_.size(), 12u);
  // Before the metadata asks the catalogue; n is described as not
  // nullable, from its NOT NULL declaration.
  TZColumnInfoList& columns = dynamic_cast<TZASAResultSet*>(result.get())->GetColumnsInfo();
  for (int column : {0, 1}) EXPECT_EQ(columns[column].Nullable, ntNullable);
}

TEST_F(ASAResultSet, MovesAskForRelativeAndAbsoluteFetches) {
  Ref<IZResultSet> result = Open();
  ASSERT_TRUE(result->Next());
  EXPECT_EQ(result->GetRow(), 1);
  ASSERT_TRUE(result->Next());
  ASSERT_TRUE(result->Previous());
  EXPECT_EQ(result->GetInt(1), 1);
  ASSERT_TRUE(result->Last());
  EXPECT_EQ(result->GetInt(1), 42);
  // Past the end by 8: the last row is 42 from now on.
  EXPECT_FALSE(result->MoveAbsolute(50));
  ASSERT_TRUE(result->Last());
  EXPECT_EQ(result->GetRow(), 42);
  EXPECT_EQ(Fetches(), (std::vector<std::string>{"2 1", "2 1", "2 -1", "1 -1", "1 50", "1 42"}));
}

TEST_F(ASAResultSet, TheRowLimitIsTheLastRowReached) {
  Ref<IZResultSet> result = Open("", 10);
  EXPECT_TRUE(result->MoveAbsolute(10));
  EXPECT_EQ(result->GetInt(1), 10);
  dblib_probe::Reset();
  EXPECT_FALSE(result->MoveAbsolute(11));
  EXPECT_TRUE(Fetches().empty());

  Ref<IZResultSet> again = statement_->ExecuteQuery("SELECT n FROM numbers");
  int rows = 0;
  while (again->Next()) ++rows;
  EXPECT_EQ(rows, 10);
}

TEST_F(ASAResultSet, InsertedValuesAreReadFromTheNewRowAndHandedToTheClient) {
  Ref<IZResultSet> result = Open();
  ASSERT_TRUE(result->Next());
  result->MoveToInsertRow();
  result->UpdateInt(1, 7);
  EXPECT_EQ(result->GetInt(1), 7);
  EXPECT_TRUE(result->RowInserted());
  result->InsertRow();
  EXPECT_EQ(CallsOf("dbpp_put_into"), (std::vector<std::string>{cursor_ + " [496=7,0=null] area"}));
  EXPECT_EQ(asa_test::QueryNumber(database_, "SELECT count(*) FROM numbers WHERE n = 7 AND note IS NULL"), 1);
  EXPECT_FALSE(result->RowInserted());
  EXPECT_EQ(result->GetInt(1), 1);
}

TEST_F(ASAResultSet, UpdateAndDeleteNameTheCursorAndFailuresTheRow) {
  Ref<IZResultSet> result = Open();
  ASSERT_TRUE(result->MoveAbsolute(3));
  result->UpdateString(2, "changed");
  EXPECT_EQ(result->GetString(2), "changed");
  EXPECT_TRUE(result->RowUpdated());
  result->UpdateRow();
  EXPECT_EQ(CallsOf("dbpp_update"), (std::vector<std::string>{cursor_ + " [0=null,448='changed']"}));
  EXPECT_EQ(asa_test::QueryNumber(database_, "SELECT count(*) FROM numbers WHERE n = 3 AND note = 'changed'"), 1);
  EXPECT_EQ(result->GetString(2), "note 3");
  result->DeleteRow();
  EXPECT_EQ(CallsOf("dbpp_delete"), (std::vector<std::string>{cursor_ + " nil nil"}));
  EXPECT_EQ(asa_test::QueryNumber(database_, "SELECT count(*) FROM numbers WHERE n = 3"), 0);
  EXPECT_TRUE(result->RowDeleted());

  ScopedLog log;
  for (const char* call : {"dbpp_update", "dbpp_delete"}) {
    ASSERT_TRUE(result->MoveAbsolute(3));
    result->UpdateInt(1, 9);
    dblib_probe::Inject(call, {-193, "refused"});
    if (std::string(call) == "dbpp_update")
      EXPECT_THROW(result->UpdateRow(), EZSQLException);
    else
      EXPECT_THROW(result->DeleteRow(), EZSQLException);
  }
  std::vector<AnsiString> failures;
  for (const TZLoggingEvent& event : log->Events)
    if (event.ErrorCode == -193) failures.push_back(event.Message);
  EXPECT_EQ(failures, (std::vector<AnsiString>{"Update row:3", "Delete row:3"}));
}

TEST_F(ASAResultSet, DeletingLowersAKnownLastRowOnly) {
  Ref<IZResultSet> result = Open();
  ASSERT_TRUE(result->MoveAbsolute(2));
  result->DeleteRow();
  ASSERT_TRUE(result->Last());  // still unknown: absolute -1
  EXPECT_FALSE(result->MoveAbsolute(50));
  ASSERT_TRUE(result->MoveAbsolute(2));
  result->DeleteRow();
  // Two of the 42 rows are gone; the second delete lowered the known last row.
  ASSERT_TRUE(result->Last());
  EXPECT_EQ(result->GetRow(), 40);
  const std::vector<std::string> fetches = Fetches();
  EXPECT_EQ(fetches[1], "1 -1");
  EXPECT_EQ(fetches.back(), "1 40");
  EXPECT_EQ(asa_test::QueryNumber(database_, "SELECT count(*) FROM numbers WHERE n IN (2, 3)"), 0);
}

TEST_F(ASAResultSet, ALazyBlobReadsItsOwnRow) {
  Ref<IZResultSet> result = Open(";cashedblob=false");
  ASSERT_TRUE(result->Next());
  Ref<IZBlob> blob = result->GetBlob(2);
  EXPECT_TRUE(CallsOf("dbpp_get_data").empty());
  ASSERT_TRUE(result->Next());
  EXPECT_EQ(blob->GetString(), "note 1");
  // The cursor stands on row 2 again.
  EXPECT_EQ(result->GetInt(1), 2);
  EXPECT_EQ(result->GetBlob(2)->GetString(), "note 2");
  EXPECT_EQ(Fetches(), (std::vector<std::string>{"2 1", "2 1", "1 1", "1 2"}));

  Ref<IZBlob> late = result->GetBlob(2);
  result->Close();
  EXPECT_THROW(late->GetString(), EZSQLException);
}

TEST_F(ASAResultSet, ACachedBlobIsReadAtOnce) {
  Ref<IZResultSet> result = Open();
  ASSERT_TRUE(result->Next());
  Ref<IZBlob> blob = result->GetBlob(2);
  EXPECT_FALSE(CallsOf("dbpp_get_data").empty());
  ASSERT_TRUE(result->Next());
  EXPECT_EQ(blob->GetString(), "note 1");
  EXPECT_EQ(blob->Clone()->GetString(), "note 1");
}

}  // namespace
