// The connection against the client double: login and its failures, the
// handles it keeps and frees, transactions with their isolation flags, and
// what the connection answers without the server.

#include <gtest/gtest.h>

#include <unistd.h>

#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using OracleConnection = OracleTest;
using oci_probe::EventsStartingWith;
using oci_probe::LiveCount;
using oci_probe::Probe;

// The double's events from the n-th on.
std::vector<std::string> EventsFrom(std::size_t n) {
  const std::vector<std::string>& events = Probe().events;
  return {events.begin() + static_cast<std::ptrdiff_t>(std::min(n, events.size())), events.end()};
}

TEST_F(OracleConnection, TheUrlDatabaseIsTheConnectIdentifierWhateverHostAndPort) {
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  for (const char* url : {"zdbc:oracle://otherhost:1234/ORCL?UID=scott;PWD=tiger",
                          "zdbc:oracle-9i://dbhost/ORCL?UID=scott;PWD=tiger"}) {
    ScopedLog log;
    Ref<IZConnection> connection = DriverManager()->GetConnection(url);
    EXPECT_FALSE(connection->IsClosed()) << url;
    EXPECT_EQ(log->Messages(lcConnect), std::vector<AnsiString>{"CONNECT TO \"ORCL\" AS USER \"scott\""});
  }
  std::filesystem::current_path(saved);
  EXPECT_EQ(EventsStartingWith("attach"), (std::vector<std::string>{"attach ORCL", "attach ORCL"}));
  EXPECT_EQ(EventsStartingWith("session begin"), (std::vector<std::string>{"session begin scott", "session begin scott"}));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "ORCL"));
}

TEST_F(OracleConnection, AWrongPasswordRaisesTheServerErrorAndFreesTheHandles) {
  ScopedLog log;
  try {
    Connect("wrong");
    ADD_FAILURE() << "logged in with a wrong password";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), 1017);
    EXPECT_EQ(e.Message(), "SQL Error: ORA-01017: invalid username/password; logon denied");
  }
  // The session handle, then the service context, error and server handles;
  // the environment goes with the half-made connection.
  EXPECT_EQ(EventsStartingWith("free"),
            (std::vector<std::string>{"free 9", "free 3", "free 2", "free 8", "free 1"}));
  EXPECT_EQ(LiveCount(), 0);
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_EQ(log->Events[0].ErrorCode, 1017);
  EXPECT_EQ(log->Events[0].Message, "CONNECT TO \"" + DatabasePath() + "\" AS USER \"scott\"");
}

TEST_F(OracleConnection, CloseEndsTheSessionAndReopeningReusesTheEnvironment) {
  Ref<IZOracleConnection> connection = Connect();
  OCIEnv* environment = connection->GetEnvironmentHandle();
  EXPECT_NE(connection->GetTransactionHandle(), nullptr);
  ScopedLog log;
  const std::size_t before = Probe().events.size();
  connection->Close();
  EXPECT_EQ(EventsFrom(before), (std::vector<std::string>{"OCITransRollback 0", "free 10", "session end", "detach",
                                                          "free 9", "free 3", "free 8", "free 2"}));
  EXPECT_EQ(LiveCount(), 1);  // the environment
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetContextHandle(), nullptr);
  EXPECT_EQ(connection->GetErrorHandle(), nullptr);
  EXPECT_EQ(log->Messages(lcDisconnect), std::vector<AnsiString>{"DISCONNECT FROM \"" + DatabasePath() + "\""});

  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(connection->GetEnvironmentHandle(), environment);
  EXPECT_EQ(Probe().calls["OCIEnvInit"], 1);
  connection = nullptr;
  EXPECT_EQ(LiveCount(), 0);
}

TEST_F(OracleConnection, IsolationTravelsOnlyInTheTransactionFlags) {
  ScopedLog log;
  Ref<IZOracleConnection> connection = Connect();
  EXPECT_EQ(EventsStartingWith("transstart"), std::vector<std::string>{"transstart 0"});
  const struct {
    TZTransactIsolationLevel level;
    const char* flags;
    const char* text;
    const char* runs;  // the level the double's transaction runs at
  } cases[] = {
      {tiRepeatableRead, "transstart 512", "SET TRANSACTION ISOLATION LEVEL READWRITE", "read write"},
      {tiSerializable, "transstart 1024", "SET TRANSACTION ISOLATION LEVEL SERIALIZABLE", "serializable"},
      {tiReadCommitted, "transstart 0", "SET TRANSACTION ISOLATION LEVEL DEFAULT", "read committed"},
  };
  for (const auto& c : cases) {
    log->Events.clear();
    const std::size_t before = Probe().events.size();
    connection->SetTransactIsolationLevel(c.level);
    EXPECT_EQ(EventsFrom(before),
              (std::vector<std::string>{"OCITransRollback 0", "free 10", c.flags, std::string("isolation ") + c.runs}))
        << c.text;
    EXPECT_EQ(log->Messages(lcExecute), (std::vector<AnsiString>{"END TRANSACTION", c.text}));

    const std::size_t unchanged = Probe().events.size();
    connection->SetTransactIsolationLevel(c.level);
    EXPECT_EQ(Probe().events.size(), unchanged) << "the same level again sends nothing";
  }
  EXPECT_EQ(Probe().calls["OCIStmtExecute"], 0) << "no isolation text reaches the server";

  connection->Close();
  const std::size_t before = Probe().events.size();
  connection->SetTransactIsolationLevel(tiSerializable);
  EXPECT_EQ(Probe().events.size(), before) << "a closed connection only stores the level";
  connection->Open();
  EXPECT_EQ(EventsFrom(before).back(), "isolation serializable");
  EXPECT_EQ(EventsStartingWith("transstart").back(), "transstart 1024");
}

