// SQLite statements and result sets on a real file, checked with the sqlite3
// tool: updates, the emulated parameters and their literals, Czech text,
// binary values, updatable results with generated row ids, column types and
// widths, and the errors of bad SQL.

#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"

namespace sqlite_test {
namespace {

class SQLiteStatements : public SQLiteTest {
protected:
  void SetUp() override {
    Tool("CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(5), born DATE, note TEXT, photo BLOB,"
         " ok BOOLEAN, score REAL);");
    connection = Connect();
  }
  Ref<IZSQLiteConnection> connection;
};

TEST_F(SQLiteStatements, ExecuteTellsRowsFromChanges) {
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_FALSE(statement->Execute("INSERT INTO people (name) VALUES ('a')"));
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  EXPECT_EQ(statement->ExecuteUpdate("INSERT INTO people (name) SELECT name FROM people"), 1);
  EXPECT_FALSE(statement->Execute("UPDATE people SET ok = 'Y'"));
  EXPECT_EQ(statement->GetUpdateCount(), 2);
  EXPECT_EQ(Tool("SELECT count(*) FROM people WHERE ok = 'Y';"), "2");

  EXPECT_TRUE(statement->Execute("SELECT name FROM people ORDER BY id"));
  Ref<IZResultSet> rows = statement->GetResultSet();
  ASSERT_TRUE(rows);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "a");
  EXPECT_TRUE(rows->Next());
  EXPECT_FALSE(rows->Next());
  // Every result scrolls.
  EXPECT_TRUE(rows->First());
  EXPECT_EQ(rows->GetType(), rtScrollInsensitive);
}

TEST_F(SQLiteStatements, UnclosedStatementsAndResultsAreFreed) {
  Tool("INSERT INTO people (name) VALUES ('a');");
  auto references = [&] { return dynamic_cast<TInterfacedObject&>(*connection).RefCount(); };
  const int before = references();

  Ref<IZStatement> statement = connection->CreateStatement();
  ASSERT_TRUE(statement->Execute("SELECT name FROM people"));
  statement = nullptr;
  EXPECT_EQ(references(), before);

  // A result still held keeps its statement until it goes too.
  statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT id, name FROM people");
  statement = nullptr;
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(2), "a");
  rows->UpdateString(2, "b");
  rows->UpdateRow();
  EXPECT_EQ(Tool("SELECT name FROM people;"), "b");
  rows = nullptr;
  EXPECT_EQ(references(), before);
}

TEST_F(SQLiteStatements, AnEmptyResultStillDescribesItsColumns) {
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT id, name FROM people");
  EXPECT_FALSE(rows->Next());
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  ASSERT_EQ(metadata->GetColumnCount(), 2);
  EXPECT_EQ(metadata->GetColumnLabel(2), "name");
  EXPECT_EQ(metadata->GetColumnType(1), stInteger);
  EXPECT_EQ(metadata->GetColumnType(2), stString);
}

TEST_F(SQLiteStatements, EachColumnIsTypedByItsOwnDeclaredType) {
  Tool("INSERT INTO people VALUES (1, 'x', '2024-02-29', 'n', NULL, 'T', 2.5);");
  Ref<IZResultSet> rows =
      connection->CreateStatement()->ExecuteQuery("SELECT id + 1 AS plus, born, score, ok, note FROM people");
  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  const TZSQLType expected[] = {stString, stDate, stDouble, stBoolean, stAsciiStream};
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(metadata->GetColumnType(i), expected[i - 1]) << i;
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "2");
  EXPECT_EQ(rows->GetDate(2), EncodeDate(2024, 2, 29));
  EXPECT_DOUBLE_EQ(rows->GetDouble(3), 2.5);
  EXPECT_TRUE(rows->GetBoolean(4));
  EXPECT_EQ(rows->GetString(5), "n");
}

TEST_F(SQLiteStatements, LongTextsReadWholeWhateverTheDeclaredLength) {
  const std::string longText(300, 'x');
  const std::string hugeText(100000, 'h');
  Tool("INSERT INTO people (id, name, note) VALUES (1, '" + longText + "', '" + hugeText + "');"
       "INSERT INTO people (id, name, note) VALUES (2, 'ab', 'cd');");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery(
      "SELECT name, name || 'y' AS expr, note || '' AS huge FROM people ORDER BY id");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), longText);
  EXPECT_EQ(rows->GetString(2), longText + "y");
  EXPECT_EQ(rows->GetString(3), hugeText);
  // Too wide for fixed rows: a stream, so the short rows stay small.
  EXPECT_EQ(rows->GetMetadata()->GetColumnType(3), stAsciiStream);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "ab");
  EXPECT_EQ(rows->GetString(3), "cd");
}

TEST_F(SQLiteStatements, ParametersBecomeLiteralsOfTheirType) {
  Ref<IZPreparedStatement> insert = connection->PrepareStatement(
      "INSERT INTO people (name, born, note, photo, ok, score) VALUES (?, ?, ?, ?, ?, ?)");
  insert->SetString(1, "O'Ne");
  insert->SetDate(2, EncodeDate(2001, 12, 24));
  insert->SetUnicodeString(3, u"wide");
  TStringStream photo(AnsiString("a\0b", 3));
  insert->SetBinaryStream(4, &photo);
  insert->SetBoolean(5, false);
  insert->SetDouble(6, 0.25);
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Tool("SELECT name, born, note, hex(photo), ok, score FROM people;"), "O'Ne|2001-12-24|wide|610062|N|0.25");

  insert->ClearParameters();
  insert->SetNull(1, stString);
  insert->SetValue(2, TZVariant());
  insert->SetBlob(3, stAsciiStream, MakeRef<TZAbstractBlob>());
  insert->SetBinaryStream(4, nullptr);
  insert->SetBoolean(5, true);
  insert->SetInt(6, 7);
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Tool("SELECT quote(name), quote(born), quote(note), quote(photo), ok, score FROM people WHERE id = 2;"),
            "NULL|NULL|NULL|NULL|Y|7.0");

  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT photo FROM people WHERE id = 1");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetBlob(1)->GetString(), AnsiString("a\0b", 3));
}

