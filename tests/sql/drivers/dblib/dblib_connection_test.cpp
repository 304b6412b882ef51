// The DB-Library connection on the fake library: what a login sends, the
// session set-up, transactions, closing, a dead process, and failed logins.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "sql/core/sql_exception.h"

namespace dblib_test {
namespace {

constexpr char kMsSqlUrl[] = "zdbc:mssql://127.0.0.1:1433/master?UID=sa;PWD=x";
constexpr char kSybaseUrl[] = "zdbc:sybase://dbhost/pubs?UID=sa;PWD=x";

using ConnectionTest = FakeLibraryTest;

// The message of the platform's exception that action raises; it must not
// be the SQL library's exception.
template <class F>
AnsiString PlatformError(F action) {
  try {
    action();
  } catch (const EZSQLException& error) {
    ADD_FAILURE() << "EZSQLException: " << error.Message();
  } catch (const Exception& error) {
    EXPECT_STREQ(error.ClassName(), "Exception");
    return error.Message();
  }
  ADD_FAILURE() << "no exception";
  return AnsiString();
}

TEST_F(ConnectionTest, ConnectingLoadsTheLibraryButLogsInOnlyOnOpen) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(Calls("dblogin"), std::vector<std::string>{});
  EXPECT_EQ(DBLibDriver()->GetSupportedProtocols(), (TZStringDynArray{"sybase", "mssql"}));
}

TEST_F(ConnectionTest, MsSqlOpenLogsInSelectsTheDatabaseAndSetsUpTheSession) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  ForgetCalls();
  ScopedLog log;
  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  const std::vector<std::string> expected = {
      "dblogin()",
      "dbsetlname(2, \"sa\")",
      "dbsetlname(3, \"x\")",
      "dbsetlname(10, \"CP1250\")",
      "dbopen(\"127.0.0.1:1433\")",
      "dbloginfree()",
      "dbuse(\"master\")",
      "dbsetopt(7, \"2147483647\", -1)",
      "dbcancel()",
      "dbcmd(\"set textsize 2147483647 set quoted_identifier on\")",
      "dbsqlexec()",
      "dbresults()",
      "dbcanquery()",
      "dbmorecmds()",
      "dbdead()",
      "dbcancel()",
      "dbcmd(\"SET TRANSACTION ISOLATION LEVEL READ COMMITTED\")",
      "dbsqlexec()",
      "dbresults()",
      "dbcanquery()",
      "dbmorecmds()"};
  EXPECT_EQ(Calls(), expected);
  const std::vector<AnsiString> connectLog = {"CONNECT TO \"127.0.0.1\" AS USER \"sa\"", "USE master",
                                              "set textlimit=2147483647"};
  EXPECT_EQ(log->Messages(lcConnect), connectLog);
  EXPECT_EQ(connection->GetCatalog(), "master");
}

TEST_F(ConnectionTest, SybaseSendsItsCodepageAndLevelNumber) {
  Ref<IZDBLibConnection> connection = Connect(AnsiString(kSybaseUrl) + ";codepage=cp1252;NTAuth=yes");
  ForgetCalls();
  connection->Open();
  const std::vector<std::string> login = {"dbsetlname(10, \"cp1252\")", "dbsetlname(2, \"sa\")",
                                          "dbsetlname(3, \"x\")"};
  EXPECT_EQ(Calls("dbsetl"), login);
  EXPECT_EQ(Calls("dbopen"), std::vector<std::string>{"dbopen(\"dbhost\")"});
  EXPECT_EQ(Calls("dbcmd(\"SET"), std::vector<std::string>{"dbcmd(\"SET TRANSACTION ISOLATION LEVEL 1\")"});
}

TEST_F(ConnectionTest, LoginSettingsComeFromTheProperties) {
  struct Case {
    const char* parameters;
    std::vector<std::string> calls;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {";timeout=abc", {"dbsetlogintime(60)"}},
      {";timeout=15", {"dbsetlogintime(15)"}},
      {";timeout=", {}},
      {";workstation=ws;appname=backup;language=czech",
       {"dbsetlname(1, \"ws\")", "dbsetlname(5, \"backup\")", "dbsetlname(7, \"czech\")"}},
  };
  for (const Case& c : cases) {
    Ref<IZDBLibConnection> connection = Connect(AnsiString(kMsSqlUrl) + c.parameters);
    ForgetCalls();
    connection->Open();
    std::vector<std::string> calls = Calls("dbsetlogintime");
    for (const std::string& line : Calls("dbsetlname(")) {
      if (line.rfind("dbsetlname(1,", 0) == 0 || line.rfind("dbsetlname(5,", 0) == 0 ||
          line.rfind("dbsetlname(7,", 0) == 0)
        calls.push_back(line);
    }
    EXPECT_EQ(calls, c.calls) << c.parameters;
  }
}

