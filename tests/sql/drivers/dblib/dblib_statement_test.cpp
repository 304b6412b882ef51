// DB-Library statements through FreeTDS against the responder: every count
// and result set of a batch in the server's order, the server's row count
// after a statement without one, the texts sent, server errors, and
// procedure calls with their parameters, output values and return status.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "platform/rtl/datetime.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_statement.h"

namespace dblib_test {
namespace {

class StatementTest : public ResponderTest {
protected:
  Ref<IZDBLibConnection> OpenWithTable(const char* protocol = "mssql") {
    Ref<IZDBLibConnection> connection = Open(protocol);
    connection->InternalExecuteStatement("create table t (id int)");
    return connection;
  }

  // Every result of the statement's last execution, in order: "rows 1,2" for
  // a result set, "count 3" for an update count.
  static std::vector<std::string> Results(IZStatement& statement, bool first) {
    std::vector<std::string> results;
    for (bool rows = first;; rows = statement.GetMoreResults()) {
      if (rows) {
        std::string ids;
        Ref<IZResultSet> set = statement.GetResultSet();
        while (set->Next()) ids += (ids.empty() ? "" : ",") + set->GetString(1);
        results.push_back("rows " + ids);
      } else if (statement.GetUpdateCount() != -1) {
        results.push_back("count " + std::to_string(statement.GetUpdateCount()));
      } else {
        break;
      }
    }
    return results;
  }
};

TEST_F(StatementTest, BatchGivesEveryCountAndResultSetInOrder) {
  struct Case {
    const char* batch;
    std::vector<std::string> results;
  };
  const std::vector<Case> cases = {
      {"insert into t values (1); insert into t values (2); insert into t values (3)",
       {"count 1", "count 1", "count 1"}},
      {"select id from t; insert into t values (3); select id from t", {"rows 1,2", "count 1", "rows 1,2,3"}},
      {"insert into t values (3); select id from t; update t set id = id + 10",
       {"count 1", "rows 1,2,3", "count 3"}},
      {"update t set id = 5 where id = 1; select id from t; select id from t where id > 1",
       {"count 1", "rows 5,2", "rows 5,2"}},
      {"select id from t where id > 9; delete from t; insert into t values (7); select id from t",
       {"rows ", "count 2", "count 1", "rows 7"}},
      {"delete from t where id = 99; delete from t where id = 1", {"count 0", "count 1"}},
  };
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();
  for (const Case& c : cases) {
    connection->InternalExecuteStatement("delete from t; insert into t values (1); insert into t values (2)");
    EXPECT_EQ(Results(*statement, statement->Execute(c.batch)), c.results) << c.batch;
    EXPECT_FALSE(statement->GetResultSet());
  }
  connection->InternalExecuteStatement("delete from t; insert into t values (1)");
  // A query gives the batch's last result set, an update its first count.
  Ref<IZResultSet> rows = statement->ExecuteQuery("insert into t values (2); select id * 10 as x from t order by id");
  ASSERT_TRUE(rows && rows->Next());
  EXPECT_EQ(rows->GetInt(1), 10);
  EXPECT_EQ(rows->GetMetadata()->GetColumnLabel(1), "x");
  EXPECT_EQ(statement->ExecuteUpdate("insert into t values (3); insert into t values (4); select id from t"), 1);
  statement->Close();
  EXPECT_EQ(Sqlite("select group_concat(id) from t"), "1,2,3,4");
}

TEST_F(StatementTest, UnclosedStatementsAndTheirQueuedResultsAreFreed) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  connection->InternalExecuteStatement("insert into t values (1)");
  auto references = [&] { return dynamic_cast<TInterfacedObject&>(*connection).RefCount(); };
  const int before = references();
  const char* batch = "select id from t; select id * 2 from t; select id * 3 from t";

  // One result taken, the others still queued, nothing closed.
  Ref<IZStatement> statement = connection->CreateStatement();
  ASSERT_TRUE(statement->Execute(batch));
  ASSERT_TRUE(statement->GetMoreResults());
  statement = nullptr;
  connection->InternalExecuteStatement("create procedure ids as select id from t; select id from t");
  Ref<IZCallableStatement> call = connection->PrepareCall("ids");
  ASSERT_TRUE(call->ExecutePrepared());
  call = nullptr;
  EXPECT_EQ(references(), before);

  // A result still held keeps its statement until it goes too.
  statement = connection->CreateStatement();
  ASSERT_TRUE(statement->Execute(batch));
  Ref<IZResultSet> rows = statement->GetResultSet();
  statement = nullptr;
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), 1);
  EXPECT_GT(references(), before);
  rows = nullptr;
  EXPECT_EQ(references(), before);
}

TEST_F(StatementTest, StatementWithoutCountAsksTheServerForItsRowCount) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("insert into t values (1)"), 1);
  EXPECT_EQ(Requests().back(), "BATCH insert into t values (1)");
  EXPECT_EQ(statement->ExecuteUpdate("create table u (a int)"), 0);
  EXPECT_EQ(RequestsFrom("BATCH create table u"),
            (std::vector<std::string>{"BATCH create table u (a int)", "BATCH select @@rowcount"}));
  // A batch without rows gives no result set.
  EXPECT_FALSE(statement->ExecuteQuery("insert into t values (2)"));
}

TEST_F(StatementTest, SybaseDropsTheNullIsNullClause) {
  for (auto [protocol, sent] : {std::pair{"sybase", "BATCH select id from t where id = 1"},
                                std::pair{"mssql", "BATCH select id from t where id = 1 AND NULL IS NULL"}}) {
    Ref<IZDBLibConnection> connection = Open(protocol);
    connection->InternalExecuteStatement("create table if not exists t (id int)");
    ScopedLog log;
    connection->CreateStatement()->ExecuteQuery("select id from t where id = 1 AND NULL IS NULL");
    EXPECT_EQ(Requests().back(), sent) << protocol;
    EXPECT_EQ(log->Messages(lcExecute).front(), "select id from t where id = 1 AND NULL IS NULL");
  }
}