TEST_F(SQLiteStatements, CzechTextIsStoredInTheSystemsCodePage) {
  const AnsiString czech = "Žluťoučký kůň";
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO people (note) VALUES (?)");
  insert->SetString(1, czech);
  insert->ExecuteUpdatePrepared();
  EXPECT_EQ(Tool("SELECT hex(note) FROM people;"), "8E6C759D6F75E86BFD206BF9F2");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT note FROM people");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), czech);
}

TEST_F(SQLiteStatements, AnInsertedRowGetsTheRowIdTheLibraryGaveIt) {
  Tool("INSERT INTO people (id, name) VALUES (41, 'old');");
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT id, name FROM people");
  EXPECT_EQ(rows->GetMetadata()->IsNullable(1), ntNullable);
  rows->MoveToInsertRow();
  rows->UpdateString(2, "new");
  rows->InsertRow();
  EXPECT_EQ(rows->GetLong(1), 42);
  EXPECT_EQ(Tool("SELECT id FROM people WHERE name = 'new';"), "42");

  rows->UpdateString(2, "newer");
  rows->UpdateRow();
  EXPECT_EQ(Tool("SELECT name FROM people WHERE id = 42;"), "newer");
}

TEST_F(SQLiteStatements, BadSQLIsReportedWithTheLibrarysCodeAndLogged) {
  ScopedLog log;
  try {
    connection->CreateStatement()->ExecuteQuery("SELEC * FROM people");
    FAIL() << "no error";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: near \"SELEC\": syntax error");
    EXPECT_EQ(e.ErrorCode(), 1);
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Message, "SELEC * FROM people");
  EXPECT_EQ(log->Events[0].Category, lcExecute);

  try {
    connection->CreateStatement()->ExecuteUpdate("INSERT INTO nowhere VALUES (1)");
    FAIL() << "no error";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: no such table: nowhere");
  }
  EXPECT_THROW(connection->CreateStatement()->Execute("-- nothing"), EZSQLException);
}

TEST_F(SQLiteStatements, AFailedStepNamesItsRealCause) {
  Tool("INSERT INTO people (id, name) VALUES (1, 'a'), (2, 'b');");
  ScopedLog log;
  struct {
    const char* sql;
    int code;
    const char* message;
  } const cases[] = {
      {"INSERT INTO people (id) VALUES (1)", 19, "UNIQUE constraint failed: people.id"},
      // The error comes after the first row, while the rest is read.
      {"SELECT CASE WHEN id = 2 THEN abs(-9223372036854775807 - 1) ELSE id END FROM people ORDER BY id", 1,
       "integer overflow"},
  };
  for (const auto& c : cases) {
    try {
      connection->CreateStatement()->Execute(c.sql);
      ADD_FAILURE() << "no error: " << c.sql;
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.ErrorCode(), c.code) << c.sql;
      EXPECT_EQ(e.Message(), AnsiString("SQL Error: ") + c.message);
    }
  }
  // Each statement ran, then failed to fetch (the query's table is looked up
  // in the catalogue before its rows are read).
  int failedFetches = 0;
  for (const auto& event : log->Events) failedFetches += event.Category == lcOther && event.Message == "FETCH";
  EXPECT_EQ(failedFetches, 2);
  EXPECT_EQ(log->Events[1].Message, "FETCH");
  EXPECT_EQ(Tool("SELECT count(*) FROM people;"), "2");
}

TEST_F(SQLiteStatements, ATextOfSeveralStatementsRunsWholeOrNotAtAll) {
  Ref<IZStatement> statement = connection->CreateStatement();
  try {
    statement->Execute("INSERT INTO people (name) VALUES ('a'); INSERT INTO people (name) VALUES ('b')");
    FAIL() << "ran a part";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Cannot execute more then one query");
  }
  EXPECT_EQ(Tool("SELECT count(*) FROM people;"), "0");
  // A closing semicolon or comment is no further statement.
  EXPECT_FALSE(statement->Execute("INSERT INTO people (name) VALUES ('a'); -- done\n;"));
  EXPECT_TRUE(statement->ExecuteQuery("SELECT name FROM people;")->Next());
  // ExecuteUpdate runs a script whole.
  EXPECT_EQ(statement->ExecuteUpdate("INSERT INTO people (name) VALUES ('b'); INSERT INTO people (name) VALUES ('c')"),
            1);
  EXPECT_EQ(Tool("SELECT group_concat(name) FROM people;"), "a,b,c");
}

TEST_F(SQLiteStatements, TooFewParametersAreRefused) {
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO people (name, note) VALUES (?, '?')");
  try {
    insert->ExecuteUpdatePrepared();
    FAIL() << "ran without a parameter";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Input parameter count is less then expected");
  }
  insert->SetString(1, "q");
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Tool("SELECT name, note FROM people;"), "q|?");
}

TEST_F(SQLiteStatements, ReadersNeedACurrentRow) {
  Tool("INSERT INTO people (id, name) VALUES (1, 'x');");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT id, name FROM people");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(2), 0) << "a text that is no number reads as 0";
  EXPECT_FALSE(rows->Next());
  EXPECT_THROW(rows->GetString(1), EZSQLException);
}

}  // namespace
}  // namespace sqlite_test
