// The DB-Library connection through FreeTDS against the responder: the
// login and session set-up, transactions as the server's store sees them,
// isolation levels, closing, refused logins, and a server that drops the
// connection in the middle of a result.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "sql/core/sql_exception.h"

namespace dblib_test {
namespace {

using ConnectionTest = ResponderTest;

TEST_F(ConnectionTest, OpenLogsInSelectsTheDatabaseAndSetsUpTheSession) {
  Ref<IZDBLibConnection> connection = Connect(Url("mssql", ";appname=vxtest;workstation=ws7"));
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_TRUE(Requests().empty());  // connecting loads the library only
  ScopedLog log;
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(Requests(), (std::vector<std::string>{"BATCH use [" + database_ + "]",
                                                  "BATCH set textsize 2147483647 set quoted_identifier on",
                                                  "BATCH SET TRANSACTION ISOLATION LEVEL READ COMMITTED"}));
  EXPECT_EQ(connection->GetCatalog(), database_);
  EXPECT_EQ(log->Messages(lcConnect).front(), "CONNECT TO \"127.0.0.1\" AS USER \"vx\"");
  // The login record carried the application and workstation names.
  const std::string login = RunShell("grep ' LOGIN vx ' '" + Server().log + "' | grep -c 'app=vxtest host=ws7'").output;
  EXPECT_NE(login, "0\n");
  EXPECT_EQ(DBLibDriver()->GetSupportedProtocols(), (TZStringDynArray{"sybase", "mssql"}));
}

TEST_F(ConnectionTest, ManualCommitIsWhatTheStoreSees) {
  Ref<IZDBLibConnection> connection = Open();
  connection->InternalExecuteStatement("create table t (id int)");
  // Without a level the driver leaves transactions to the server.
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->SetAutoCommit(false);
  connection->InternalExecuteStatement("insert into t values (1)");
  EXPECT_EQ(Sqlite("select count(*) from t"), "0");  // not yet committed
  connection->Commit();
  EXPECT_EQ(Sqlite("select count(*) from t"), "1");
  connection->InternalExecuteStatement("insert into t values (2)");
  connection->Rollback();
  EXPECT_EQ(Sqlite("select group_concat(id) from t"), "1");
  connection->InternalExecuteStatement("insert into t values (3)");
  connection->SetAutoCommit(true);  // commits the open transaction
  EXPECT_EQ(Sqlite("select group_concat(id) from t"), "1,3");
  const AnsiString refused = PlatformError([&] { connection->Commit(); });
  EXPECT_EQ(refused, "You cannot use COMMIT in AUTOCOMMIT mode");
}

TEST_F(ConnectionTest, CloseRollsBackPendingWorkAndClosesTheProcess) {
  Ref<IZDBLibConnection> connection = Open();
  connection->InternalExecuteStatement("create table t (id int)");
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->SetAutoCommit(false);
  connection->InternalExecuteStatement("insert into t values (1)");
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(Sqlite("select count(*) from t"), "0");
  EXPECT_EQ(Requests().back(), "BATCH if @@trancount > 0 rollback");
}

TEST_F(ConnectionTest, IsolationLevelsHaveEachFlavoursText) {
  struct Case {
    const char* protocol;
    TZTransactIsolationLevel level;
    const char* sent;
  };
  for (const Case& c : {Case{"mssql", tiSerializable, "SERIALIZABLE"}, Case{"mssql", tiReadUncommitted, "READ UNCOMMITTED"},
                        Case{"mssql", tiRepeatableRead, "REPEATABLE READ"}, Case{"sybase", tiSerializable, "3"},
                        Case{"sybase", tiReadUncommitted, "0"}}) {
    Ref<IZDBLibConnection> connection = Open(c.protocol);
    connection->SetTransactIsolationLevel(c.level);
    EXPECT_EQ(Requests().back(), std::string("BATCH SET TRANSACTION ISOLATION LEVEL ") + c.sent) << c.protocol;
    connection->Close();
  }
}

TEST_F(ConnectionTest, MsSqlKeepsBackslashesBeforeLineBreaks) {
  Ref<IZDBLibConnection> connection = Open();
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("select 'a\\\r\nb' as v");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "a\\\\\r\nb");
  EXPECT_EQ(Requests().back(), "BATCH select 'a\\\\\\\\\\r\\nb' as v");
}

TEST_F(ConnectionTest, RefusedLoginRaisesTheServersTextAndStaysClosed) {
  Ref<IZDBLibConnection> connection = Connect(Format("zdbc:mssql://127.0.0.1:%d/%s?UID=vx;PWD=wrong",
                                                     {Server().port, database_}));
  ScopedLog log;
  const AnsiString error = PlatformError([&] { connection->Open(); });
  EXPECT_NE(error.find("Login failed for user 'vx'."), AnsiString::npos) << error;
  EXPECT_TRUE(connection->IsClosed());
  ASSERT_FALSE(log->Events.empty());
  EXPECT_EQ(log->Events.back().Category, lcConnect);
  EXPECT_TRUE(Requests().empty());
}

TEST_F(ConnectionTest, CatalogSwitchesTheOpenProcess) {
  Ref<IZDBLibConnection> connection = Open();
  connection->SetCatalog(database_ + "_other");
  EXPECT_EQ(connection->GetCatalog(), database_ + "_other");
  connection->InternalExecuteStatement("create table o (id int)");
  EXPECT_EQ(Server().Sqlite(database_ + "_other", "select count(*) from o"), "0");
}

// TDS 7.1 has narrower counts and type records than 7.2 and later; the
// answers stay the same.
TEST_F(ConnectionTest, ProtocolSevenOneGivesTheSameAnswers) {
  setenv("TDSVER", "7.1", 1);
  Ref<IZDBLibConnection> connection = Open();
  unsetenv("TDSVER");
  connection->InternalExecuteStatement(
      "create procedure twice @v int output as set @v = @v * 2; return 3");
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_FALSE(statement->Execute("create table t (id int, note text); insert into t values (1, 'a'); "
                                  "insert into t values (2, null); select id, note from t"));
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  EXPECT_FALSE(statement->GetMoreResults());
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  ASSERT_TRUE(statement->GetMoreResults());
  Ref<IZResultSet> rows = statement->GetResultSet();
  ASSERT_TRUE(rows->Next() && rows->Next());
  EXPECT_EQ(rows->GetInt(1), 2);
  EXPECT_TRUE(rows->IsNull(2));
  statement->Close();  // its result sets hold it until then
  Ref<IZCallableStatement> call = connection->PrepareCall("twice");
  call->RegisterOutParameter(2, stInteger);
  call->SetInt(2, 21);
  call->ExecutePrepared();
  EXPECT_EQ(call->GetInt(2), 42);
  EXPECT_EQ(call->GetInt(1), 3);
  EXPECT_NE(RunShell("grep -c ' LOGIN vx .* 0x71000001 ' '" + Server().log + "'").output, "0\n");
}

// The server goes away after a part of a long result: the rows stop with
// the library's named error instead of an endless wait, and the MS SQL
// connection logs in anew for the next statement.
TEST_F(ConnectionTest, ServerClosingMidResultRaisesANamedErrorWithoutHanging) {
  PrivateTdsResponder responder(20000);
  Ref<IZDBLibConnection> connection = Connect(Url("mssql", "", responder.port()));
  connection->Open();
  connection->InternalExecuteStatement(
      "create table big (id int, name varchar(40)); with recursive n(i) as (select 1 union all select i + 1 from n "
      "where i < 2000) insert into big select i, 'row number ' || i from n");
  Ref<IZStatement> statement = connection->CreateStatement();
  const AnsiString error = PlatformError([&] { statement->ExecuteQuery("select * from big"); });
  EXPECT_NE(error.find("EOF"), AnsiString::npos) << error;
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("select count(*) from big");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), 2000);
}

}  // namespace
}  // namespace dblib_test
