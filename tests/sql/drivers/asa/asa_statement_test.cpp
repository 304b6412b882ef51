// The ASA statements against the client double: their defaults, the
// prepared statement's life across executions, the binding of parameters
// and its refusals, and the counts of updates.

#include <algorithm>
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_statement.h"
#include "sql/drivers/asa/asa_utils.h"
#include "platform/rtl/datetime.h"
#include "tests/sql/drivers/asa/asa_test_support.h"
#include "tests/support/shell_runner.h"

namespace {

using asa_test::Connection;
using asa_test::MakeDatabase;
using asa_test::QueryNumber;
using dblib_probe::CallsOf;

constexpr char kItemsTable[] =
    "CREATE TABLE items (id INTEGER, name VARCHAR(20));"
    "INSERT INTO items VALUES (1, 'a'), (2, 'b'), (3, 'c');";

TEST(ASAStatement, NewStatementsHaveTheirDefaultsAndOwnCursorNames) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kItemsTable));
  std::set<AnsiString> names;
  for (int i = 0; i < 2; ++i) {
    Ref<IZStatement> statement = connection->NewStatement(nullptr);
    EXPECT_EQ(statement->GetFetchSize(), 20);
    EXPECT_EQ(statement->GetResultSetConcurrency(), rcUpdatable);
    EXPECT_EQ(statement->GetResultSetType(), rtScrollSensitive);
    dblib_probe::Reset();
    statement->Close();
    const std::vector<std::string> closed = CallsOf("dbpp_close");
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].size(), 12u);
    EXPECT_TRUE(std::all_of(closed[0].begin(), closed[0].end(), ::isdigit)) << closed[0];
    names.insert(closed[0]);
  }
  EXPECT_EQ(names.size(), 2u);
}

TEST(ASAStatement, CachedBlobOfTheStatementWinsOverTheConnection) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kItemsTable), "ASA9", ";cashedblob=true");
  TStringList info;
  info.Add("cashedblob=false");
  Ref<IZStatement> plain = connection->NewStatement(&info);
  EXPECT_FALSE(dynamic_cast<TZASAStatement*>(plain.get())->CachedBlob());
  Ref<IZPreparedStatement> prepared = connection->NewPreparedStatement("SELECT id FROM items", &info);
  EXPECT_FALSE(dynamic_cast<TZASAPreparedStatement*>(prepared.get())->CachedBlob());
  EXPECT_TRUE(dynamic_cast<TZASAStatement*>(connection->NewStatement(nullptr).get())->CachedBlob());
  // Without its own setting a statement takes the connection's.
  Ref<TZASAConnection> lazy = Connection(MakeDatabase(kItemsTable), "ASA9", ";cashedblob=false");
  EXPECT_FALSE(dynamic_cast<TZASAStatement*>(lazy->NewStatement(nullptr).get())->CachedBlob());
}

TEST(ASAStatement, ExecuteUpdateCountsAndCancelReachesTheClient) {
  const std::string database = MakeDatabase(kItemsTable);
  Ref<TZASAConnection> connection = Connection(database);
  Ref<IZStatement> statement = connection->NewStatement(nullptr);
  EXPECT_EQ(statement->ExecuteUpdate("UPDATE items SET name = 'x' WHERE id > 1"), 2);
  EXPECT_EQ(statement->GetUpdateCount(), 2);
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items WHERE name = 'x'"), 2);
  dblib_probe::Reset();
  statement->Cancel();
  EXPECT_EQ(CallsOf("db_cancel_request").size(), 1u);
  dblib_probe::Inject("dbpp_execute_imm", {-131, "broken"});
  EXPECT_THROW(statement->ExecuteUpdate("DELETE FROM items"), EZSQLException);
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items"), 3);
}

TEST(ASAPreparedStatement, PreparesOnceForTwoExecutionsAndAgainForANewText) {
  const std::string database = MakeDatabase(kItemsTable);
  Ref<TZASAConnection> connection = Connection(database);
  dblib_probe::Reset();
  Ref<IZPreparedStatement> statement =
      connection->NewPreparedStatement("UPDATE items SET name = ? WHERE id = ?", nullptr);
  for (int id : {1, 2}) {
    statement->SetString(1, "new");
    statement->SetInt(2, id);
    EXPECT_EQ(statement->ExecuteUpdatePrepared(), 1);
  }
  EXPECT_EQ(CallsOf("dbpp_prepare_describe"),
            (std::vector<std::string>{"nil nil UPDATE items SET name = ? WHERE id = ? nil 2563 0"}));
  EXPECT_EQ(CallsOf("dbpp_execute_into"), (std::vector<std::string>{"nil nil area nil", "nil nil area nil"}));
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items WHERE name = 'new'"), 2);

  statement->ClearParameters();
  statement->SetInt(1, 3);
  EXPECT_EQ(statement->ExecuteUpdate("DELETE FROM items WHERE id = ?"), 1);
  EXPECT_EQ(CallsOf("dbpp_prepare_describe").size(), 2u);
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 1u);
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items"), 2);
  statement->Close();
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 2u);
}