TEST_F(StatementTest, ServerErrorInABatchRaisesItsTextLoggedWithTheSql) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZStatement> statement = connection->CreateStatement();
  struct Case {
    const char* sql;
    const char* text;
    TZLoggingCategory category;
    const char* logged;
  };
  // An error of a later statement surfaces while the results are read.
  for (const Case& c : {Case{"raiserror('no such thing', 16, 1)", "no such thing \r", lcExecute, nullptr},
                        Case{"select * from nowhere", "Invalid object name 'nowhere'. \r", lcExecute, nullptr},
                        Case{"insert into t values (1); select nosuch from t", "Invalid column name 'nosuch'. \r",
                             lcOther, "FETCHRESULTS"}}) {
    ScopedLog log;
    const AnsiString error = PlatformError([&] { statement->ExecuteQuery(c.sql); });
    EXPECT_NE(error.find(c.text), AnsiString::npos) << error;
    ASSERT_FALSE(log->Events.empty());
    EXPECT_EQ(log->Events.back().Category, c.category);
    EXPECT_EQ(log->Events.back().Message, c.logged ? c.logged : c.sql);
  }
  // An informational message raises nothing.
  EXPECT_FALSE(statement->ExecuteQuery("raiserror('just so', 1, 1)"));
}

TEST_F(StatementTest, PreparedStatementSendsLiterals) {
  Ref<IZDBLibConnection> connection = Open();
  connection->InternalExecuteStatement("create table p (id int, name varchar(20))");
  connection->InternalExecuteStatement("insert into p values (5, 'O''Neil')");
  Ref<IZPreparedStatement> statement = connection->PrepareStatement("select id from p where id = ? and name = ? or ?");
  statement->SetInt(1, 5);
  statement->SetString(2, "O'Neil");
  Ref<IZResultSet> rows = statement->ExecuteQueryPrepared();
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), 5);
  EXPECT_EQ(Requests().back(), "BATCH select id from p where id = 5 and name = 'O''Neil' or NULL");
}

TEST_F(StatementTest, ProcedureCallSendsParametersAndReadsOutputsAndStatus) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  connection->InternalExecuteStatement(
      "create procedure typed_outputs @i int output, @f float output, @m money output, @t datetime output, "
      "@d decimal(12,2) output, @s varchar(20) output as "
      "set @i = @i + 1; set @f = @f * 2; set @m = @m + 1; set @t = datetime(@t, '+1 month', '+1 second'); "
      "set @d = @d * 2; set @s = upper(@s) || '!'; insert into t values (@i); select id from t; return 7");
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
  call->SetTimestamp(5, EncodeDate(2024, 1, 31) + EncodeTime(13, 5, 9, 0));
  call->SetDouble(6, -3.25);
  call->SetString(7, "ab");
  // FreeTDS hands out a procedure's result sets; the counts of its inner
  // statements stay with the server.
  ASSERT_TRUE(call->ExecutePrepared());
  ASSERT_TRUE(call->GetResultSet()->Next());
  EXPECT_EQ(call->GetResultSet()->GetInt(1), 43);
  EXPECT_EQ(Sqlite("select group_concat(id) from t"), "43");

  EXPECT_EQ(call->GetInt(1), 7);  // the return status
  EXPECT_EQ(call->GetInt(2), 43);
  EXPECT_DOUBLE_EQ(call->GetDouble(3), 5.0);
  EXPECT_DOUBLE_EQ(call->GetDouble(4), 13.34);
  EXPECT_NEAR(call->GetTimestamp(5), EncodeDate(2024, 3, 2) + EncodeTime(13, 5, 10, 0), 1e-8);
  EXPECT_DOUBLE_EQ(call->GetDouble(6), -6.5);
  EXPECT_EQ(call->GetString(7), "AB!");
  // What the server was sent, as it read it.
  EXPECT_EQ(RequestsFrom("RPC").front(), "RPC typed_outputs 42 output, 2.5 output, 12.34 output, "
                                         "'20240131 13:05:09:000' output, -3.25 output, 'ab' output");
}

TEST_F(StatementTest, ProcedureCallSendsInputsNullsAndWideIntegers) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  connection->InternalExecuteStatement(
      "create procedure wide @a int, @b bigint output, @c int as "
      "set @b = @b + @a; return isnull(@c, -5)");
  Ref<IZCallableStatement> call = connection->PrepareCall("wide");
  call->SetInt(2, 1);
  call->RegisterOutParameter(3, stLong);
  call->SetLong(3, 5000000000LL);
  call->SetNull(4, stInteger);
  call->ExecutePrepared();
  EXPECT_EQ(call->GetLong(3), 5000000001LL);
  EXPECT_EQ(call->GetInt(1), -5);
  EXPECT_EQ(RequestsFrom("RPC").front(), "RPC wide 1, 5000000000 output, None");
}

TEST_F(StatementTest, CallOfAnUnknownProcedureRaisesTheServersText) {
  Ref<IZDBLibConnection> connection = OpenWithTable();
  Ref<IZCallableStatement> call = connection->PrepareCall("no_such_proc");
  const AnsiString error = PlatformError([&] { call->ExecutePrepared(); });
  EXPECT_NE(error.find("Could not find stored procedure 'no_such_proc'."), AnsiString::npos) << error;
}

}  // namespace
}  // namespace dblib_test
