// The connection component against the test driver: the URL it builds, the
// login values that cannot travel inside a URL, connecting and disconnecting
// with registered queries, the wait cursor, and explicit transactions.
#include <gtest/gtest.h>

#include "platform/db/db_hooks.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

class ConnectionTest : public FakeDatasetTest {};

class RecordingCursor : public TScreenCursorService {
public:
  TScreenCursorKind Cursor() const override { return kind; }
  void SetCursor(TScreenCursorKind value) override {
    kind = value;
    ++changes;
  }
  TScreenCursorKind kind = crDefault;
  int changes = 0;
};

TEST(ConnectionUrl, CarriesPortOnlyWhenSetAndValuesUnquoted) {
  struct Case {
    int port;
    const char* user;
    const char* password;
    const char* url;
  } cases[] = {
      {0, "root", "pw", "zdbc:mysql-4.1://srv/kalmir?UID=root;PWD=pw"},
      {3306, "root", "pw", "zdbc:mysql-4.1://srv:3306/kalmir?UID=root;PWD=pw"},
      {0, "", "", "zdbc:mysql-4.1://srv/kalmir?UID=;PWD="},
      {0, "u", "a;b", "zdbc:mysql-4.1://srv/kalmir?UID=u;PWD=a;b"},
  };
  TZConnection connection(nullptr);
  connection.SetProtocol("mysql-4.1");
  connection.SetHostName("srv");
  connection.SetDatabase("kalmir");
  for (const Case& c : cases) {
    connection.SetPort(c.port);
    EXPECT_EQ(connection.ConstructURL(c.user, c.password), c.url);
  }
  EXPECT_EQ(connection.Version(), "6.6.6-stable");
}

TEST_F(ConnectionTest, LoginValuesWithSemicolonsReachTheDriverWhole) {
  connection->SetUser("us;er");
  connection->SetPassword("pa;ss=w");
  connection->Properties()->Add("compress=yes");
  connection->Connect();
  EXPECT_EQ(Server().LastConnect.User, "us;er");
  EXPECT_EQ(Server().LastConnect.Password, "pa;ss=w");
  connection->Disconnect();

  connection->SetUser("plain");
  connection->SetPassword("secret");
  connection->Connect();
  EXPECT_EQ(Server().LastConnect.Url, "zdbc:fake-1://h/db?UID=plain;PWD=secret");
  EXPECT_EQ(Server().LastConnect.Properties.back(), "compress=yes");
}

TEST_F(ConnectionTest, ConnectAppliesSettingsAndFiresEvents) {
  std::vector<std::string> events;
  connection->BeforeConnect = [&](TObject*) { events.push_back("before"); };
  connection->AfterConnect = [&](TObject*) { events.push_back("after"); };
  connection->AfterDisconnect = [&](TObject*) { events.push_back("disconnected"); };
  connection->SetAutoCommit(false);
  connection->Connect();
  ASSERT_TRUE(connection->Connected());
  EXPECT_FALSE(connection->DbcConnection()->GetAutoCommit());
  connection->Connect();  // already connected: nothing happens
  connection->Disconnect();
  EXPECT_EQ(events, (std::vector<std::string>{"before", "after", "disconnected"}));
  EXPECT_FALSE(connection->Connected());
}

TEST_F(ConnectionTest, RefusedLoginLeavesNoConnectionAndRestoresTheCursor) {
  RecordingCursor cursor;
  SetScreenCursorService(&cursor);
  connection->SetSQLHourGlass(true);
  bool afterConnect = false;
  connection->AfterConnect = [&](TObject*) { afterConnect = true; };
  Server().RefuseConnect = true;
  EXPECT_THROW(connection->Connect(), EZSQLException);
  EXPECT_FALSE(connection->Connected());
  EXPECT_FALSE(connection->DbcConnection());
  EXPECT_FALSE(afterConnect);
  EXPECT_EQ(cursor.kind, crDefault);
  EXPECT_EQ(cursor.changes, 2);  // to the SQL-wait cursor and back

  Server().RefuseConnect = false;
  connection->Connect();
  EXPECT_TRUE(connection->Connected());
  EXPECT_EQ(cursor.kind, crDefault);
  SetScreenCursorService(nullptr);
}

TEST_F(ConnectionTest, DisconnectClosesQueriesAndReconnectWorks) {
  AddNumbers("select n", 3);
  OpenQuery("select n");
  ASSERT_TRUE(connection->Connected());  // opening connected it
  connection->Disconnect();
  EXPECT_FALSE(query->Active());
  OpenQuery("select n");
  EXPECT_TRUE(connection->Connected());
  EXPECT_EQ(query->FieldNamed("n")->ValueAsInteger(), 1);
}

