// The Oracle statements against the client double: the text the client
// receives after "?" rewriting, updates with their counts and commits,
// prepared parameters written through the SQLite file and read back, the
// handles a prepared query frees, and the cached result set choice.

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_result_set.h"
#include "sql/drivers/oracle/oracle_statement.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using oci_probe::EventsStartingWith;
using oci_probe::LiveCount;
using oci_probe::Probe;

class OracleStatement : public OracleTest {
protected:
  void SetUp() override {
    OracleTest::SetUp();
    connection = Connect();
    ExecuteInSession(connection.get(),
                     "CREATE TABLE t (id NUMBER(10,0), name VARCHAR2(4000), big NUMBER(12), amount NUMBER(8,2), "
                     "stamp TIMESTAMP(6), notes CLOB, image BLOB)");
    for (int i = 1; i <= 5; ++i)
      ExecuteInSession(connection.get(), Format("INSERT INTO t (id, name) VALUES (%d, 'n%d')", {i, i}));
    connection->Commit();
    oci_probe::Reset();
  }
  void TearDown() override {
    connection = nullptr;
    OracleTest::TearDown();
  }

  Ref<IZOracleConnection> connection;
};

TEST_F(OracleStatement, MarkersBecomeNumberedPlaceholdersOutsideQuotesAndComments) {
  const struct {
    const char* sql;
    const char* expected;
  } cases[] = {
      {"SELECT id FROM t WHERE name = '?' AND id = ?", "SELECT id FROM t WHERE name = '?' AND id = :P1"},
      {"UPDATE t SET name = ?\n   WHERE id = ? -- ?\n", "UPDATE t SET name = :P1 WHERE id = :P2 -- ?\n"},
      {"SELECT 1 FROM DUAL", "SELECT 1 FROM DUAL"},
  };
  for (const auto& c : cases) {
    auto statement = Query<IZPreparedStatement>(connection->PrepareStatement(c.sql));
    auto* oracle = dynamic_cast<TZOraclePreparedStatement*>(statement.get());
    ASSERT_NE(oracle, nullptr);
    EXPECT_EQ(oracle->GetOracleSQL(), c.expected);
  }
  // The client receives the rewritten text.
  auto update = connection->PrepareStatement("UPDATE t SET name = ?\nWHERE id = ?");
  update->SetString(1, "x");
  update->SetInt(2, 1);
  EXPECT_EQ(update->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(EventsStartingWith("prepare"), std::vector<std::string>{"prepare UPDATE t SET name = :P1 WHERE id = :P2"});
}

TEST_F(OracleStatement, UpdatesCountRowsAndCommitUnderAutoCommit) {
  connection->SetAutoCommit(true);
  oci_probe::Reset();
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("UPDATE t SET name = 'u' WHERE id <= 3"), 3);
  EXPECT_EQ(Probe().calls["OCITransCommit"], 1);
  EXPECT_EQ(Outside("SELECT count(*) FROM t WHERE name = 'u'"), std::vector<std::string>{"3"});

  EXPECT_TRUE(statement->Execute("SELECT id FROM t"));
  ASSERT_TRUE(statement->GetResultSet());
  EXPECT_TRUE(statement->GetResultSet()->Next());
  EXPECT_FALSE(statement->Execute("DELETE FROM t WHERE id > 3"));
  EXPECT_EQ(statement->GetUpdateCount(), 2);
  EXPECT_EQ(Outside("SELECT count(*) FROM t"), std::vector<std::string>{"3"});
  statement->Close();
  EXPECT_EQ(LiveCount(OCI_HTYPE_STMT), 0);
}

