// DB-Library statements on the fake library: batches with several results,
// the server's row count after a statement without one, the texts sent, and
// procedure calls with their parameters, output values and return status.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include <algorithm>

#include "platform/rtl/datetime.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_statement.h"

namespace dblib_test {
namespace {

constexpr char kMsSqlUrl[] = "zdbc:mssql://127.0.0.1:1433/master?UID=sa;PWD=x";
constexpr char kSybaseUrl[] = "zdbc:sybase://dbhost/pubs?UID=sa;PWD=x";
constexpr char kBatch[] = "insert into t values (1); select id from t; select id * 10 as x from t";

class StatementTest : public FakeLibraryTest {
protected:
  Ref<IZDBLibConnection> OpenWithTable(const char* url = kMsSqlUrl) {
    Ref<IZDBLibConnection> connection = Connect(url);
    connection->Open();
    connection->InternalExecuteStatement("create table t (id int)");
    ForgetCalls();
    return connection;
  }
};

TEST_F(StatementTest, BatchResultsAreTakenInTheServersOrder) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();

  Ref<IZResultSet> rows = statement->ExecuteQuery(kBatch);
  ASSERT_TRUE(rows);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), 10);  // the last select's rows

  EXPECT_EQ(statement->ExecuteUpdate(kBatch), 1);  // the insert's count
  ASSERT_TRUE(statement->GetMoreResults());
  Ref<IZResultSet> first = statement->GetResultSet();
  ASSERT_TRUE(first && first->Next());
  EXPECT_EQ(first->GetInt(1), 1);
  ASSERT_TRUE(statement->GetMoreResults());
  ASSERT_TRUE(statement->GetResultSet()->Next());
  EXPECT_EQ(statement->GetResultSet()->GetInt(1), 10);
  EXPECT_EQ(statement->GetResultSet()->GetMetadata()->GetColumnLabel(1), "x");
  EXPECT_FALSE(statement->GetMoreResults());
  EXPECT_EQ(statement->GetUpdateCount(), -1);
  EXPECT_FALSE(statement->GetResultSet());

  EXPECT_FALSE(statement->Execute(kBatch));
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  EXPECT_TRUE(statement->GetMoreResults());

  // Rows never asked for are discarded after each result.
  EXPECT_FALSE(Calls("dbcanquery").empty());
  // Results not taken hold the statement until it is closed.
  statement->Close();
}

TEST_F(StatementTest, StatementWithoutCountAsksTheServerForItsRowCount) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("insert into t values (1)"), 1);
  EXPECT_EQ(Calls("dbcmd("), std::vector<std::string>{"dbcmd(\"insert into t values (1)\")"});
  ForgetCalls();
  EXPECT_EQ(statement->ExecuteUpdate("create table u (a int)"), 0);
  // Sent and read at once, then the rest of it cancelled.
  const std::vector<std::string> calls = Calls();
  const auto sent = std::find(calls.begin(), calls.end(), "dbcmd(\"select @@rowcount\")");
  ASSERT_LE(sent + 3, calls.end());
  EXPECT_EQ(std::vector<std::string>(sent + 1, sent + 3), (std::vector<std::string>{"dbsqlexec()", "dbresults()"}));
  EXPECT_NE(std::find(sent, calls.end(), "dbnextrow()"), calls.end());
  EXPECT_EQ(calls.back(), "dbcancel()");
  // A batch without rows gives no result set.
  EXPECT_FALSE(statement->ExecuteQuery("insert into t values (2)"));
}

TEST_F(StatementTest, SybaseDropsTheNullIsNullClause) {
  for (auto [url, sent] : {std::pair{kSybaseUrl, "dbcmd(\"select id from t where id = 1\")"},
                           std::pair{kMsSqlUrl, "dbcmd(\"select id from t where id = 1 AND NULL IS NULL\")"}}) {
    Ref<IZDBLibConnection> connection = OpenWithTable(url);
    ScopedLog log;
    connection->CreateStatement()->ExecuteQuery("select id from t where id = 1 AND NULL IS NULL");
    EXPECT_EQ(Calls("dbcmd("), std::vector<std::string>{sent}) << url;
    EXPECT_EQ(log->Messages(lcExecute).front(), "select id from t where id = 1 AND NULL IS NULL");
  }
}