TEST_F(ConnectionTest, FreeingTheConnectionDetachesItsQueries) {
  AddNumbers("select n", 1);
  OpenQuery("select n");
  connection->Free();
  EXPECT_FALSE(query->Active());
  EXPECT_EQ(query->Connection(), nullptr);
  connection = new TZConnection(nullptr);
}

TEST_F(ConnectionTest, StoredConnectedFlagConnectsWhenLoadingEnds) {
  struct Case {
    bool designing, designConnection, connected;
  } cases[] = {{false, false, true}, {false, true, false}, {true, true, true}};
  for (const Case& c : cases) {
    connection->SetDesigning(c.designing);
    connection->SetDesignConnection(c.designConnection);
    connection->BeginLoading();
    connection->SetConnected(true);
    EXPECT_FALSE(connection->Connected());
    connection->EndLoading();
    EXPECT_EQ(connection->Connected(), c.connected) << c.designing << c.designConnection;
    connection->Disconnect();
  }
}

TEST_F(ConnectionTest, LoginPromptWithoutDialogOrHandler) {
  connection->SetLoginPrompt(true);
  EXPECT_EQ(ErrorOf<Exception>([&] { connection->Connect(); }),
            "Can not find default login prompt dialog. Please add DBLogDlg to the uses section of your main file.");
  // A cancelled login dialog: no connection and no error.
  SetLoginDialogHook([](const AnsiString&, AnsiString&, AnsiString&) { return false; });
  connection->Connect();
  EXPECT_FALSE(connection->Connected());
  SetLoginDialogHook(nullptr);

  connection->Properties()->Add("UID=fromprops");
  connection->OnLogin = [](TObject*, AnsiString& user, AnsiString& password) {
    user += "!";
    password = "given";
  };
  connection->Connect();
  EXPECT_EQ(Server().LastConnect.User, "fromprops!");
  EXPECT_EQ(Server().LastConnect.Password, "given");
}

TEST_F(ConnectionTest, NestedTransactionsShareOneServerCommit) {
  connection->Connect();
  connection->StartTransaction();
  connection->StartTransaction();
  EXPECT_FALSE(connection->AutoCommit());
  connection->Commit();
  EXPECT_EQ(connection->ExplicitTransactionCounter(), 1);
  EXPECT_EQ(std::count(Server().Calls.begin(), Server().Calls.end(), "commit"), 0);
  connection->Commit();
  EXPECT_EQ(connection->ExplicitTransactionCounter(), 0);
  EXPECT_EQ(std::count(Server().Calls.begin(), Server().Calls.end(), "commit"), 1);
  EXPECT_TRUE(connection->AutoCommit());

  // Auto-commit switched off by the property: the commit keeps it off.
  connection->SetAutoCommit(false);
  connection->Rollback();
  EXPECT_FALSE(connection->AutoCommit());
  EXPECT_EQ(Server().Calls.back(), "rollback");
}

TEST_F(ConnectionTest, TransactionStepsRefuseInTheWrongMode) {
  connection->StartTransaction();  // needs no connection
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->Commit(); }), "Connection is not opened yet");
  EXPECT_EQ(ErrorOf<Exception>([&] { connection->SetAutoCommit(true); }),
            "Invalid operation in explicit transaction mode");
  EXPECT_FALSE(connection->AutoCommit());

  connection->Connect();
  connection->StartTransaction();
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->PrepareTransaction("x"); }),
            "Prepare transaction only possible on matching first(!) Starttransaction");
  connection->Rollback();
  connection->Rollback();
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->Commit(); }), "Invalid operation in AutoCommit mode");
  connection->SetAutoCommit(false);
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->StartTransaction(); }),
            "Invalid operation in non AutoCommit mode");
}

TEST_F(ConnectionTest, TwoPhaseEndingsWithoutConnectionRaiseInsteadOfCrashing) {
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->CommitPrepared("t1"); }), "Connection is not opened yet");
  EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { connection->RollbackPrepared("t1"); }), "Connection is not opened yet");
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->Connect();
  EXPECT_THROW(connection->CommitPrepared("t1"), EZSQLException);  // the base connection refuses
  EXPECT_EQ(connection->TransactIsolationLevel(), tiSerializable);
}

}  // namespace