TEST_F(OracleStatement, PreparedParametersRoundTrip) {
  const AnsiString longText(3000, 'v');
  AnsiString clob(3000, 'c'), blob;
  for (int i = 0; i < 3000; ++i) blob += static_cast<char>(i % 251);
  const TDateTime stamp = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 7, 890);
  auto insert = connection->PrepareStatement(
      "INSERT INTO t (id, name, big, amount, stamp, notes, image) VALUES (?, ?, ?, ?, ?, ?, ?)");
  insert->SetInt(1, 10);
  insert->SetString(2, longText);
  insert->SetLong(3, std::int64_t{1} << 40);
  insert->SetDouble(4, 12.5);
  insert->SetTimestamp(5, stamp);
  insert->SetBlob(6, stAsciiStream, TZAbstractBlob::CreateWithData(clob.data(), 3000));
  insert->SetBlob(7, stBinaryStream, TZAbstractBlob::CreateWithData(blob.data(), 3000));
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Probe().calls["OCILobCreateTemporary"], 2);
  EXPECT_EQ(Probe().calls["OCILobFreeTemporary"], 2);
  // NULL, then a value on the next execution of the same statement.
  insert->SetInt(1, 11);
  insert->SetNull(2, stString);
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  insert->SetInt(1, 12);
  insert->SetString(2, "back");
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Outside("SELECT coalesce(name, 'NULL') FROM t WHERE id >= 11 ORDER BY id"),
            (std::vector<std::string>{"NULL", "back"}));

  auto select = connection->PrepareStatement("SELECT id, name, big, amount, stamp, notes, image FROM t WHERE id = ?");
  select->SetInt(1, 10);
  Ref<IZResultSet> rs = select->ExecuteQueryPrepared();
  ASSERT_TRUE(rs->Next());
  EXPECT_EQ(rs->GetInt(1), 10);
  EXPECT_EQ(rs->GetString(2), longText);
  EXPECT_EQ(rs->GetLong(3), std::int64_t{1} << 40);
  EXPECT_EQ(rs->GetDouble(4), 12.5);
  EXPECT_EQ(rs->GetString(4), "12.5");
  EXPECT_NEAR(rs->GetTimestamp(5), stamp, 1e-9);
  EXPECT_EQ(rs->GetBlob(6)->GetLength(), 3000);  // asked before anything read the LOB
  EXPECT_EQ(rs->GetBlob(6)->GetString(), clob);
  EXPECT_EQ(rs->GetBlob(7)->GetString(), blob);
  EXPECT_FALSE(rs->Next());
  rs->Close();
}

TEST_F(OracleStatement, LobParametersOfAQueryLiveUntilItsFirstFetch) {
  ExecuteInSession(connection.get(), "UPDATE t SET notes = 'abc' WHERE id = 2");
  auto select = connection->PrepareStatement("SELECT id FROM t WHERE notes = ?");
  select->SetBlob(1, stAsciiStream, TZAbstractBlob::CreateWithData("abc", 3));
  Ref<IZResultSet> rs = select->ExecuteQueryPrepared();
  EXPECT_EQ(Probe().calls["OCILobFreeTemporary"], 0);
  ASSERT_TRUE(rs->Next());
  EXPECT_EQ(rs->GetInt(1), 2);
  EXPECT_EQ(Probe().calls["OCILobFreeTemporary"], 1);
}

TEST_F(OracleStatement, UpdatePreparedOfAQueryCountsItsRows) {
  auto query = connection->PrepareStatement("SELECT id FROM t WHERE id <= ?");
  query->SetInt(1, 3);
  EXPECT_EQ(query->ExecuteUpdatePrepared(), 3);
  query->SetInt(1, 0);
  EXPECT_EQ(query->ExecuteUpdatePrepared(), 0);
}

