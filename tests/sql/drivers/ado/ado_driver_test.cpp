// The ADO driver and its connection over the SQLite ODBC driver: the URL,
// opening on demand, what is logged under which category, transactions seen
// by the sqlite3 tool, read-only mode and catalogs, and failed connects.

#include <gtest/gtest.h>

#include "platform/rtl/format.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/ado/ado_connection.h"
#include "sql/drivers/ado/ado_driver.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;
using Texts = std::vector<AnsiString>;

class AdoDriver : public testing::Test {
protected:
  PeerDatabase db{Peer::SQLite};
  ScopedLog log;

  // The database part of the URL, as it is logged.
  AnsiString Database() const { return db.ConnectionString(); }

  Ref<IZAdoConnection> Make(const AnsiString& url = "") {
    RegisterAdoDriver();
    return Query<IZAdoConnection>(DriverManager()->GetConnection(url.empty() ? "zdbc:ado:" + Database() : url));
  }

  std::string Count() { return db.Oracle("SELECT count(*) FROM t"); }
};

TEST_F(AdoDriver, ConnectsClosedAndLogsTheOpenUnderConnect) {
  Ref<IZAdoConnection> connection = Make();
  ASSERT_TRUE(connection);
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetAdoConnection()->State(), adStateClosed);
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(connection->GetAdoConnection()->State(), adStateOpen);
  EXPECT_EQ(connection->GetAdoConnection()->CursorLocation(), adUseClient);
  EXPECT_EQ(log->Messages(lcConnect), Texts{Format("CONNECT TO \"%s\" AS USER \"\"", {Database()})});
  ASSERT_FALSE(log->Events.empty());
  EXPECT_EQ(log->Events[0].Protocol, "ado");
  connection->Open();  // an open connection is left as it is
  EXPECT_EQ(log->Messages(lcConnect).size(), 1u);

  connection->InternalExecuteStatement("CREATE TABLE t (id integer)");
  EXPECT_EQ(log->Messages(lcExecute), Texts{"CREATE TABLE t (id integer)"});
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(log->Messages(lcExecute).back(), Format("CLOSE CONNECTION TO \"%s\"", {Database()}));
  EXPECT_TRUE(log->Messages(lcDisconnect).empty());
  EXPECT_EQ(db.Oracle(".tables"), "t");
}

TEST_F(AdoDriver, ReadCommittedTransactionsRollBackAndCommitOnAutoCommit) {
  Ref<IZAdoConnection> connection = Make();
  connection->SetAutoCommit(false);
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->SetReadOnly(false);
  connection->Open();
  EXPECT_EQ(connection->GetAdoConnection()->IsolationLevel(), adXactReadCommitted);
  connection->InternalExecuteStatement("CREATE TABLE t (id integer)");
  connection->Commit();
  connection->InternalExecuteStatement("INSERT INTO t VALUES (1)");
  connection->Rollback();
  EXPECT_EQ(Count(), "0");
  connection->InternalExecuteStatement("INSERT INTO t VALUES (2)");
  connection->SetAutoCommit(false);  // no change: nothing happens
  connection->SetAutoCommit(true);
  EXPECT_EQ(Count(), "1");
  EXPECT_EQ(log->Messages(lcExecute),
            (Texts{"BEGIN TRANSACTION", "CREATE TABLE t (id integer)", "COMMIT", "BEGIN TRANSACTION",
                   "INSERT INTO t VALUES (1)", "ROLLBACK", "BEGIN TRANSACTION", "INSERT INTO t VALUES (2)",
                   "COMMIT"}));
  connection->InternalExecuteStatement("INSERT INTO t VALUES (3)");
  EXPECT_EQ(Count(), "2");
}

