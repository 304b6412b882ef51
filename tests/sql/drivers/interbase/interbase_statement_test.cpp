// The statements, result set and blob on the embedded engine: which
// executions hand out rows and which count them, that no client statement
// is left behind (MON$STATEMENTS seen from another attachment), stored
// procedures called both ways, the native cursor's limits, blobs read on
// demand, and cached results posted back through the resolver.

#include <gtest/gtest.h>

#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_result_set.h"
#include "sql/drivers/interbase/interbase_statement.h"
#include "tests/sql/core/sql_error.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;
using InterbaseStatement = AttachedTest;

Ref<IZStatement> ForwardOnly(IZConnection* connection) {
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetType(rtForwardOnly);
  return statement;
}

TEST_F(InterbaseStatement, QueriesWithoutRowsAndFailuresLeaveNoStatement) {
  Attach(kCatalogueSchema);
  const std::int64_t before = StatementsOfOthers();
  Ref<IZStatement> statement = connection_->CreateStatement();
  EXPECT_EQ(SQLError([&] { statement->ExecuteQuery("INSERT INTO DEPT VALUES (2, 'two')"); }),
            "Cannot retrieve Resultset data");
  EXPECT_THROW(statement->ExecuteQuery("SELECT NOPE FROM DEPT"), EZSQLException);
  EXPECT_THROW(statement->ExecuteUpdate("INSERT INTO DEPT VALUES (1, 'twice')"), EZSQLException);
  EXPECT_THROW(statement->Execute("UPDATE EMP SET ID = NULL"), EZSQLException);
  EXPECT_EQ(SQLError([&] { statement->ExecuteUpdate("SET TRANSACTION"); }), "Statement is not allowed");
  Ref<IZPreparedStatement> prepared = connection_->PrepareStatement("SELECT * FROM EMP WHERE ID = ?");
  EXPECT_THROW(prepared->ExecuteQueryPrepared(), EZSQLException);  // no value for the marker
  EXPECT_EQ(StatementsOfOthers(), before);

  // A result set holds its statement until closed, and a second Close is harmless.
  Ref<IZResultSet> rows = ForwardOnly(connection_.get())->ExecuteQuery("SELECT ID FROM EMP");
  EXPECT_EQ(StatementsOfOthers(), before + 1);
  rows->Close();
  rows->Close();
  EXPECT_EQ(StatementsOfOthers(), before);
  EXPECT_EQ(SQLError([&] { rows->Next(); }), "Operation is not allowed for closed dataset");
}

TEST_F(InterbaseStatement, UpdateCountsAndWhatExecuteReports) {
  Attach(kCatalogueSchema, "autocommit=true");
  Ref<IZStatement> statement = connection_->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("UPDATE EMP SET SALARY = SALARY + 1 WHERE ID > 2"), 3);
  EXPECT_EQ(statement->GetUpdateCount(), 3);
  // Committed at once: another attachment sees it.
  {
    Ref<IZInterbase6Connection> other = Connection();
    other->Open();
    EXPECT_EQ(QueryInteger(other.get(), "SELECT CAST(SUM(SALARY) AS BIGINT) FROM EMP WHERE ID > 2"), 1203);
  }
  EXPECT_EQ(statement->ExecuteUpdate("CREATE TABLE NEWONE (A INTEGER)"), -1);

  EXPECT_TRUE(statement->Execute("SELECT NAME FROM EMP ORDER BY ID"));
  Ref<IZResultSet> rows = statement->GetResultSet();
  ASSERT_TRUE(rows);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "Ann");
  EXPECT_TRUE(statement->Execute("EXECUTE PROCEDURE ADD_ONE(1, 2)"));
  ASSERT_TRUE(statement->GetResultSet());
  ASSERT_TRUE(statement->GetResultSet()->Next());
  EXPECT_EQ(statement->GetResultSet()->GetInt(1), 4);
  EXPECT_TRUE(statement->Execute("SELECT NAME FROM EMP WHERE ID = 1 FOR UPDATE WITH LOCK"));
  ASSERT_TRUE(statement->GetResultSet());
  ASSERT_TRUE(statement->GetResultSet()->Next());
  EXPECT_EQ(statement->GetResultSet()->GetString(1), "Ann");
  EXPECT_FALSE(statement->Execute("DELETE FROM EMP WHERE ID = 5"));
  EXPECT_FALSE(statement->GetResultSet());
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  EXPECT_EQ(statement->ExecuteUpdate("COMMIT"), -1);
}

TEST_F(InterbaseStatement, ProcedureTexts) {
  Attach("");
  const struct {
    int inputs;
    bool select;
    const char* sql;
  } cases[] = {
      {2, false, "EXECUTE PROCEDURE P(?,?)"},
      {2, true, "SELECT * FROM P(?,?)"},
      {0, false, "EXECUTE PROCEDURE P"},
      {0, true, "SELECT * FROM P"},
  };
  for (const auto& c : cases) {
    auto call = MakeRef<TZInterbase6CallableStatement>(connection_, "P", nullptr);
    for (int i = 1; i <= c.inputs; ++i) call->SetInt(i, i);
    call->RegisterOutParameter(c.inputs + 1, stInteger);  // an output position without a value
    call->TrimInParameters();
    EXPECT_EQ(call->GetProcedureSql(c.select), c.sql);
  }
}

