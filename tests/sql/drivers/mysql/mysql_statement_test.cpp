// MySQL statements against the throwaway server: what the executions answer,
// parameter literals as the server receives them (general log) and reads
// them back, multiple results, and the cached resolver's insert ids.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/core/variant.h"
#include "sql/drivers/mysql/mysql_statement.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"

namespace {

using namespace mysql_test;

TZVariant TextValue(const AnsiString& text) {
  TZVariant value;
  SoftVarManager()->SetAsString(value, text);
  return value;
}

std::string ServerValue(const std::string& sql) {
  std::string out = MariaDbServer::Get().Client(sql, "kalmir");
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

class MySQLStatement : public ::testing::Test {
protected:
  void SetUp() override { connection = Connect({"codepage=cp1250"}); }
  void Exec(const AnsiString& sql) { connection->CreateStatement()->ExecuteUpdate(sql); }
  unsigned long ThreadId() {
    return connection->GetPlainDriver()->GetThreadId(connection->GetConnectionHandle());
  }
  Ref<IZMySQLConnection> connection;
};

TEST_F(MySQLStatement, ExecutionsAnswerWithResultsOrCounts) {
  Exec("DROP TABLE IF EXISTS st_exec");
  Exec("CREATE TABLE st_exec (n int)");
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("INSERT INTO st_exec VALUES (1), (2), (3)"), 3);
  EXPECT_EQ(statement->GetUpdateCount(), 3);
  // A SELECT counts its rows.
  EXPECT_EQ(statement->ExecuteUpdate("SELECT n FROM st_exec WHERE n > 1"), 2);

  EXPECT_TRUE(statement->Execute("SELECT n FROM st_exec"));
  ASSERT_TRUE(statement->GetResultSet());
  EXPECT_TRUE(statement->GetResultSet()->Next());
  EXPECT_FALSE(statement->Execute("DELETE FROM st_exec WHERE n = 3"));
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  EXPECT_FALSE(statement->GetResultSet());

  // The update is applied before the missing result set is noticed.
  try {
    statement->ExecuteQuery("UPDATE st_exec SET n = n + 10");
    ADD_FAILURE() << "an UPDATE gave a result set";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Can not open a Resultset");
  }
  EXPECT_EQ(ServerValue("SELECT GROUP_CONCAT(n ORDER BY n) FROM st_exec"), "11,12");

  try {
    statement->ExecuteQuery("SELECT nope FROM st_exec");
    ADD_FAILURE() << "a bad column was accepted";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1054);
    EXPECT_EQ(e.Message().rfind("SQL Error: Unknown column", 0), 0u) << e.Message();
  }
}

TEST_F(MySQLStatement, UseResultComesFromStatementOrConnection) {
  EXPECT_FALSE(Query<IZMySQLStatement>(connection->CreateStatement())->IsUseResult());
  TStringList properties;
  properties.Add("useresult=true");
  EXPECT_TRUE(Query<IZMySQLStatement>(connection->CreateStatementWithProperties(&properties))->IsUseResult());
  Ref<IZMySQLConnection> streaming = Connect({"useresult=yes"});
  EXPECT_TRUE(Query<IZMySQLStatement>(streaming->CreateStatement())->IsUseResult());
}