TEST_F(OracleStatement, APreparedQueryFreesEachHandleOnce) {
  const int statementsBefore = LiveCount(OCI_HTYPE_STMT);
  auto query = connection->PrepareStatement("SELECT id FROM t WHERE id > ?");
  for (int run = 0; run < 2; ++run) {
    query->SetInt(1, 3);
    Ref<IZResultSet> rs = query->ExecuteQueryPrepared();
    int rows = 0;
    while (rs->Next()) ++rows;
    EXPECT_EQ(rows, 2);
    rs->Close();
  }
  query->Close();
  EXPECT_EQ(LiveCount(OCI_HTYPE_STMT), statementsBefore);
  EXPECT_EQ(EventsStartingWith("free 4").size(), 1u);
  EXPECT_EQ(EventsStartingWith("free 2").size(), 1u);
  // Closed, it prepares again on the next execution.
  query->SetInt(1, 4);
  EXPECT_EQ(query->ExecuteUpdatePrepared(), 1);
  // A result set still open when its statement closes keeps the handles
  // and bound values it runs on, and frees them itself.
  query->SetInt(1, 4);
  Ref<IZResultSet> rs = query->ExecuteQueryPrepared();
  query->Close();
  EXPECT_EQ(LiveCount(OCI_HTYPE_STMT), statementsBefore + 1);
  ASSERT_TRUE(rs->Next());
  EXPECT_EQ(rs->GetInt(1), 5);
  rs->Close();
  EXPECT_EQ(LiveCount(OCI_HTYPE_STMT), statementsBefore);
  EXPECT_EQ(EventsStartingWith("free 4").size(), 2u);
}

TEST_F(OracleStatement, AFailedLoadLeavesNothingBehindAtClose) {
  auto insert = connection->PrepareStatement("INSERT INTO t (id, notes, name) VALUES (?, ?, ?)");
  insert->SetInt(1, 20);
  insert->SetBlob(2, stAsciiStream, TZAbstractBlob::CreateWithData("text", 4));
  insert->SetBytes(3, TByteDynArray{1});
  EXPECT_THROW(insert->ExecuteUpdatePrepared(), EZSQLException);
  insert->Close();
  EXPECT_EQ(Probe().calls["OCILobFreeTemporary"], 1);
  EXPECT_EQ(LiveCount(OCI_DTYPE_LOB), 0);
}

TEST_F(OracleStatement, ParametersWithoutABufferTravelAsTheirNearestType) {
  auto update = connection->PrepareStatement("UPDATE t SET amount = ?, big = ?, name = ? WHERE id = 1");
  update->SetBigDecimal(1, 2.25L);
  update->SetBoolean(2, true);
  update->SetUnicodeString(3, u"wide");
  EXPECT_EQ(update->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Outside("SELECT amount || '/' || big || '/' || name FROM t WHERE id = 1"),
            std::vector<std::string>{"2.25/1/wide"});

  auto bytes = connection->PrepareStatement("UPDATE t SET name = ? WHERE id = 1");
  bytes->SetBytes(1, TByteDynArray{1, 2});
  const int executes = Probe().calls["OCIStmtExecute"];
  try {
    bytes->ExecuteUpdatePrepared();
    ADD_FAILURE() << "bytes sent";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Unsupported parameter type");
  }
  EXPECT_EQ(Probe().calls["OCIStmtExecute"], executes);
}

TEST_F(OracleStatement, ScrollingOrUpdatingGetsACachedResultSet) {
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_NE(dynamic_cast<TZOracleResultSet*>(statement->ExecuteQuery("SELECT id FROM t").get()), nullptr);
  statement->SetResultSetType(rtScrollInsensitive);
  EXPECT_NE(dynamic_cast<TZCachedResultSet*>(statement->ExecuteQuery("SELECT id FROM t").get()), nullptr);
  statement->SetResultSetType(rtForwardOnly);
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> cached = statement->ExecuteQuery("SELECT id FROM t");
  EXPECT_NE(dynamic_cast<TZCachedResultSet*>(cached.get()), nullptr);
  EXPECT_EQ(cached->GetConcurrency(), rcUpdatable);
}

TEST_F(OracleStatement, CallsAreUnsupported) {
  EXPECT_THROW(connection->PrepareCall("BEGIN p; END;"), EZSQLException);
}

}  // namespace