TEST_F(ConnectionTest, MsSqlTrustedLoginSendsNoUserOrPassword) {
  for (const char* key : {"NTAuth", "trusted", "secure"}) {
    Ref<IZDBLibConnection> connection = Connect(AnsiString(kMsSqlUrl) + ";" + key + "=yes");
    ForgetCalls();
    ScopedLog log;
    connection->Open();
    const std::vector<std::string> login = {"dbsetlbool(101, 1)", "dbsetlname(10, \"CP1250\")"};
    EXPECT_EQ(Calls("dbsetl"), login) << key;
    EXPECT_EQ(log->Messages(lcConnect).front(), "CONNECT TO \"127.0.0.1\" USING WINDOWS AUTHENTICATION");
  }
}

TEST_F(ConnectionTest, CommitAndRollbackAreRefusedInAutoCommit) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  connection->Open();
  EXPECT_EQ(PlatformError([&] { connection->Commit(); }), "You cannot use COMMIT in AUTOCOMMIT mode");
  EXPECT_EQ(PlatformError([&] { connection->Rollback(); }), "You cannot use ROLLBACK in AUTOCOMMIT mode");
}

TEST_F(ConnectionTest, ManualCommitRunsInsideExplicitTransactions) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->Open();
  ForgetCalls();
  connection->SetAutoCommit(false);
  connection->InternalExecuteStatement("create table t (id int)");
  connection->Commit();
  connection->Rollback();
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->SetAutoCommit(true);
  const std::vector<std::string> expected = {
      "dbcmd(\"begin transaction\")", "dbcmd(\"create table t (id int)\")",
      "dbcmd(\"commit\")",            "dbcmd(\"begin transaction\")",
      "dbcmd(\"rollback\")",          "dbcmd(\"begin transaction\")",
      "dbcmd(\"commit\")",            "dbcmd(\"SET TRANSACTION ISOLATION LEVEL SERIALIZABLE\")",
      "dbcmd(\"begin transaction\")", "dbcmd(\"commit\")"};
  EXPECT_EQ(Calls("dbcmd"), expected);
}

TEST_F(ConnectionTest, IsolationLevelsHaveEachFlavoursText) {
  struct Case {
    TZTransactIsolationLevel level;
    const char* msSql;
    const char* sybase;
  };
  const std::vector<Case> cases = {{tiNone, "READ COMMITTED", "1"},
                                   {tiReadUncommitted, "READ UNCOMMITTED", "0"},
                                   {tiReadCommitted, "READ COMMITTED", "1"},
                                   {tiRepeatableRead, "REPEATABLE READ", "2"},
                                   {tiSerializable, "SERIALIZABLE", "3"}};
  for (const Case& c : cases) {
    for (auto [url, text] : {std::pair{kMsSqlUrl, c.msSql}, std::pair{kSybaseUrl, c.sybase}}) {
      Ref<IZDBLibConnection> connection = Connect(url);
      connection->SetTransactIsolationLevel(c.level);
      ForgetCalls();
      connection->Open();
      EXPECT_EQ(Calls("dbcmd(\"SET"),
                std::vector<std::string>{"dbcmd(\"SET TRANSACTION ISOLATION LEVEL " + std::string(text) + "\")"});
    }
  }
}

TEST_F(ConnectionTest, CloseRollsBackPendingWorkAndClosesTheProcess) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  connection->Open();
  ForgetCalls();
  ScopedLog log;
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(Calls("dbcmd"), std::vector<std::string>{"dbcmd(\"if @@trancount > 0 rollback\")"});
  EXPECT_EQ(Calls("dbclose"), std::vector<std::string>{"dbclose()"});
  EXPECT_EQ(log->Messages(lcDisconnect),
            std::vector<AnsiString>{"CLOSE CONNECTION TO \"127.0.0.1\" DATABASE \"master\""});
  EXPECT_THROW(connection->GetConnectionHandle(), EZSQLException);
}

TEST_F(ConnectionTest, ServerMessagesAboveSeverityOneRaiseAndAreLogged) {
  Ref<IZDBLibConnection> connection = Connect(kSybaseUrl);
  connection->Open();
  ScopedLog log;
  EXPECT_NO_THROW(connection->InternalExecuteStatement("raiserror('just a note', 1, 1)"));
  EXPECT_EQ(PlatformError([&] { connection->InternalExecuteStatement("raiserror('grave', 16, 1)"); }),
            "grave \r");
  ASSERT_EQ(log->Events.back().Category, lcExecute);
  EXPECT_EQ(log->Events.back().Message, "raiserror('grave', 16, 1)");
  EXPECT_EQ(log->Events.back().ErrorText, "grave \r");
}

