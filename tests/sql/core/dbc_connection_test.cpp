// The driver, connection and sequence bases: defaults, refusals of what needs
// a server, the shared tokenizer, closing on release; and the contract the
// interfaces promise, seen through the fake driver.

#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/lists.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/parsesql/statement_analyser.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

// One object behind both references: each has one counted root.
bool SameInterface(IZInterface* a, IZInterface* b) { return a == b; }

// A connection with nothing of its own: every answer is the base's.
class BareConnection : public TZAbstractConnection {
public:
  BareConnection(const AnsiString& user, TStrings* properties, bool failClose = false)
      : TZAbstractConnection(nullptr, "zdbc:bare:db", "h", 0, "db", user, "", properties), failClose_(failClose) {}
  void Close() override {
    if (failClose_) throw EZSQLException("disconnect failed");
    TZAbstractConnection::Close();
  }
  using TZAbstractConnection::Password;
  using TZAbstractConnection::User;

private:
  bool failClose_;
};

class BareSequence : public TZAbstractSequence {
public:
  using TZAbstractSequence::TZAbstractSequence;
  AnsiString GetCurrentValueSQL() override { return AnsiString(); }
  AnsiString GetNextValueSQL() override { return AnsiString(); }
};

TEST(AbstractConnection, StartsClosedWithDefaultSettings) {
  Ref<IZConnection> connection = MakeRef<BareConnection>("", nullptr);
  EXPECT_TRUE(connection->IsClosed());
  EXPECT_TRUE(connection->GetAutoCommit());
  EXPECT_TRUE(connection->IsReadOnly());
  EXPECT_EQ(connection->GetTransactIsolationLevel(), tiNone);
  EXPECT_EQ(connection->GetClientVersion(), 0);
  EXPECT_EQ(connection->GetServerVersion(), 0);
  EXPECT_EQ(connection->GetMetadata(), nullptr);
  EXPECT_EQ(connection->GetWarnings(), nullptr);

  connection->Open();
  EXPECT_FALSE(connection->IsClosed());
  connection->Close();
  connection->Close();
  EXPECT_TRUE(connection->IsClosed());

  connection->SetAutoCommit(false);
  connection->SetReadOnly(false);
  connection->SetTransactIsolationLevel(tiSerializable);
  EXPECT_FALSE(connection->GetAutoCommit());
  EXPECT_FALSE(connection->IsReadOnly());
  EXPECT_EQ(connection->GetTransactIsolationLevel(), tiSerializable);
}

TEST(AbstractConnection, RefusesWhatNeedsAServer) {
  Ref<IZConnection> c = MakeRef<BareConnection>("", nullptr);
  const std::pair<const char*, std::function<void()>> refused[] = {
      {"CreateStatement", [&] { c->CreateStatement(); }},
      {"CreateStatementWithProperties", [&] { c->CreateStatementWithProperties(nullptr); }},
      {"PrepareStatement", [&] { c->PrepareStatement("select 1"); }},
      {"PrepareStatementWithProperties", [&] { c->PrepareStatementWithProperties("select 1", nullptr); }},
      {"PrepareCall", [&] { c->PrepareCall("p"); }},
      {"PrepareCallWithProperties", [&] { c->PrepareCallWithProperties("p", nullptr); }},
      {"CreateNamedObject", [&] { c->CreateNamedObject("x"); }},
      {"CreateSequence", [&] { c->CreateSequence("s", 1); }},
      {"Commit", [&] { c->Commit(); }},
      {"Rollback", [&] { c->Rollback(); }},
      {"PrepareTransaction", [&] { c->PrepareTransaction("t"); }},
      {"CommitPrepared", [&] { c->CommitPrepared("t"); }},
      {"RollbackPrepared", [&] { c->RollbackPrepared("t"); }},
      {"PingServer", [&] { c->PingServer(); }},
  };
  for (const auto& [name, call] : refused) {
    try {
      call();
      ADD_FAILURE() << name << " was served";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Unsupported operation") << name;
      EXPECT_EQ(e.ErrorCode(), -1) << name;
    }
  }
  EXPECT_TRUE(c->IsClosed());
}

TEST(AbstractConnection, PlainAnswersOfTheBase) {
  Ref<IZConnection> connection = MakeRef<BareConnection>("", nullptr);
  EXPECT_EQ(connection->NativeSQL("select * from t where a = 'x'"), "select * from t where a = 'x'");
  connection->SetCatalog("shop");
  EXPECT_EQ(connection->GetCatalog(), "");
  EXPECT_EQ(connection->EscapeString(AnsiString("it's \"a\\b\"\0", 11)), "it\\'s \\\"a\\\\b\\\"\\000");
}