TEST_F(StatementTest, ServerErrorInABatchRaisesItsTextLoggedWithTheSql) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();
  ScopedLog log;
  try {
    statement->ExecuteQuery("raiserror('no such thing', 16, 1)");
    ADD_FAILURE() << "no exception";
  } catch (const EZSQLException& error) {
    ADD_FAILURE() << "EZSQLException: " << error.Message();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "no such thing \r");
  }
  ASSERT_FALSE(log->Events.empty());
  EXPECT_EQ(log->Events.back().Category, lcExecute);
  EXPECT_EQ(log->Events.back().Message, "raiserror('no such thing', 16, 1)");
}

TEST_F(StatementTest, PreparedStatementSendsLiterals) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZPreparedStatement> statement = connection->PrepareStatement("select id from t where id = ? or id = ? or ?");
  statement->SetInt(1, 5);
  statement->SetString(2, "O'Neil");
  statement->ExecuteQueryPrepared();
  EXPECT_EQ(Calls("dbcmd("),
            std::vector<std::string>{"dbcmd(\"select id from t where id = 5 or id = 'O''Neil' or NULL\")"});
  EXPECT_FALSE(statement->GetMetadata());
}

TEST_F(StatementTest, ProcedureCallSendsParametersAndReadsOutputs) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZCallableStatement> call = connection->PrepareCall("  typed_outputs\t");
  // Parameter 1 is the return status; the procedure's parameters follow.
  call->RegisterOutParameter(2, stInteger);
  call->RegisterOutParameter(3, stDouble);
  call->RegisterOutParameter(4, stDouble);
  call->RegisterOutParameter(5, stTimestamp);
  call->RegisterOutParameter(6, stDouble);
  call->RegisterOutParameter(7, stString);
  call->SetInt(2, 42);
  call->SetDouble(3, 2.5);
  call->SetDouble(4, 12.34);
  const TDateTime stamp = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
  call->SetTimestamp(5, stamp);
  call->SetDouble(6, -3.25);
  call->SetString(7, "");
  EXPECT_FALSE(call->ExecutePrepared());

  EXPECT_EQ(Calls("dbrpcinit"), std::vector<std::string>{"dbrpcinit(\"typed_outputs\", 0)"});
  const std::vector<std::string> params = {
      "dbrpcparam((null), 1, 56, -1, -1)", "dbrpcparam((null), 1, 62, -1, -1)",
      "dbrpcparam((null), 1, 62, -1, -1)", "dbrpcparam((null), 1, 47, 2147483647, 21)",
      "dbrpcparam((null), 1, 62, -1, -1)", "dbrpcparam((null), 1, 47, 2147483647, 1)"};
  EXPECT_EQ(Calls("dbrpcparam"), params);

  EXPECT_EQ(call->GetInt(1), 7);  // the return status
  EXPECT_EQ(call->GetInt(2), 42);
  EXPECT_DOUBLE_EQ(call->GetDouble(3), 2.5);
  EXPECT_DOUBLE_EQ(call->GetDouble(4), 12.34);  // money, high half first
  EXPECT_NEAR(call->GetTimestamp(5), stamp, 1e-8);
  EXPECT_DOUBLE_EQ(call->GetDouble(6), -3.25);  // decimal through dbconvert
  EXPECT_FALSE(Calls("dbconvert(106,").empty());
}

TEST_F(StatementTest, ProcedureCallSendsInputsAndWideIntegers) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZCallableStatement> call = connection->PrepareCall("typed_outputs");
  call->SetInt(2, 1);
  call->RegisterOutParameter(3, stDouble);
  call->SetLong(3, 5000000000LL);
  call->SetNull(4, stInteger);
  call->ExecutePrepared();
  const std::vector<std::string> params = {"dbrpcparam((null), 0, 56, -1, -1)", "dbrpcparam((null), 1, 127, -1, -1)",
                                           "dbrpcparam((null), 0, 56, -1, 0)"};
  EXPECT_EQ(Calls("dbrpcparam"), params);
  EXPECT_DOUBLE_EQ(call->GetDouble(3), 5e9);
  EXPECT_EQ(call->GetInt(1), 7);
}

TEST_F(StatementTest, CallOfAnUnknownProcedureRaisesTheServersText) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZCallableStatement> call = connection->PrepareCall("no_such_proc");
  EXPECT_THROW(
      {
        try {
          call->ExecutePrepared();
        } catch (const Exception& error) {
          EXPECT_EQ(error.Message(), "Could not find stored procedure 'no_such_proc'. \r");
          throw;
        }
      },
      Exception);
}

}  // namespace
}  // namespace dblib_test