TEST_F(ConnectionTest, MsSqlKeepsBackslashesBeforeLineBreaks) {
  for (auto [url, sent] : {std::pair{kMsSqlUrl, "dbcmd(\"select 'a\\\\\r'\")"},
                           std::pair{kSybaseUrl, "dbcmd(\"select 'a\\\r'\")"}}) {
    Ref<IZDBLibConnection> connection = Connect(url);
    connection->Open();
    ForgetCalls();
    connection->InternalExecuteStatement("select 'a\\\r'");
    EXPECT_EQ(Calls("dbcmd"), std::vector<std::string>{sent}) << url;
  }
}

TEST_F(ConnectionTest, DeadMsSqlProcessIsOpenedAnewDeadSybaseProcessIsNot) {
  Ref<IZDBLibConnection> msSql = Connect(kMsSqlUrl);
  msSql->Open();
  EXPECT_EQ(PlatformError([&] { msSql->InternalExecuteStatement("shutdown with nowait"); }),
            "Unexpected EOF from the server Connection reset by peer \r");
  ForgetCalls();
  DBLibProcess* handle = msSql->GetConnectionHandle();
  EXPECT_FALSE(msSql->IsClosed());
  EXPECT_FALSE(msSql->GetPlainDriver()->dbdead(handle));
  const std::vector<std::string> reopened = {"dbdead()", "dbclose()", "dblogin()"};
  const std::vector<std::string> calls = Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 3), reopened);

  Ref<IZDBLibConnection> sybase = Connect(kSybaseUrl);
  sybase->Open();
  EXPECT_THROW(sybase->InternalExecuteStatement("shutdown with nowait"), Exception);
  EXPECT_TRUE(sybase->GetPlainDriver()->dbdead(sybase->GetConnectionHandle()));
  // Closing a dead process sends nothing to roll back.
  ForgetCalls();
  sybase->Close();
  EXPECT_EQ(Calls(), (std::vector<std::string>{"dbdead()", "dbclose()"}));
}

TEST_F(ConnectionTest, RefusedLoginRaisesTheServersTextAndLeavesNoProcess) {
  Ref<IZDBLibConnection> connection = Connect("zdbc:mssql://127.0.0.1:1433/master?UID=denied;PWD=x");
  ForgetCalls();
  ScopedLog log;
  EXPECT_EQ(PlatformError([&] { connection->Open(); }),
            "Adaptive Server connection failed  \rLogin failed for user 'denied'. \r");
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(Calls().back(), "dbloginfree()");
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_THROW(connection->GetConnectionHandle(), EZSQLException);
}

TEST_F(ConnectionTest, OpenThatFailsWithoutAWordRaisesCannotConnect) {
  Ref<IZDBLibConnection> connection = Connect("zdbc:mssql://silent/master?UID=sa;PWD=x");
  ScopedLog log;
  EXPECT_EQ(PlatformError([&] { connection->Open(); }), "Cannot connect to SQL server");
  EXPECT_TRUE(connection->IsClosed());
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_EQ(log->Events[0].ErrorText, "Cannot connect to SQL server");
}

TEST_F(ConnectionTest, MissingDatabaseFailsTheOpenAndClosesTheProcess) {
  Ref<IZDBLibConnection> connection = Connect("zdbc:sybase://dbhost/missing?UID=sa;PWD=x");
  ForgetCalls();
  EXPECT_EQ(PlatformError([&] { connection->Open(); }), "Database 'missing' does not exist. \r");
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(Calls().back(), "dbclose()");
}

TEST_F(ConnectionTest, CatalogSwitchesTheOpenProcessOnly) {
  Ref<IZDBLibConnection> connection = Connect(kMsSqlUrl);
  connection->SetCatalog("tempdb");
  EXPECT_EQ(Calls("dbuse"), std::vector<std::string>{});
  connection->Open();
  ForgetCalls();
  connection->SetCatalog("");
  EXPECT_EQ(Calls("dbuse"), std::vector<std::string>{});
  connection->SetCatalog("tempdb");
  EXPECT_EQ(Calls("dbuse"), std::vector<std::string>{"dbuse(\"tempdb\")"});
  EXPECT_EQ(connection->GetCatalog(), "tempdb");
}

}  // namespace
}  // namespace dblib_test
