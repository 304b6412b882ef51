// Statements and result sets against the throwaway server: parameters as
// literals checked with psql and the server log, update counts, scrolling,
// updatable results and server errors.

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/sql_exception.h"
#include "sql/core/variant.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

using namespace pg_test;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

AnsiString AllBytes() {
  AnsiString bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  return bytes;
}

std::string HexOfAllBytes() {
  std::string hex;
  const char* digits = "0123456789abcdef";
  for (int i = 0; i < 256; ++i) hex += {digits[i / 16], digits[i % 16]};
  return hex;
}

bool LoggedContains(IZPostgreSQLConnection* connection, const std::string& part) {
  for (const std::string& line : Logged(connection))
    if (line.find(part) != std::string::npos) return true;
  return false;
}

TEST(PostgreSQLStatement, ParametersReachTheServerAsTheirValues) {
  MakeTable("st_params", "id int, t text, b bytea, d date, tm time, ts timestamp, flag bool, num numeric(12,4), "
                         "u text");
  Ref<IZPostgreSQLConnection> connection = Connect({"codepage=WIN1250"});
  Ref<IZPreparedStatement> insert = connection->PrepareStatement(
      "INSERT INTO st_params (id, t, b, d, tm, ts, flag, num, u) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
  insert->SetInt(1, 1);
  insert->SetString(2, "Kůň \\ 'úpěl'");
  TStringStream bytes(AllBytes());
  insert->SetBinaryStream(3, &bytes);
  insert->SetDate(4, EncodeDate(2007, 3, 1));
  insert->SetTime(5, EncodeTime(13, 5, 9, 0));
  insert->SetTimestamp(6, EncodeDate(2007, 3, 1) + EncodeTime(23, 59, 58, 0));
  insert->SetBoolean(7, true);
  insert->SetBigDecimal(8, 1234.5625L);
  insert->SetUnicodeString(9, u"Žluťoučký");
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);

  const struct {
    const char* expression;
    std::string expected;
  } cases[] = {
      {"t", Utf8(u8"Kůň \\ 'úpěl'")},
      {"encode(b, 'hex')", HexOfAllBytes()},
      {"d", "2007-03-01"},
      {"tm", "13:05:09"},
      {"ts", "2007-03-01 23:59:58"},
      {"flag", "t"},
      {"num", "1234.5625"},
      {"u", Utf8(u8"Žluťoučký")},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Psql(std::string("SELECT ") + c.expression + " FROM st_params WHERE id = 1"), c.expected)
        << c.expression;
  EXPECT_TRUE(LoggedContains(connection.get(), "'2007-03-01'::date"));

  // Read back through the driver, in the system's code page.
  Ref<IZResultSet> back = connection->CreateStatement()->ExecuteQuery("SELECT t, u FROM st_params WHERE id = 1");
  ASSERT_TRUE(back->Next());
  EXPECT_EQ(back->GetString(1), "Kůň \\ 'úpěl'");
  EXPECT_EQ(back->GetUnicodeString(2), u"Žluťoučký");

  // Nulls of every type, and FALSE.
  insert->ClearParameters();
  insert->SetInt(1, 2);
  for (int i : {2, 3, 4, 5, 6, 8, 9}) insert->SetNull(i, stString);
  insert->SetBoolean(7, false);
  insert->ExecuteUpdatePrepared();
  EXPECT_EQ(Psql("SELECT num_nulls(t, b, d, tm, ts, num, u), flag FROM st_params WHERE id = 2"), "7|f");
}

// With "oidasblob" bytea columns are read and set as bytes, NUL included.
TEST(PostgreSQLStatement, BytesWithOidAsBlobKeepEveryByte) {
  MakeTable("st_bytes", "id int, b bytea");
  Ref<IZPostgreSQLConnection> connection = Connect({"oidasblob=true"});
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO st_bytes VALUES (1, ?)");
  const AnsiString bytes = AllBytes();
  insert->SetBytes(1, TByteDynArray(bytes.begin(), bytes.end()));
  insert->ExecuteUpdatePrepared();
  EXPECT_EQ(Psql("SELECT encode(b, 'hex') FROM st_bytes"), HexOfAllBytes());

  Ref<IZResultSet> read = connection->CreateStatement()->ExecuteQuery("SELECT b FROM st_bytes");
  ASSERT_TRUE(read->Next());
  EXPECT_EQ(read->GetMetadata()->GetColumnType(1), stBytes);
  const TByteDynArray back = read->GetBytes(1);
  EXPECT_EQ(AnsiString(back.begin(), back.end()), bytes);
}

// A value without a declared type is quoted as a text, never left out.
TEST(PostgreSQLStatement, UndeclaredParametersAreQuotedTexts) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZPreparedStatement> select = connection->PrepareStatement("SELECT ?::text, ?::int");
  auto* statement = dynamic_cast<TZAbstractPreparedStatement*>(select.get());
  ASSERT_TRUE(statement);
  TZVariant text, number;
  DefaultVarManager()->SetAsString(text, "it's");
  DefaultVarManager()->SetAsInteger(number, 7);
  statement->SetInParam(1, stUnknown, text);
  statement->SetInParam(2, stUnknown, number);
  Ref<IZResultSet> row = select->ExecuteQueryPrepared();
  ASSERT_TRUE(row->Next());
  EXPECT_EQ(row->GetString(1), "it's");
  EXPECT_EQ(row->GetInt(2), 7);
}

