// The SQLite driver and connection on real files, checked with the sqlite3
// tool: opening, transactions under the isolation levels, logging, and the
// errors of files that cannot serve as databases.

#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

#include <fstream>

#include "sql/core/sql_exception.h"

namespace sqlite_test {
namespace {

using SQLiteConnection = SQLiteTest;

TEST_F(SQLiteConnection, ConnectReturnsAnOpenConnectionOnTheFile) {
  Ref<IZSQLiteConnection> connection = Connect();
  ASSERT_TRUE(connection);
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_NE(connection->GetConnectionHandle(), nullptr);
  EXPECT_EQ(connection->GetPlainDriver()->GetProtocol(), "sqlite-3");
  EXPECT_EQ(connection->GetTransactIsolationLevel(), tiNone);

  connection->CreateStatement()->ExecuteUpdate("CREATE TABLE t (a INTEGER)");
  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (42)");
  EXPECT_EQ(Tool("SELECT a FROM t;"), "42");

  connection->SetCatalog("main");
  EXPECT_EQ(connection->GetCatalog(), "main");
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_EQ(connection->GetConnectionHandle(), nullptr);
  // A statement reopens the file.
  EXPECT_EQ(connection->CreateStatement()->ExecuteUpdate("DELETE FROM t"), 1);
  EXPECT_FALSE(connection->IsClosed());
}

TEST_F(SQLiteConnection, PlainSqliteTakesVersion3AndOld28IsRefused) {
  RegisterSQLiteDriver();
  Ref<IZSQLiteConnection> plainUrl = Query<IZSQLiteConnection>(DriverManager()->GetConnection(Url("sqlite")));
  EXPECT_EQ(plainUrl->GetPlainDriver()->GetProtocol(), "sqlite-3");
  try {
    DriverManager()->GetConnection(Url("sqlite-2.8"));
    FAIL() << "a 2.8 library was loaded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: libsqlite.so.0, libsqlite.so");
  }
}

TEST_F(SQLiteConnection, RollbackWithoutAutoCommitLeavesNothing) {
  Tool("CREATE TABLE t (a INTEGER);");
  Ref<IZSQLiteConnection> connection = Connect();
  ScopedLog log;
  connection->Commit();
  connection->Rollback();
  EXPECT_TRUE(log->Messages(lcExecute).empty()) << "tiNone sends no transaction commands";

  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->SetAutoCommit(false);
  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (1)");
  connection->Rollback();
  EXPECT_EQ(Tool("SELECT count(*) FROM t;"), "0");

  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (2)");
  connection->Commit();
  EXPECT_EQ(Tool("SELECT a FROM t;"), "2");

  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (3)");
  log->Events.clear();
  connection->SetTransactIsolationLevel(tiSerializable);
  EXPECT_EQ(log->Messages(lcExecute), (std::vector<AnsiString>{"ROLLBACK TRANSACTION", "BEGIN TRANSACTION"}));
  EXPECT_EQ(Tool("SELECT a FROM t;"), "2");
  connection->SetTransactIsolationLevel(tiNone);
  connection->SetAutoCommit(true);
  connection->Close();
}

TEST_F(SQLiteConnection, OpenAndCloseAreLogged) {
  ScopedLog log;
  Ref<IZSQLiteConnection> connection = Connect({"username=ann"});
  connection->Close();
  const AnsiString quoted = "\"" + DatabasePath() + "\"";
  EXPECT_EQ(log->Messages(lcConnect), (std::vector<AnsiString>{"CONNECT TO " + quoted + " AS USER \"ann\""}));
  EXPECT_EQ(log->Messages(lcExecute), (std::vector<AnsiString>{"PRAGMA show_datatypes = ON"}));
  EXPECT_EQ(log->Messages(lcDisconnect), (std::vector<AnsiString>{"DISCONNECT FROM " + quoted}));
}

TEST_F(SQLiteConnection, AnEncryptedConnectionProceedsWithoutAKeyCall) {
  Ref<IZSQLiteConnection> connection = Connect({"encrypted=yes", "password=secret"});
  EXPECT_FALSE(connection->IsClosed());
}

TEST_F(SQLiteConnection, AFileInAMissingFolderIsNoConnection) {
  RegisterSQLiteDriver();
  ScopedLog log;
  const AnsiString url = "zdbc:sqlite-3:" + (folder_.path() / "missing" / "x.db").string();
  try {
    DriverManager()->GetConnection(url);
    FAIL() << "connected";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: unable to open database file");
    EXPECT_EQ(e.ErrorCode(), 1);
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcConnect);
  EXPECT_EQ(log->Events[0].ErrorCode, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.path() / "missing"));
}

TEST_F(SQLiteConnection, AFileThatIsNoDatabaseGivesTheLibrarysCode26AndText) {
  std::ofstream(DatabasePath().c_str()) << "This is plain text, long enough to be no database header at all.\n";
  Ref<IZSQLiteConnection> connection = Connect();
  try {
    connection->CreateStatement()->ExecuteQuery("SELECT * FROM sqlite_master");
    FAIL() << "read a text file as a database";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: file is not a database");
    EXPECT_EQ(e.ErrorCode(), 26);
  }
}

}  // namespace
}  // namespace sqlite_test