TEST(AbstractConnection, UserComesFromPropertiesOnlyWhenNotGiven) {
  TStringList properties;
  properties.Add("username=ann");
  properties.Add("password=secret");
  Ref<BareConnection> fromLines = MakeRef<BareConnection>("", &properties);
  Ref<BareConnection> given = MakeRef<BareConnection>("bob", &properties);

  // The connection keeps its own copy, which later readers see live.
  properties.Clear();
  TStrings* own = fromLines->GetProperties();
  EXPECT_EQ(own->Count(), 2);
  own->Add("timeout=5");
  EXPECT_EQ(fromLines->GetProperties()->Values("timeout"), "5");

  EXPECT_EQ(fromLines->User(), "ann");
  EXPECT_EQ(fromLines->Password(), "secret");
  EXPECT_EQ(given->User(), "bob");
}

TEST(AbstractConnection, ReleasingAnOpenConnectionClosesItThroughTheDriver) {
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  EXPECT_EQ(driver->Server().Calls, (std::vector<AnsiString>{"open"}));
  connection = nullptr;
  EXPECT_EQ(driver->Server().Calls, (std::vector<AnsiString>{"open", "close"}));

  // A closed one is not closed again.
  connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  connection->Close();
  connection = nullptr;
  EXPECT_EQ(driver->Server().Calls, (std::vector<AnsiString>{"open", "close", "open", "close"}));
}

TEST(AbstractConnection, FailingDisconnectOnReleaseDoesNotEscape) {
  Ref<IZConnection> connection = MakeRef<BareConnection>("", nullptr, true);
  connection->Open();
  EXPECT_NO_THROW(connection = nullptr);
}

TEST(AbstractDriver, AcceptsOnlyItsOwnProtocolsExactly) {
  Ref<IZDriver> driver = MakeRef<TZFakeDriver>();
  struct {
    const char* url;
    bool accepted;
  } const cases[] = {
      {"zdbc:fake-1://h/db", true}, {"zdbc:fake-2:db", true},  {"zdbc:FAKE-2:db", false},
      {"zdbc:fake:db", false},      {"zdbc:fake-1", false},    {"ZDBC:fake-1:db", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(driver->AcceptsURL(c.url), c.accepted) << c.url;
}

TEST(AbstractDriver, VersionsAndSharedParsers) {
  Ref<IZDriver> driver = MakeRef<TZFakeDriver>();
  EXPECT_EQ(driver->GetMajorVersion(), 1);
  EXPECT_EQ(driver->GetMinorVersion(), 0);
  EXPECT_EQ(driver->GetSubVersion(), 0);
  EXPECT_EQ(driver->GetPropertyInfo("zdbc:fake-1:db", nullptr), nullptr);

  Ref<IZTokenizer> tokenizer = driver->GetTokenizer();
  ASSERT_TRUE(tokenizer);
  EXPECT_EQ(driver->GetTokenizer(), tokenizer);
  Ref<IZStatementAnalyser> analyser = driver->GetStatementAnalyser();
  ASSERT_TRUE(analyser);
  EXPECT_EQ(driver->GetStatementAnalyser(), analyser);
  EXPECT_EQ(tokenizer->TokenizeBufferToList("select a from t", {}).empty(), false);
}

TEST(AbstractSequence, KeepsItsSettingsAndAsksNoServer) {
  Ref<IZSequence> sequence = MakeRef<BareSequence>(nullptr, "seq", 10);
  EXPECT_EQ(sequence->GetName(), "seq");
  EXPECT_EQ(sequence->GetBlockSize(), 10);
  EXPECT_EQ(sequence->GetNextValue(), 0);
  EXPECT_EQ(sequence->GetCurrentValue(), 0);
  sequence->SetName("other");
  sequence->SetBlockSize(2);
  EXPECT_EQ(sequence->GetName(), "other");
  EXPECT_EQ(sequence->GetBlockSize(), 2);
  EXPECT_EQ(sequence->GetConnection(), nullptr);
}

TEST(AbstractSequence, KeepsItsConnectionAlive) {
  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZSequence> sequence = driver->Connect("zdbc:fake-1:db", nullptr)->CreateSequence("s", 5);
  EXPECT_EQ(driver->Server().Calls, (std::vector<AnsiString>{"open"}));
  EXPECT_EQ(sequence->GetNextValue(), 5);
  EXPECT_EQ(sequence->GetCurrentValue(), 5);
  sequence = nullptr;
  EXPECT_EQ(driver->Server().Calls, (std::vector<AnsiString>{"open", "close"}));
}

// --- the interfaces' promises, through the fake driver ------------------------

class FakeDriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    driver = MakeRef<TZFakeDriver>();
    driver->Server().Results["select id, name from people"] = {
        {{"id", stInteger}, {"name", stString}},
        {{Int(1), Str("Ann")}, {Int(2), TZVariant()}},
    };
    connection = driver->Connect("zdbc:fake-1://h/db?batch=7", nullptr);
  }

  static TZVariant Int(int v) {
    TZVariant value;
    value.VType = vtInteger;
    value.VInteger = v;
    return value;
  }
  static TZVariant Str(const char* v) {
    TZVariant value;
    value.VType = vtString;
    value.VString = v;
    return value;
  }

  Ref<TZFakeDriver> driver;
  Ref<IZConnection> connection;
};