// Date, time and timestamp parameters reach the store as the values they
// are (checked with the sqlite3 shell) and come back equal.
TEST(ASAPreparedStatement, DateTimeAndTimestampParametersKeepTheirValues) {
  const std::string database = MakeDatabase("CREATE TABLE moments (id INTEGER, d DATE, t TIME, ts TIMESTAMP)");
  Ref<TZASAConnection> connection = Connection(database);
  const TDateTime day = EncodeDate(2024, 2, 29), clock = EncodeTime(13, 5, 9, 250);
  Ref<IZPreparedStatement> insert =
      connection->NewPreparedStatement("INSERT INTO moments VALUES (?, ?, ?, ?)", nullptr);
  for (int id : {1, 2}) {
    const TDateTime stamp = id == 1 ? day + clock : EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0);
    insert->SetInt(1, id);
    insert->SetDate(2, std::trunc(stamp));
    insert->SetTime(3, stamp - std::trunc(stamp));
    insert->SetTimestamp(4, stamp);
    EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  }
  const std::string shell = RunShell("sqlite3 '" + std::string(VX_ASA_DOUBLE_DIR) + "/" + database +
                                     ".db' 'SELECT ts FROM moments ORDER BY id'").output;
  EXPECT_EQ(shell, "2024-02-29 13:05:09.250000\n1999-12-31 23:59:59.000000\n");

  Ref<IZResultSet> rows = connection->NewStatement(nullptr)->ExecuteQuery("SELECT d, t, ts FROM moments ORDER BY id");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetDate(1), day);
  EXPECT_NEAR(rows->GetTimestamp(3), day + clock, 1e-9);
  EXPECT_NEAR(rows->GetTime(2), clock, 1e-9);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetDate(1), EncodeDate(1999, 12, 31));
}

TEST(ASAPreparedStatement, ASelectOfSeveralRowsRunForItsCountAnswersTheCount) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kItemsTable));
  Ref<IZPreparedStatement> statement = connection->NewPreparedStatement("SELECT id FROM items", nullptr);
  EXPECT_EQ(statement->ExecuteUpdatePrepared(), 3);
  // Without result columns the same code is an error.
  Ref<IZPreparedStatement> update = connection->NewPreparedStatement("DELETE FROM items", nullptr);
  dblib_probe::Inject("dbpp_execute_into", {kSqlTooManyRows, "too many"});
  EXPECT_THROW(update->ExecuteUpdatePrepared(), EZSQLException);
}

TEST(ASAPreparedStatement, BadParametersAreRefusedBeforeAnythingRuns) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kItemsTable));
  Ref<IZPreparedStatement> statement =
      connection->NewPreparedStatement("UPDATE items SET name = ? WHERE id = ?", nullptr);
  dblib_probe::Reset();
  statement->SetString(1, "x");
  try {
    statement->ExecuteUpdatePrepared();
    FAIL() << "one value for two markers";
  } catch (const EZSQLException& e) {
    EXPECT_STREQ(e.what(), "Input parameter count is less then expected");
  }
  statement->SetInt(2, 1);
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, 5);
  dynamic_cast<TZAbstractPreparedStatement*>(statement.get())->SetInParam(1, stUnknown, value);
  try {
    statement->ExecuteUpdatePrepared();
    FAIL() << "a parameter of unknown type";
  } catch (const EZASAConvertError& e) {
    EXPECT_STREQ(e.what(), "Unsupported parameter type");
  }
  EXPECT_TRUE(CallsOf("dbpp_execute_into").empty());
}

TEST(ASAPreparedStatement, AFailedPrepareDropsTheNumberItGot) {
  Ref<TZASAConnection> connection = Connection(MakeDatabase(kItemsTable));
  dblib_probe::Reset();
  dblib_probe::Inject("dbpp_describe", {-131, "describe failed"});
  EXPECT_THROW(connection->NewPreparedStatement("SELECT id FROM items", nullptr), EZSQLException);
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 1u);

  // Failing again on a new text, the statement forgets the dropped number.
  Ref<IZPreparedStatement> statement = connection->NewPreparedStatement("SELECT id FROM items", nullptr);
  dblib_probe::Reset();
  dblib_probe::Inject("dbpp_describe", {-131, "describe failed"});
  EXPECT_THROW(statement->ExecuteUpdate("SELECT name FROM items"), EZSQLException);
  statement->Close();
  EXPECT_EQ(CallsOf("dbpp_dropstmt").size(), 2u);  // the old number, then the failed one; none twice
  EXPECT_EQ(connection->GetDBHandle()->sqlcode, 0);
}

}  // namespace