TEST_F(MySQLStatement, ParameterLiteralsRoundTrip) {
  Exec("DROP TABLE IF EXISTS st_literals");
  Exec("CREATE TABLE st_literals (id int, s varchar(100), d date, t time, ts datetime, b char(1), "
       "f double, n bigint, u varchar(100), k varchar(100)) CHARACTER SET cp1250");
  const AnsiString czech = "Žluťoučký kůň úpěl ďábelské ódy";
  Ref<IZPreparedStatement> insert =
      connection->PrepareStatement("INSERT INTO st_literals VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  const TDateTime date = EncodeDate(2007, 3, 5);
  const TDateTime time = (8 * 3600 + 9 * 60 + 10) / 86400.0;
  const struct {
    int id;
    AnsiString text;
  } rows[] = {{1, "O'Neil"}, {2, "back\\slash \\' and \"quotes\""}, {3, czech}, {4, AnsiString("nul\0byte", 8)}};
  for (const auto& row : rows) {
    insert->SetInt(1, row.id);
    insert->SetString(2, row.text);
    insert->SetDate(3, date);
    insert->SetTime(4, time);
    insert->SetTimestamp(5, date + time);
    insert->SetBoolean(6, true);
    insert->SetDouble(7, -1.25);
    insert->SetLong(8, -9007199254740993LL);
    insert->SetUnicodeString(9, u"Wide 'ďábel'");
    // A value without a declared type still becomes one quoted literal.
    dynamic_cast<TZAbstractPreparedStatement&>(*insert).SetInParam(10, stUnknown, TextValue("x', 'y"));
    EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  }

  Ref<IZResultSet> read = connection->CreateStatement()->ExecuteQuery(
      "SELECT s, d, t, ts, b, f, n, u, k FROM st_literals ORDER BY id");
  for (const auto& row : rows) {
    ASSERT_TRUE(read->Next());
    EXPECT_EQ(read->GetString(1), row.text);
    EXPECT_EQ(read->GetDate(2), date);
    EXPECT_NEAR(read->GetTime(3), time, 1e-9);
    EXPECT_NEAR(read->GetTimestamp(4), date + time, 1e-9);
    EXPECT_EQ(read->GetString(5), "Y");
    EXPECT_DOUBLE_EQ(read->GetDouble(6), -1.25);
    EXPECT_EQ(read->GetLong(7), -9007199254740993LL);
    EXPECT_EQ(read->GetString(8), "Wide 'ďábel'");
    EXPECT_EQ(read->GetString(9), "x', 'y");
  }

  // The literals as the server received them.
  std::vector<AnsiString> log = GeneralLog(ThreadId());
  auto sent = std::find_if(log.begin(), log.end(),
                           [](const AnsiString& line) { return line.find("INSERT INTO st_literals") != AnsiString::npos; });
  ASSERT_NE(sent, log.end());
  for (const char* literal : {"(1, 'O\\'Neil', '2007-03-05', '08:09:10', '2007-03-05 08:09:10', 'Y', -1.25, "
                              "-9007199254740993, 'Wide \\'", "'x\\', \\'y')"})
    EXPECT_NE(sent->find(literal), AnsiString::npos) << literal << " in " << *sent;
}

TEST_F(MySQLStatement, NullParametersDefaultsAndEmptyBlobs) {
  const struct {
    const char* defaults;  // the statement's "defaults" property, "" for none
    const char* expected;
  } cases[] = {{"", "dflt"}, {"true", "dflt"}, {"false", "NULL"}};
  for (const auto& c : cases) {
    TStringList properties;
    if (*c.defaults) properties.Add(AnsiString("defaults=") + c.defaults);
    Ref<IZPreparedStatement> select = connection->PrepareStatementWithProperties("SELECT ?", &properties);
    select->SetNull(1, stString);
    select->SetDefaultValue(1, "'dflt'");
    Ref<IZResultSet> row = select->ExecuteQueryPrepared();
    ASSERT_TRUE(row->Next());
    EXPECT_EQ(row->IsNull(1) ? "NULL" : row->GetString(1), c.expected) << "defaults=" << c.defaults;
  }

  // An empty blob is the empty value, not NULL.
  Ref<IZPreparedStatement> select = connection->PrepareStatement("SELECT ? IS NULL, ?, ? IS NULL");
  select->SetBlob(1, stBinaryStream, MakeRef<TZAbstractBlob>());
  select->SetBlob(2, stAsciiStream, TZAbstractBlob::CreateWithData("it's", 4));
  select->SetBlob(3, stAsciiStream, MakeRef<TZAbstractBlob>());
  Ref<IZResultSet> row = select->ExecuteQueryPrepared();
  ASSERT_TRUE(row->Next());
  EXPECT_EQ(row->GetInt(1), 0);
  EXPECT_EQ(row->GetString(2), "it's");
  EXPECT_EQ(row->GetInt(3), 0);

  // Fewer values than markers.
  Ref<IZPreparedStatement> missing = connection->PrepareStatement("SELECT ?, ?");
  missing->SetInt(1, 1);
  try {
    missing->ExecuteQueryPrepared();
    ADD_FAILURE() << "ran with a parameter missing";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Input parameter count is less then expected");
  }
}

// A text handed in for a numeric parameter is written as a number, so it can
// never add SQL of its own.
TEST_F(MySQLStatement, NumericParametersNeverCarryText) {
  Ref<IZPreparedStatement> select = connection->PrepareStatement("SELECT ?");
  auto& parameters = dynamic_cast<TZAbstractPreparedStatement&>(*select);
  parameters.SetInParam(1, stInteger, TextValue("7"));
  Ref<IZResultSet> row = select->ExecuteQueryPrepared();
  ASSERT_TRUE(row->Next());
  EXPECT_EQ(row->GetString(1), "7");

  for (TZSQLType type : {stInteger, stDouble}) {
    parameters.SetInParam(1, type, TextValue("1 OR 1=1"));
    try {
      row = select->ExecuteQueryPrepared();
    } catch (const Exception&) {
      continue;  // refusing the text is as good
    }
    EXPECT_EQ(row->GetMetadata()->GetColumnLabel(1).find("OR"), AnsiString::npos);
  }
}

TEST_F(MySQLStatement, MultipleResultsStepInOrder) {
  Ref<IZMySQLConnection> multi = Connect({"CLIENT_MULTI_STATEMENTS=Y"});
  Ref<IZStatement> statement = multi->CreateStatement();
  ASSERT_TRUE(statement->Execute("SELECT 1; SELECT 2"));
  ASSERT_TRUE(statement->GetResultSet()->Next());
  EXPECT_EQ(statement->GetResultSet()->GetInt(1), 1);
  EXPECT_TRUE(statement->GetMoreResults());
  ASSERT_TRUE(statement->GetResultSet());
  ASSERT_TRUE(statement->GetResultSet()->Next());
  EXPECT_EQ(statement->GetResultSet()->GetInt(1), 2);
  EXPECT_FALSE(statement->GetMoreResults());
}

TEST_F(MySQLStatement, CachedInsertGetsTheServersId) {
  Exec("DROP TABLE IF EXISTS st_auto");
  Exec("CREATE TABLE st_auto (id int NOT NULL AUTO_INCREMENT PRIMARY KEY, name varchar(20))");
  Exec("INSERT INTO st_auto (id, name) VALUES (41, 'first')");
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT id, name FROM st_auto");
  ASSERT_TRUE(Query<IZCachedResultSet>(rows));
  rows->MoveToInsertRow();
  rows->UpdateString(2, "second");
  rows->InsertRow();
  EXPECT_EQ(rows->GetInt(1), 42);
  EXPECT_EQ(ServerValue("SELECT id FROM st_auto WHERE name = 'second'"), "42");

  rows->MoveToInsertRow();
  rows->UpdateInt(1, 100);
  rows->UpdateString(2, "given");
  rows->InsertRow();
  EXPECT_EQ(rows->GetInt(1), 100);
}

TEST_F(MySQLStatement, StatementsOfAClosedConnectionRefuseToRun) {
  Ref<IZStatement> statement = connection->CreateStatement();
  connection->Close();
  try {
    statement->ExecuteQuery("SELECT 1");
    ADD_FAILURE() << "ran on a closed connection";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Connection is not opened yet");
  }
  // A new statement reopens the connection.
  EXPECT_EQ(connection->CreateStatement()->ExecuteUpdate("SELECT 1"), 1);
}

}  // namespace