TEST_F(InterbaseStatement, ProceduresCalledBothWays) {
  Attach(kCatalogueSchema);
  const std::int64_t before = StatementsOfOthers();
  Ref<IZCallableStatement> call = connection_->PrepareCall("ADD_ONE");
  call->SetInt(1, 20);
  call->SetInt(2, 21);
  call->RegisterOutParameter(3, stInteger);
  EXPECT_TRUE(call->ExecutePrepared());
  EXPECT_EQ(call->GetInt(1), 42);
  EXPECT_EQ(call->GetString(2), "sum");
  // A blob output has its own text, not the column's before it.
  EXPECT_EQ(call->GetString(3), "note 42");
  call->ExecuteUpdatePrepared();
  EXPECT_EQ(call->GetInt(1), 42);

  Ref<IZCallableStatement> rows = connection_->PrepareCall("COUNT_UP");
  rows->SetResultSetType(rtForwardOnly);
  rows->SetInt(1, 3);
  Ref<IZResultSet> result = rows->ExecuteQueryPrepared();
  ASSERT_TRUE(result);
  std::vector<int> seen;
  while (result->Next()) seen.push_back(result->GetInt(1));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  result->Close();

  // A procedure without outputs cannot be selected from; the refusal
  // keeps no statement either.
  EXPECT_THROW(connection_->PrepareCall("NOTHING")->ExecuteQueryPrepared(), EZSQLException);
  EXPECT_EQ(connection_->PrepareCall("NOTHING")->ExecuteUpdatePrepared(), -1);
  EXPECT_EQ(StatementsOfOthers(), before);
}

TEST_F(InterbaseStatement, TheNativeCursor) {
  Attach(kCatalogueSchema);
  Ref<IZStatement> statement = ForwardOnly(connection_.get());
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT ID, ID + 1 AS NEXT_ID, RDB$DB_KEY FROM EMP");
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  EXPECT_FALSE(metadata->IsReadOnly(1));
  EXPECT_TRUE(metadata->IsReadOnly(2));
  EXPECT_TRUE(metadata->IsReadOnly(3));
  EXPECT_EQ(SQLError([&] { rows->MoveAbsolute(1); }), "Operation is not allowed in FORWARD ONLY mode");
  rows->Close();

  statement->SetMaxRows(2);
  rows = statement->ExecuteQuery("SELECT ID FROM EMP");
  EXPECT_TRUE(rows->Next());
  EXPECT_TRUE(rows->Next());
  EXPECT_FALSE(rows->Next());
  rows->Close();

  Ref<IZPreparedStatement> prepared = connection_->PrepareStatement("SELECT ID FROM EMP WHERE ID > ?");
  prepared->SetResultSetType(rtForwardOnly);
  prepared->SetInt(1, 3);
  ASSERT_TRUE(prepared->ExecutePrepared());
  Ref<IZResultSet> last = prepared->GetResultSet();
  const AnsiString cursor = last->GetCursorName();
  EXPECT_EQ(cursor.size(), 12u);
  EXPECT_EQ(cursor.find_first_not_of("0123456789"), AnsiString::npos) << cursor;
  int count = 0;
  while (last->Next()) ++count;
  EXPECT_EQ(count, 2);
  last->Close();
}

TEST_F(InterbaseStatement, AfterTheLastRowTheClientIsNotAskedAgain) {
  Detach();
  Ref<CountingPlainDriver> counting = AttachCounting(kCatalogueSchema);
  Ref<IZResultSet> rows = ForwardOnly(connection_.get())->ExecuteQuery("SELECT ID FROM DEPT");
  while (rows->Next()) {
  }
  const int fetches = counting->fetches;
  EXPECT_FALSE(rows->Next());
  EXPECT_EQ(counting->fetches, fetches);
}

TEST_F(InterbaseStatement, UncachedBlobsReadOnFirstUseOnce) {
  Ref<CountingPlainDriver> counting = AttachCounting(kCatalogueSchema, "cashedblob=false");
  Ref<IZResultSet> rows = ForwardOnly(connection_.get())->ExecuteQuery("SELECT NOTE FROM EMP ORDER BY ID");
  ASSERT_TRUE(rows->Next());
  Ref<IZBlob> blob = rows->GetBlob(1);
  ASSERT_TRUE(blob);
  EXPECT_EQ(counting->blobOpens, 0);
  EXPECT_EQ(blob->GetLength(), 10);  // the length is the content's
  EXPECT_EQ(counting->blobOpens, 1);
  EXPECT_EQ(blob->GetString(), "first note");
  EXPECT_EQ(counting->blobOpens, 1);
  Ref<IZBlob> copy = blob->Clone();
  EXPECT_EQ(counting->blobOpens, 1);
  EXPECT_EQ(copy->GetString(), "first note");
  EXPECT_EQ(counting->blobOpens, 2);

  ASSERT_TRUE(rows->Next());
  EXPECT_FALSE(rows->GetBlob(1));
  EXPECT_TRUE(rows->WasNull());
}

TEST_F(InterbaseStatement, CachedResultsPostThroughTheResolver) {
  Attach(kCatalogueSchema);
  Ref<IZStatement> statement = connection_->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT ID, NAME FROM DEPT");
  ASSERT_TRUE(Query<IZCachedResultSet>(rows));
  ASSERT_TRUE(rows->Next());
  rows->UpdateString(2, "first");
  rows->UpdateRow();
  rows->Close();
  EXPECT_NE(Outside("SELECT NAME FROM DEPT;\n").find("first"), std::string::npos);
}

TEST_F(InterbaseStatement, GeneratorsStepByTheirBlock) {
  Attach(kCatalogueSchema);
  Ref<IZSequence> sequence = connection_->CreateSequence("G1", 1);
  EXPECT_EQ(sequence->GetNextValue(), 1);
  EXPECT_EQ(sequence->GetNextValue(), 2);
  EXPECT_EQ(sequence->GetCurrentValue(), 2);
}

}  // namespace