TEST_F(AdoDriver, ChangingTheLevelCommitsTheRunningTransaction) {
  Ref<IZAdoConnection> connection = Make();
  connection->SetAutoCommit(false);
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->Open();
  connection->InternalExecuteStatement("CREATE TABLE t (id integer)");
  connection->SetTransactIsolationLevel(tiReadCommitted);
  EXPECT_EQ(Count(), "0");
  EXPECT_EQ(connection->GetAdoConnection()->IsolationLevel(), adXactReadCommitted);
  // Under tiNone nothing runs: statements commit at once, and switching
  // auto-commit on has nothing to commit.
  connection->SetTransactIsolationLevel(tiNone);
  connection->InternalExecuteStatement("INSERT INTO t VALUES (1)");
  EXPECT_EQ(Count(), "1");
  connection->SetAutoCommit(true);
  EXPECT_EQ(log->Messages(lcExecute),
            (Texts{"BEGIN TRANSACTION", "CREATE TABLE t (id integer)", "COMMIT", "BEGIN TRANSACTION", "COMMIT",
                   "INSERT INTO t VALUES (1)"}));
}

TEST_F(AdoDriver, CommitInAutoCommitRaisesAndIsLoggedUnderExecute) {
  Ref<IZAdoConnection> connection = Make();
  connection->Open();
  EXPECT_EQ(ErrorOf([&] { connection->Commit(); }), "[25000] No transaction is active.");
  ASSERT_FALSE(log->Events.empty());
  const TZLoggingEvent& event = log->Events.back();
  EXPECT_EQ(event.Category, lcExecute);
  EXPECT_EQ(event.Message, "COMMIT");
  EXPECT_EQ(event.ErrorText, "[25000] No transaction is active.");
}

TEST_F(AdoDriver, ReadOnlyWaitsForTheNextOpenAndCatalogsNeedAnOpenConnection) {
  Ref<IZAdoConnection> connection = Make();
  connection->SetCatalog("main");  // ignored while closed
  EXPECT_EQ(connection->GetCatalog(), "");
  EXPECT_TRUE(log->Events.empty());

  connection->Open();
  EXPECT_EQ(connection->GetAdoConnection()->Mode(), adModeRead);
  connection->SetReadOnly(false);
  EXPECT_EQ(connection->GetAdoConnection()->Mode(), adModeRead);
  connection->Close();
  connection->Open();
  EXPECT_EQ(connection->GetAdoConnection()->Mode(), adModeUnknown);

  connection->SetCatalog("main");
  EXPECT_EQ(log->Messages(lcExecute).back(), "SET CATALOG main");
}

TEST(AdoDriverBadInput, FailedConnectsRaiseTheDriversTextAndStayClosed) {
  const struct {
    AnsiString url;
    const char* start;  // of the error text
    const char* inside;
  } cases[] = {
      {"zdbc:ado:DRIVER=/usr/lib/no/such/driver.so;Database=/tmp/x.db", "[01000] ", "/usr/lib/no/such/driver.so"},
      {Format("zdbc:ado:DRIVER=%s;Server=127.0.0.1;Port=1;Database=kalmir?UID=vx;PWD=vxpass", {kPostgreSQLDriver}),
       "[08001] ", "refused"},
      {Format("zdbc:ado:DRIVER=%s;Database=/no/such/folder/x.db", {kSqliteDriver}), "[HY000] ", "connect failed"},
  };
  RegisterAdoDriver();
  for (const auto& c : cases) {
    ScopedLog log;
    Ref<IZConnection> connection = DriverManager()->GetConnection(c.url);
    const AnsiString error = ErrorOf([&] { connection->Open(); });
    EXPECT_EQ(error.substr(0, 8), c.start) << error;
    EXPECT_NE(error.find(c.inside), AnsiString::npos) << error;
    EXPECT_TRUE(connection->IsClosed());
    ASSERT_EQ(log->Events.size(), 1u) << c.url;
    EXPECT_EQ(log->Events[0].Category, lcConnect);
    EXPECT_EQ(log->Events[0].ErrorText, error);
  }
}

TEST(AdoDriverBadInput, OtherProtocolsAreNotTaken) {
  EXPECT_FALSE(::AdoDriver()->AcceptsURL("zdbc:odbc:DSN=x"));
  EXPECT_TRUE(::AdoDriver()->AcceptsURL("zdbc:ado:DSN=x"));
  EXPECT_EQ(::AdoDriver()->GetSupportedProtocols(), TZStringDynArray{"ado"});
}

}  // namespace
