// The ASA driver and connection against the client double: the loading of
// each client generation, the connect string, the transaction options,
// commit and rollback, and the failures of opening.

#include <vector>

#include <gtest/gtest.h>

#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/asa/asa_test_support.h"

namespace {

using asa_test::Connection;
using asa_test::MakeDatabase;
using asa_test::QueryNumber;
using dblib_probe::CallsOf;

constexpr char kTable[] = "CREATE TABLE items (id INTEGER, name VARCHAR(20));";

TEST(ASADriver, EachGenerationLoadsItsOwnLibrary) {
  const std::string database = MakeDatabase(kTable);
  try {
    Connection(database, "ASA8");
    FAIL() << "ASA8 has no client library";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "None of the dynamic libraries can be found: libdblib8.so");
  }
  for (const char* protocol : {"ASA7", "ASA9"}) {
    Ref<TZASAConnection> connection = Connection(database, protocol);
    EXPECT_TRUE(connection->IsClosed()) << protocol;
    connection->Open();
    EXPECT_FALSE(connection->IsClosed()) << protocol;
    EXPECT_EQ(connection->GetDBHandle()->sqlcode, 0);
    connection->Close();
  }
  EXPECT_EQ(ASADriver()->GetSupportedProtocols(), (TZStringDynArray{"ASA7", "ASA8", "ASA9"}));
  EXPECT_TRUE(ASADriver()->GetTokenizer());
  EXPECT_EQ(ASADriver()->GetTokenizer(), ASADriver()->GetTokenizer());
}

TEST(ASAConnection, ConnectStrings) {
  struct Case {
    const char* database;
    int port;
    const char* user;
    const char* password;
    const char* commLinks;
    const char* links;
    const char* expected;
  } cases[] = {
      {"sales", 2638, "dba", "", "", "", "ENG=\"srv\"; UID=\"dba\"; DBN=\"sales\"; LINKS=tcpip(PORT=2638); "},
      {"sales.DB", 0, "dba", "sql", "", "", "ENG=\"srv\"; UID=\"dba\"; PWD=\"sql\"; DBF=\"sales.DB\"; "},
      {"c:/data/sales.db", 0, "", "", "", "", "ENG=\"srv\"; DBF=\"c:/data/sales.db\"; "},
      {"sales", 2638, "dba", "", "tcpip{host=a}", "shmem", "ENG=\"srv\"; UID=\"dba\"; DBN=\"sales\"; LINKS=shmem; "},
      {"sales", 2638, "dba", "", "tcpip{host=a}", "",
       "ENG=\"srv\"; UID=\"dba\"; DBN=\"sales\"; CommLinks=tcpip{host=a}; "},
      {"sales", 0, "dba", "", "", "", "ENG=\"srv\"; UID=\"dba\"; DBN=\"sales\"; "},
  };
  for (const Case& c : cases) {
    TStringList properties;
    if (*c.commLinks) properties.Add(AnsiString("CommLinks=") + c.commLinks);
    if (*c.links) properties.Add(AnsiString("links=") + c.links);
    auto connection = MakeRef<TZASAConnection>(ASADriver(), "", MakeRef<TZASA9PlainDriver>(), "srv", c.port,
                                               c.database, c.user, c.password, &properties);
    EXPECT_EQ(connection->BuildConnectString(), c.expected) << c.database << " " << c.links;
  }
}

TEST(ASAConnection, OpenSendsTheConnectStringAndTheOptions) {
  const std::string database = MakeDatabase(kTable);
  Ref<TZASAConnection> connection = Connection(database);
  dblib_probe::Reset();
  ScopedLog log;
  connection->Open();
  EXPECT_EQ(CallsOf("db_string_connect"),
            (std::vector<std::string>{"ENG=\"srv\"; UID=\"dba\"; DBN=\"" + database + "\"; "}));
  EXPECT_EQ(CallsOf("dbpp_setoption"),
            (std::vector<std::string>{"1 nil CHAINED OFF", "1 nil ISOLATION_LEVEL 0"}));
  EXPECT_EQ(log->Messages(lcOther),
            (std::vector<AnsiString>{"SET OPTION .CHAINED = OFF", "SET OPTION .ISOLATION_LEVEL = 0"}));
  EXPECT_EQ(log->Messages(lcConnect),
            (std::vector<AnsiString>{"CONNECT TO \"" + database + "\" AS USER \"dba\""}));

  // Auto-commit on: nothing to commit or roll back, nothing sent or logged.
  connection->Commit();
  connection->Rollback();
  EXPECT_TRUE(CallsOf("dbpp_commit").empty());
  EXPECT_TRUE(CallsOf("dbpp_rollback").empty());
  EXPECT_TRUE(log->Messages(lcTransaction).empty());

  connection->Close();
  EXPECT_EQ(CallsOf("db_string_disconnect"), (std::vector<std::string>{"nil"}));
  EXPECT_EQ(CallsOf("db_fini").size(), 1u);
  EXPECT_EQ(log->Messages(lcDisconnect), (std::vector<AnsiString>{"DISCONNECT FROM \"" + database + "\""}));
  EXPECT_EQ(dblib_probe::Probe().liveAreas, 0);
}

