// Transactions of the connection against the throwaway server: blocks under
// an isolation level, what another session (psql) sees and when, two-phase
// commit, and recovery after a failed statement inside a block.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;
using Lines = std::vector<std::string>;

// A fresh table the test user owns.
void MakeTable(const std::string& name) {
  Psql("DROP TABLE IF EXISTS " + name + "; CREATE TABLE " + name + " (id int); ALTER TABLE " + name + " OWNER TO vx");
}

// The statements the session logged after the first `skip` ones.
Lines LoggedSince(IZPostgreSQLConnection* connection, std::size_t skip) {
  Lines lines = Logged(connection);
  return Lines(lines.begin() + static_cast<std::ptrdiff_t>(std::min(skip, lines.size())), lines.end());
}

TEST(PostgreSQLTransactions, OthersSeeAnInsertOnlyAfterCommit) {
  MakeTable("tx_commit");
  Ref<IZPostgreSQLConnection> connection = Make();
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->Open();
  QueryRows(connection.get(), "INSERT INTO tx_commit VALUES (1)");
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_commit"), "0");
  std::size_t mark = Logged(connection.get()).size();
  connection->Commit();
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_commit"), "1");
  EXPECT_EQ(LoggedSince(connection.get(), mark),
            (Lines{"COMMIT", "BEGIN", "SET TRANSACTION ISOLATION LEVEL READ COMMITTED"}));

  QueryRows(connection.get(), "INSERT INTO tx_commit VALUES (2)");
  connection->Rollback();
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_commit"), "1");

  // A level change ends the block and starts one at the new level.
  mark = Logged(connection.get()).size();
  connection->SetTransactIsolationLevel(tiSerializable);
  EXPECT_EQ(LoggedSince(connection.get(), mark), (Lines{"END", "BEGIN", "SET TRANSACTION ISOLATION LEVEL SERIALIZABLE"}));
  EXPECT_EQ(QueryValue(connection.get(), "SHOW transaction_isolation"), "serializable");
}

TEST(PostgreSQLTransactions, WithoutIsolationTheServerCommitsEachStatement) {
  MakeTable("tx_auto");
  Ref<IZPostgreSQLConnection> connection = Connect();
  const std::size_t mark = Logged(connection.get()).size();
  QueryRows(connection.get(), "INSERT INTO tx_auto VALUES (1)");
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_auto"), "1");
  connection->Commit();
  connection->Rollback();
  connection->PrepareTransaction("nothing");
  EXPECT_EQ(LoggedSince(connection.get(), mark), (Lines{"INSERT INTO tx_auto VALUES (1)"}));
}

// The server takes ids of at most 199 bytes; longer ones are cut to that.
TEST(PostgreSQLTransactions, PreparedTransactionsAreCutToTheServersIdLength) {
  MakeTable("tx_prepared");
  Ref<IZPostgreSQLConnection> preparing = Make();
  preparing->SetTransactIsolationLevel(tiReadCommitted);
  preparing->Open();
  Ref<IZPostgreSQLConnection> finishing = Connect();

  const AnsiString longId = "vx" + AnsiString(248, 'g');
  QueryRows(preparing.get(), "INSERT INTO tx_prepared VALUES (1)");
  preparing->PrepareTransaction(longId);
  EXPECT_EQ(Psql("SELECT length(gid) FROM pg_prepared_xacts WHERE gid LIKE 'vxg%'"), "199");
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_prepared"), "0");
  // Inside a block the server would refuse COMMIT PREPARED: nothing is sent.
  const std::size_t mark = Logged(preparing.get()).size();
  preparing->CommitPrepared(longId);
  EXPECT_EQ(LoggedSince(preparing.get(), mark), Lines{});

  finishing->CommitPrepared(longId);
  EXPECT_EQ(Psql("SELECT count(*) FROM pg_prepared_xacts WHERE gid LIKE 'vxg%'"), "0");
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_prepared"), "1");

  for (const char* id : {"it's", "back\\slash"}) {
    QueryRows(preparing.get(), "INSERT INTO tx_prepared VALUES (2)");
    preparing->PrepareTransaction(id);
    EXPECT_EQ(Psql("SELECT gid FROM pg_prepared_xacts WHERE gid NOT LIKE 'vxg%'"), id);
    finishing->RollbackPrepared(id);
    EXPECT_EQ(Psql("SELECT count(*) FROM pg_prepared_xacts WHERE gid NOT LIKE 'vxg%'"), "0");
  }
  EXPECT_EQ(Psql("SELECT count(*) FROM tx_prepared"), "1");
}

TEST(PostgreSQLTransactions, AFailedStatementRollsTheBlockBackInAutoCommit) {
  MakeTable("tx_failed");
  Ref<IZPostgreSQLConnection> connection = Make();
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->Open();
  Ref<IZPostgreSQLPlainDriver> plain = connection->GetPlainDriver();
  PGconn* handle = connection->GetConnectionHandle();
  QueryRows(connection.get(), "INSERT INTO tx_failed VALUES (1)");
  PGresult* result = plain->PQexec(handle, "INSERT INTO tx_failed VALUES ('x')");
  EXPECT_THROW(CheckConnectionError(connection.get(), plain.get(), handle, lcExecute, "insert", result),
               EZSQLException);
  // The aborted block was rolled back and a new one begun: the session works.
  QueryRows(connection.get(), "INSERT INTO tx_failed VALUES (3)");
  connection->Commit();
  EXPECT_EQ(Psql("SELECT string_agg(id::text, ',') FROM tx_failed"), "3");
}

}  // namespace