TEST(PostgreSQLStatement, MissingParametersAreRefused) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZPreparedStatement> select = connection->PrepareStatement("SELECT ?, ?");
  select->SetInt(1, 1);
  try {
    select->ExecuteQueryPrepared();
    FAIL() << "ran with a missing parameter";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Input parameter count is less then expected");
  }
}

TEST(PostgreSQLStatement, CountsAndResultsOfEachKindOfStatement) {
  MakeTable("st_counts", "id int, c char(5), v varchar(10), flag bool");
  Psql("INSERT INTO st_counts VALUES (1, 'ab', 'ab  ', true), (2, 'x', 'x', false), (3, 'y', 'y', NULL)");
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZStatement> statement = connection->CreateStatement();
  EXPECT_EQ(statement->ExecuteUpdate("UPDATE st_counts SET id = id + 10"), 3);
  EXPECT_EQ(statement->ExecuteUpdate("SET search_path = public"), 0);

  EXPECT_FALSE(statement->Execute("INSERT INTO st_counts VALUES (14, 'z', 'z', true)"));
  EXPECT_EQ(statement->GetUpdateCount(), 1);
  ASSERT_TRUE(statement->Execute("SELECT c, v, flag FROM st_counts ORDER BY id"));
  Ref<IZResultSet> rows = statement->GetResultSet();
  ASSERT_TRUE(rows);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "ab");
  EXPECT_EQ(rows->GetString(2), "ab  ");
  EXPECT_TRUE(rows->GetBoolean(3));
  ASSERT_TRUE(rows->Next());
  EXPECT_FALSE(rows->GetBoolean(3));
  ASSERT_TRUE(rows->Next());
  EXPECT_FALSE(rows->GetBoolean(3));
  EXPECT_TRUE(rows->WasNull());
  // The statement and its last result set hold each other until closed.
  statement->Close();
}

TEST(PostgreSQLStatement, MovesToAbsoluteRows) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZResultSet> rows =
      connection->CreateStatement()->ExecuteQuery("SELECT g FROM generate_series(1, 5) AS g ORDER BY g");
  const struct {
    int to;
    bool result;
    int row;
  } moves[] = {{3, true, 3}, {-1, true, 5}, {-7, false, 0}, {6, false, 6}, {2, true, 2}, {7, false, 2}};
  for (const auto& move : moves) {
    EXPECT_EQ(rows->MoveAbsolute(move.to), move.result) << move.to;
    EXPECT_EQ(rows->GetRow(), move.row) << move.to;
  }
  rows->MoveAbsolute(-1);
  EXPECT_EQ(rows->GetInt(1), 5);
  rows->MoveAbsolute(6);
  EXPECT_THROW(rows->GetInt(1), EZSQLException);  // "Row data is not available"

  Ref<IZStatement> limited = connection->CreateStatement();
  limited->SetMaxRows(2);
  Ref<IZResultSet> two = limited->ExecuteQuery("SELECT g FROM generate_series(1, 5) AS g");
  EXPECT_TRUE(two->MoveAbsolute(2));
  EXPECT_FALSE(two->MoveAbsolute(3));
  EXPECT_EQ(two->GetRow(), 2);
}

TEST(PostgreSQLStatement, ForwardOnlyResultsReadForward) {
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetType(rtForwardOnly);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT g FROM generate_series(1, 3) AS g ORDER BY g");
  int sum = 0;
  while (rows->Next()) sum += rows->GetInt(1);
  EXPECT_EQ(sum, 6);
  EXPECT_THROW(rows->First(), EZSQLException);
}

// The cached rows keep long values whole, and a text column serves as key.
TEST(PostgreSQLStatement, UpdatableResultsWriteBackOverATextKey) {
  MakeTable("st_live", "k text PRIMARY KEY, v varchar");
  const std::string long_value(300, 'w');
  Psql("INSERT INTO st_live VALUES ('a', '" + long_value + "'), ('b', 'short')");
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT k, v FROM st_live ORDER BY k");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(2), AnsiString(long_value));
  rows->UpdateString(2, "changed");
  rows->UpdateRow();
  EXPECT_EQ(Psql("SELECT k || '=' || v FROM st_live ORDER BY k"), "a=changed\nb=short");
  EXPECT_TRUE(LoggedContains(connection.get(), "WHERE k='a'"));
}

TEST(PostgreSQLStatement, ServerErrorsRaiseAndTheConnectionStaysUsable) {
  for (TZTransactIsolationLevel level : {tiNone, tiReadCommitted}) {
    Ref<IZPostgreSQLConnection> connection = Make();
    connection->SetTransactIsolationLevel(level);
    connection->Open();
    Ref<IZStatement> statement = connection->CreateStatement();
    try {
      statement->ExecuteQuery("SELECT * FROM nosuch");
      FAIL() << "no error";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message().rfind("SQL Error: ERROR:  relation \"nosuch\" does not exist", 0), 0u) << e.Message();
      EXPECT_EQ(e.StatusCode(), "42P01");
    }
    Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT 42");
    ASSERT_TRUE(rows->Next());
    EXPECT_EQ(rows->GetInt(1), 42);
  }
}

}  // namespace