TEST(ASAConnection, IsolationLevelsAsSent) {
  const std::string database = MakeDatabase(kTable);
  const std::pair<TZTransactIsolationLevel, const char*> levels[] = {
      {tiNone, "0"}, {tiReadUncommitted, "0"}, {tiReadCommitted, "1"}, {tiRepeatableRead, "2"},
      {tiSerializable, "3"}};
  for (const auto& [level, sent] : levels) {
    Ref<TZASAConnection> connection = Connection(database);
    connection->SetAutoCommit(false);
    connection->SetTransactIsolationLevel(level);
    dblib_probe::Reset();
    connection->Open();
    EXPECT_EQ(CallsOf("dbpp_setoption"),
              (std::vector<std::string>{"1 nil CHAINED ON", std::string("1 nil ISOLATION_LEVEL ") + sent}));
    connection->Close();
  }
}

TEST(ASAConnection, SwitchingAutoCommitOffWhileOpenMakesRollbackUndoTheWork) {
  const std::string database = MakeDatabase(kTable);
  Ref<TZASAConnection> connection = Connection(database);
  connection->Open();
  dblib_probe::Reset();
  connection->SetAutoCommit(false);
  EXPECT_EQ(CallsOf("dbpp_setoption"), (std::vector<std::string>{"1 nil CHAINED ON", "1 nil ISOLATION_LEVEL 0"}));

  connection->GetPlainDriver()->dbpp_execute_imm(connection->GetDBHandle(), "INSERT INTO items VALUES (1, 'a')");
  EXPECT_EQ(connection->GetDBHandle()->sqlerrd[2], 1);
  ScopedLog log;
  connection->Rollback();
  EXPECT_EQ(CallsOf("dbpp_rollback"), (std::vector<std::string>{"0"}));
  EXPECT_EQ(log->Messages(lcTransaction), (std::vector<AnsiString>{"TRANSACTION ROLLBACK"}));
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items"), 0);

  connection->GetPlainDriver()->dbpp_execute_imm(connection->GetDBHandle(), "INSERT INTO items VALUES (2, 'b')");
  connection->Commit();
  EXPECT_EQ(CallsOf("dbpp_commit"), (std::vector<std::string>{"0"}));
  EXPECT_EQ(QueryNumber(database, "SELECT COUNT(*) FROM items"), 1);
  connection->Close();
}

TEST(ASAConnection, FailedOpenEndsTheAreaAndStaysClosed) {
  const std::string database = MakeDatabase(kTable);
  {
    Ref<TZASAConnection> connection = Connection(database);
    dblib_probe::Reset();
    dblib_probe::Inject("db_init", {});
    ScopedLog log;
    try {
      connection->Open();
      FAIL();
    } catch (const EZSQLException& e) {
      EXPECT_STREQ(e.what(), "Error initializing SQLCA");
      EXPECT_EQ(e.ErrorCode(), 0);
    }
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(connection->GetDBHandle(), nullptr);
    EXPECT_TRUE(CallsOf("db_fini").empty());
    ASSERT_EQ(log->Events.size(), 1u);
    EXPECT_EQ(log->Events[0].Message, "Inititalizing SQLCA");
  }
  {
    Ref<TZASAConnection> connection = Connection(database, "ASA9", ";password=wrong");
    dblib_probe::Reset();
    try {
      connection->Open();
      FAIL();
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.ErrorCode(), -103);
      EXPECT_STREQ(e.what(), "SQL Error: Invalid user ID or password");
    }
    EXPECT_TRUE(connection->IsClosed());
    EXPECT_EQ(connection->GetDBHandle(), nullptr);
    EXPECT_EQ(CallsOf("db_fini").size(), 1u);
    EXPECT_TRUE(CallsOf("dbpp_setoption").empty());
    EXPECT_EQ(dblib_probe::Probe().liveAreas, 0);
  }
}

TEST(ASAConnection, QuoteInAConnectValueIsRefusedBeforeAnythingIsSent) {
  const std::string database = MakeDatabase(kTable);
  // The quote would end the value and let the rest name another database.
  Ref<TZASAConnection> connection = Connection(database, "ASA9", ";password=a\"; DBF=\"other.db");
  dblib_probe::Reset();
  EXPECT_THROW(connection->Open(), EZSQLException);
  EXPECT_TRUE(dblib_probe::Probe().calls.empty());
  EXPECT_TRUE(connection->IsClosed());
}

}  // namespace