TEST_F(OracleConnection, AnIsolationChangeRollsBackPendingWork) {
  Outside("CREATE TABLE t (n NUMBER(9,0))");
  Ref<IZOracleConnection> connection = Connect();
  ExecuteInSession(connection.get(), "INSERT INTO t VALUES (1)");
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->Commit();
  EXPECT_EQ(Outside("SELECT count(*) FROM t"), std::vector<std::string>{"0"});

  ExecuteInSession(connection.get(), "INSERT INTO t VALUES (2)");
  connection->Commit();
  EXPECT_EQ(Outside("SELECT n FROM t"), std::vector<std::string>{"2"});
}

TEST_F(OracleConnection, ReadUncommittedIsRefusedAtTheNextTransactionStart) {
  Outside("CREATE TABLE t (n NUMBER(9,0))");
  Ref<IZOracleConnection> connection = Connect();
  ExecuteInSession(connection.get(), "INSERT INTO t VALUES (1)");
  try {
    connection->SetTransactIsolationLevel(tiReadUncommitted);
    ADD_FAILURE() << "read uncommitted accepted";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Transaction isolation level is not supported");
    EXPECT_EQ(e.ErrorCode(), -1);
  }
  // The running transaction goes on with its handle and its work.
  EXPECT_NE(connection->GetTransactionHandle(), nullptr);
  EXPECT_EQ(EventsStartingWith("free 10"), std::vector<std::string>{});
  connection->Commit();
  EXPECT_EQ(Outside("SELECT n FROM t"), std::vector<std::string>{"1"});

  // Inside Open the begun session is ended and every handle but the
  // environment freed before the error leaves.
  connection->Close();
  EXPECT_THROW(connection->Open(), EZSQLException);
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(LiveCount(), 1);
  EXPECT_EQ(EventsStartingWith("session end").size(), 2u);
  EXPECT_EQ(EventsStartingWith("detach").size(), 2u);

  connection->SetTransactIsolationLevel(tiNone);
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  connection = nullptr;
  EXPECT_EQ(LiveCount(), 0);
}

TEST_F(OracleConnection, AFailedStepOfCloseLeavesTheConnectionOpen) {
  Ref<IZOracleConnection> connection = Connect();
  oci_probe::Inject("OCISessionEnd", {OCI_ERROR, 3113, "ORA-03113: end-of-file on communication channel"});
  EXPECT_THROW(connection->Close(), EZSQLException);
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_NE(connection->GetSessionHandle(), nullptr);
  EXPECT_EQ(connection->GetTransactionHandle(), nullptr);

  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(LiveCount(), 1);
}

TEST_F(OracleConnection, CommitAndRollbackActOnlyOnAnOpenConnection) {
  ScopedLog log;
  Ref<IZOracleConnection> connection = Connect();
  connection->SetAutoCommit(false);
  connection->Commit();
  connection->SetAutoCommit(true);
  connection->Rollback();
  EXPECT_EQ(EventsStartingWith("OCITrans"), (std::vector<std::string>{"OCITransCommit 0", "OCITransRollback 0"}));
  EXPECT_EQ(log->Messages(lcExecute),
            (std::vector<AnsiString>{"SET TRANSACTION ISOLATION LEVEL DEFAULT", "COMMIT", "ROLLBACK"}));
  OCITrans* transaction = connection->GetTransactionHandle();
  EXPECT_NE(transaction, nullptr);
  EXPECT_EQ(EventsStartingWith("free").size(), 0u);

  connection->Close();
  const int commits = Probe().calls["OCITransCommit"];
  const int rollbacks = Probe().calls["OCITransRollback"];
  EXPECT_NO_THROW(connection->Commit());
  EXPECT_NO_THROW(connection->Rollback());
  EXPECT_EQ(Probe().calls["OCITransCommit"], commits);
  EXPECT_EQ(Probe().calls["OCITransRollback"], rollbacks);
}

TEST_F(OracleConnection, CatalogAndSequenceTextsStayOnTheClient) {
  Ref<IZOracleConnection> connection = Connect();
  const int calls = Probe().calls.size();
  connection->SetCatalog("SALES");
  EXPECT_EQ(connection->GetCatalog(), "SALES");
  Ref<IZSequence> sequence = connection->CreateSequence("ORDERS_SEQ", 10);
  EXPECT_EQ(sequence->GetCurrentValueSQL(), "SELECT ORDERS_SEQ.CURRVAL FROM DUAL");
  EXPECT_EQ(sequence->GetNextValueSQL(), "SELECT ORDERS_SEQ.NEXTVAL FROM DUAL");
  EXPECT_EQ(sequence->GetBlockSize(), 10);
  EXPECT_EQ(static_cast<int>(Probe().calls.size()), calls);
  EXPECT_NE(connection->GetMetadata(), nullptr);
}

}  // namespace