TEST_F(FakeDriverTest, InterfaceQueriesYieldTheSameObject) {
  EXPECT_EQ(Query<IZConnection>(Query<IZInterface>(connection)), connection);
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_TRUE(SameInterface(Query<IZInterface>(statement).get(), statement.get()));
  EXPECT_EQ(Query<IZPreparedStatement>(statement), nullptr);
}

TEST_F(FakeDriverTest, ResultSetOutlivesItsStatement) {
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("select id, name from people");
  ASSERT_TRUE(rows->GetStatement());
  EXPECT_EQ(rows->GetStatement()->GetConnection(), connection);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), 1);
  EXPECT_EQ(driver->Server().ExecutedSQL, (std::vector<AnsiString>{"select id, name from people"}));
}

TEST_F(FakeDriverTest, ByNameAccessGoesThroughTheColumnNumber) {
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("select id, name from people");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetStringByName("NAME"), "Ann");
  EXPECT_EQ(rows->GetLongByName("id"), 1);
  EXPECT_FALSE(rows->IsNullByName("name"));
  ASSERT_TRUE(rows->Next());
  EXPECT_TRUE(rows->IsNullByName("name"));
  EXPECT_EQ(rows->GetStringByName("name"), "");
  EXPECT_TRUE(rows->WasNull());
  EXPECT_FALSE(rows->Next());

  try {
    rows->GetIntByName("age");
    ADD_FAILURE() << "found";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Column with name \"age\" was not found");
  }
  EXPECT_THROW(rows->UpdateIntByName("age", 1), EZSQLException);
  try {
    rows->First();
    rows->UpdateStringByName("name", "Bea");
    ADD_FAILURE() << "updated";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Operation is not allowed in READ ONLY mode");
  }
}

TEST_F(FakeDriverTest, ExecuteTellsRowsFromUpdateCounts) {
  driver->Server().AddTable("towns", {{{"name", stString}}, {{Str("Brno")}}});
  driver->Server().UpdateCounts["delete from towns"] = 3;
  Ref<IZStatement> statement = connection->CreateStatement();

  ASSERT_TRUE(statement->Execute("select * from towns"));
  EXPECT_EQ(statement->GetUpdateCount(), -1);
  Ref<IZResultSet> rows = statement->GetResultSet();
  ASSERT_TRUE(rows && rows->Next());
  EXPECT_EQ(rows->GetString(1), "Brno");
  EXPECT_EQ(rows->GetMetadata()->GetColumnName(1), "name");

  EXPECT_FALSE(statement->Execute("delete from towns"));
  EXPECT_EQ(statement->GetUpdateCount(), 3);
  EXPECT_EQ(statement->GetResultSet(), nullptr);
  EXPECT_THROW(statement->ExecuteQuery("select * from nowhere"), EZSQLException);
  EXPECT_EQ(driver->Server().ExecutedSQL,
            (std::vector<AnsiString>{"select * from towns", "delete from towns", "select * from nowhere"}));
}

TEST_F(FakeDriverTest, StatementOptionsFallBackToTheConnection) {
  TStringList info;
  info.Add("where=all");
  info.Add("batch=");
  Ref<IZStatement> statement = connection->CreateStatementWithProperties(&info);
  EXPECT_EQ(GetStatementProperty(statement.get(), "WHERE", "keys"), "all");
  EXPECT_EQ(GetStatementProperty(statement.get(), "batch", "1"), "7");
  EXPECT_EQ(GetStatementProperty(statement.get(), "missing", "dflt"), "dflt");
  connection->GetProperties()->Add("missing=late");
  EXPECT_EQ(GetStatementProperty(statement.get(), "missing", "dflt"), "late");
}

}  // namespace
