// MySQL result sets against the throwaway server: the column types the
// library's field descriptors map to, zero dates and midnight, values with NUL
// bytes, scrolling stored results and the forward-only streamed ones, and
// cached rows that read as the native cursor's getters do.

#include <gtest/gtest.h>
#include <mariadb/mysql.h>

#include <cstring>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/mysql/mysql_result_set.h"
#include "tests/sql/drivers/mysql/mysql_test_support.h"
#include "tests/sql/drivers/round_trip.h"

namespace {

using namespace mysql_test;
using round_trip::Hex;

// Runs sql on a fresh statement of the connection.
void Exec(IZConnection* connection, const AnsiString& sql) { connection->CreateStatement()->ExecuteUpdate(sql); }

TEST(MySQLResultSet, ColumnTypesFollowTheFieldDescriptors) {
  Ref<IZMySQLConnection> connection = Connect();
  Exec(connection.get(), "DROP TABLE IF EXISTS rs_types");
  Exec(connection.get(),
       "CREATE TABLE rs_types (c_tiny tinyint, c_tiny_u tinyint unsigned, c_small smallint, "
       "c_small_u smallint unsigned, c_medium mediumint, c_int int, c_int_u int unsigned, c_big bigint, "
       "c_big_u bigint unsigned, c_dec9 decimal(9,0), c_dec10 decimal(10,0), c_dec102 decimal(10,2), "
       "c_dec18 decimal(18,0), c_dec19 decimal(19,0), c_dec152 decimal(15,2), c_dec162 decimal(16,2), "
       "c_float float, c_double double, c_date date, c_time time, c_datetime datetime, c_timestamp timestamp NULL, "
       "c_year year, c_char char(10), c_varchar varchar(255), c_text text, c_longtext longtext, c_blob blob, "
       "c_enum enum('Y','N'), c_set set('a','b'), c_bit bit(8), c_binary binary(4), c_varbinary varbinary(8), "
       "c_geometry geometry, "
       "c_uuid uuid)");
  const struct {
    const char* column;
    TZSQLType type;
  } expected[] = {
      {"c_tiny", stByte},         {"c_tiny_u", stShort},       {"c_small", stShort},
      {"c_small_u", stInteger},   {"c_medium", stInteger},     {"c_int", stInteger},
      {"c_int_u", stLong},        {"c_big", stLong},           {"c_big_u", stString},
      {"c_dec9", stInteger},      {"c_dec10", stLong},         {"c_dec102", stDouble},
      {"c_dec18", stLong},        {"c_dec19", stString},       {"c_dec152", stDouble},
      {"c_dec162", stString},
      {"c_float", stDouble},      {"c_double", stDouble},      {"c_date", stDate},
      {"c_time", stTime},         {"c_datetime", stTimestamp}, {"c_timestamp", stTimestamp},
      {"c_year", stInteger},      {"c_char", stString},        {"c_varchar", stString},
      {"c_text", stAsciiStream},  {"c_longtext", stAsciiStream}, {"c_blob", stBinaryStream},
      {"c_enum", stString},       {"c_set", stString},         {"c_bit", stBinaryStream},
      {"c_binary", stBytes},      {"c_varbinary", stBytes},    {"c_geometry", stBinaryStream},
      {"c_uuid", stString},
  };
  Ref<IZResultSet> resultSet = connection->CreateStatement()->ExecuteQuery("SELECT * FROM rs_types");
  // The descriptions as the driver made them, before the catalogue adds to them.
  auto* native = dynamic_cast<TZMySQLResultSet*>(resultSet.get());
  ASSERT_NE(native, nullptr);
  TZColumnInfoList& columns = native->GetColumnsInfo();
  ASSERT_EQ(columns.Count(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < columns.Count(); ++i) {
    SCOPED_TRACE(expected[i].column);
    EXPECT_EQ(columns[i].ColumnLabel, expected[i].column);
    EXPECT_EQ(columns[i].TableName, "rs_types");
    EXPECT_FALSE(columns[i].ReadOnly);
    EXPECT_EQ(GetSQLTypeName(columns[i].ColumnType), GetSQLTypeName(expected[i].type));
  }
  EXPECT_TRUE(columns[0].Signed);
  EXPECT_FALSE(columns[1].Signed);
  EXPECT_EQ(columns[11].Scale, 2);

  // A computed column has no table and cannot be written.
  resultSet = connection->CreateStatement()->ExecuteQuery("SELECT 1 + 1 AS two");
  TZColumnInfoList& computed = dynamic_cast<TZMySQLResultSet*>(resultSet.get())->GetColumnsInfo();
  EXPECT_TRUE(computed[0].ReadOnly);
  EXPECT_EQ(computed[0].Nullable, ntNoNulls);
}

// Field descriptors built by hand reach the boundaries no server column shows.
TEST(MySQLResultSet, TypeMappingBoundariesAndUnknownCodes) {
  Ref<IZMySQLConnection> connection = Connect();
  Ref<IZMySQLPlainDriver> plain = connection->GetPlainDriver();
  const struct {
    enum_field_types type;
    unsigned long length;
    unsigned int decimals;
    unsigned int flags;
    TZSQLType expected;
  } cases[] = {
      {MYSQL_TYPE_NEWDECIMAL, 10, 0, 0, stInteger},
      {MYSQL_TYPE_NEWDECIMAL, 11, 0, 0, stLong},
      {MYSQL_TYPE_DECIMAL, 10, 2, 0, stDouble},
      {MYSQL_TYPE_VAR_STRING, 8192, 0, 0, stString},
      {MYSQL_TYPE_VAR_STRING, 8193, 0, 0, stAsciiStream},
      {MYSQL_TYPE_NULL, 0, 0, 0, stString},
      {MYSQL_TYPE_YEAR, 4, 0, 0, stShort},
      {MYSQL_TYPE_BLOB, 65535, 0, 128, stBinaryStream},
      {MYSQL_TYPE_BLOB, 65535, 0, 0, stAsciiStream},
  };
  for (const auto& c : cases) {
    MYSQL_FIELD field{};
    field.type = c.type;
    field.length = c.length;
    field.decimals = c.decimals;
    field.flags = c.flags;
    EXPECT_EQ(ConvertMySQLFieldToSQLType(plain.get(), &field, static_cast<int>(c.flags)), c.expected)
        << "type " << c.type << " length " << c.length;
  }
  for (int code : {17, 100, 245}) {
    MYSQL_FIELD field{};
    field.type = static_cast<enum_field_types>(code);
    try {
      ConvertMySQLFieldToSQLType(plain.get(), &field, 0);
      ADD_FAILURE() << "type code " << code << " was accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Unknown MySQL data type!");
    }
  }
}

TEST(MySQLResultSet, ZeroDatesAreNullButMidnightIsATime) {
  Ref<IZMySQLConnection> connection = Connect();
  Exec(connection.get(), "SET SESSION sql_mode = ''");
  Exec(connection.get(), "DROP TABLE IF EXISTS rs_dates");
  Exec(connection.get(), "CREATE TABLE rs_dates (d date, t time, dt datetime)");
  Exec(connection.get(), "INSERT INTO rs_dates VALUES ('0000-00-00', '00:00:00', '0000-00-00 00:00:00'), "
                         "('2007-03-05', '12:30:15', '2007-03-05 12:30:15')");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT d, t, dt FROM rs_dates");

  ASSERT_TRUE(rows->Next());
  EXPECT_TRUE(rows->IsNull(1));
  EXPECT_EQ(rows->GetDate(1), 0);
  EXPECT_TRUE(rows->WasNull());
  EXPECT_FALSE(rows->IsNull(2));
  EXPECT_EQ(rows->GetTime(2), 0);
  EXPECT_FALSE(rows->WasNull());
  EXPECT_TRUE(rows->IsNull(3));
  EXPECT_EQ(rows->GetTimestamp(3), 0);
  EXPECT_TRUE(rows->WasNull());

  ASSERT_TRUE(rows->Next());
  const TDateTime day = EncodeDate(2007, 3, 5);
  const TDateTime time = (12 * 3600 + 30 * 60 + 15) / 86400.0;
  EXPECT_EQ(rows->GetDate(1), day);
  EXPECT_NEAR(rows->GetTime(2), time, 1e-9);
  EXPECT_NEAR(rows->GetTimestamp(3), day + time, 1e-9);
  EXPECT_FALSE(rows->WasNull());
}

TEST(MySQLResultSet, ReadsTypedValuesAndKeepsNulBytes) {
  Ref<IZMySQLConnection> connection = Connect();
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery(
      "SELECT CAST(-42 AS SIGNED), 2.5e0, 'yes', 'abc', X'610062', CAST(18446744073709551615 AS UNSIGNED), NULL");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetInt(1), -42);
  EXPECT_EQ(rows->GetLong(1), -42);
  EXPECT_DOUBLE_EQ(rows->GetDouble(2), 2.5);
  EXPECT_TRUE(rows->GetBoolean(3));
  EXPECT_EQ(rows->GetInt(4), 0);  // not a number
  EXPECT_EQ(rows->GetString(5), AnsiString("a\0b", 3));
  EXPECT_EQ(std::strcmp(rows->GetPChar(4), "abc"), 0);
  EXPECT_EQ(rows->GetUnicodeString(4), u"abc");
  EXPECT_DOUBLE_EQ(static_cast<double>(rows->GetBigDecimal(6)), 18446744073709551615.0);
  EXPECT_TRUE(rows->IsNull(7));
  EXPECT_EQ(rows->GetString(7), "");
  EXPECT_TRUE(rows->WasNull());
  EXPECT_EQ(rows->GetPChar(7), nullptr);
  EXPECT_THROW(rows->GetString(0), ERangeError);
  EXPECT_FALSE(rows->Next());
  try {
    rows->GetString(1);
    ADD_FAILURE() << "read past the last row";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Row data is not available");
  }
}

// A NUL inside a text column is one of its characters. The cursor gives the
// text whole, on a UTF-8 and on a Windows-1250 session; the cache, whose text
// slots end at a zero byte, refuses the row by name instead of cutting it.
TEST(MySQLResultSet, TextsHoldingNulAreReadWholeOrRefused) {
  for (const char* codepage : {"codepage=utf8mb4", "codepage=cp1250"}) {
    SCOPED_TRACE(codepage);
    Ref<IZMySQLConnection> connection = Connect({codepage});
    Exec(connection.get(), "DROP TABLE IF EXISTS rs_nul");
    Exec(connection.get(), "CREATE TABLE rs_nul (v varchar(3), x text) CHARACTER SET utf8mb4");
    Exec(connection.get(), "INSERT INTO rs_nul VALUES (CONCAT('x', CHAR(0), 'y'), CONCAT(CHAR(0), 'z', CHAR(0)))");
    EXPECT_EQ(QueryValue(connection.get(), "SELECT CONCAT(HEX(v), '/', HEX(x)) FROM rs_nul"), "780079/007A00");
    Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT v, x FROM rs_nul");
    ASSERT_TRUE(rows->Next());
    EXPECT_EQ(Hex(rows->GetString(1)), Hex(AnsiString("x\0y", 3)));
    EXPECT_EQ(Hex(rows->GetString(2)), Hex(AnsiString("\0z\0", 3)));
    Ref<IZStatement> cachedStatement = connection->CreateStatement();
    cachedStatement->SetResultSetConcurrency(rcUpdatable);
    Ref<IZResultSet> cached = cachedStatement->ExecuteQuery("SELECT x, v FROM rs_nul");
    try {
      cached->Next();
      ADD_FAILURE() << "the cache took a text it cannot keep whole: " << Hex(cached->GetString(2));
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Value for column 2 (v) holds a zero character, which ends a text");
    }
  }
}

// The cache takes each row straight from the library's texts: every value
// reads as the native cursor's getters read it, edge values and zero dates
// included.
TEST(MySQLResultSet, CachedRowsReadAsTheCursorDoes) {
  Ref<IZMySQLConnection> connection = Connect();
  Exec(connection.get(), "SET SESSION sql_mode = ''");
  Exec(connection.get(), "DROP TABLE IF EXISTS rs_cached");
  Exec(connection.get(),
       "CREATE TABLE rs_cached (id int PRIMARY KEY, i int, u int unsigned, b tinyint, s smallint, l bigint,"
       " ul bigint unsigned, n decimal(10,2), wide decimal(30,5), whole decimal(12,0), d double, f float,"
       " v varchar(3), x text, dt date, tm time(1), ts datetime(3), vb varbinary(4), bl blob, bt bit(3),"
       " y year, e enum('a','b'))");
  Exec(connection.get(),
       "INSERT INTO rs_cached VALUES (1, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,"
       " NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
       " (2, -2147483648, 4294967295, -128, -32768, -9223372036854775808, 18446744073709551615, -12345678.99,"
       " -1234567890123456789012345.12345, -99999999999, -1.7976931348623157e308, -3.4e38, 'abc', 'text',"
       " '2024-02-29', '-838:59:59', '2024-02-29 23:59:58.125', X'00FF0061', X'000102', b'101', 2155, 'b'),"
       " (3, 2147483647, 0, 127, 32767, 9223372036854775807, 9007199254740993, 0.01, 0.00001, 0,"
       " 0.1, 0.1, '', '', '0000-00-00', '25:30:00.5', '0000-00-00 00:00:00', X'', X'', b'0', 0, ''),"
       " (4, 0, 1, 0, 0, 0, 0, 0, 0, 1, 4.9e-324, 1e-30, 'x y', REPEAT('t', 300), '1899-12-30', '00:00:00',"
       " '1000-01-01 00:00:00.999', X'0A', X'FF', b'111', 1901, 'a')");
  const char* kSelect = "SELECT * FROM rs_cached ORDER BY id";
  Ref<IZResultSet> native = connection->CreateStatement()->ExecuteQuery(kSelect);
  Ref<IZStatement> cachedStatement = connection->CreateStatement();
  cachedStatement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> cached = cachedStatement->ExecuteQuery(kSelect);
  ASSERT_NE(dynamic_cast<TZMySQLCachedResultSet*>(cached.get()), nullptr);
  Ref<IZResultSetMetadata> metadata = native->GetMetadata();
  const int columns = metadata->GetColumnCount();
  int rows = 0;
  for (; native->Next(); ++rows) {
    ASSERT_TRUE(cached->Next());
    for (int column = 1; column <= columns; ++column) {
      SCOPED_TRACE("row " + std::to_string(rows + 1) + ", column " + metadata->GetColumnLabel(column));
      ASSERT_EQ(cached->IsNull(column), native->IsNull(column));
      if (native->IsNull(column)) continue;
      switch (metadata->GetColumnType(column)) {
        case stByte:
        case stShort:
        case stInteger:
        case stLong: EXPECT_EQ(cached->GetLong(column), native->GetLong(column)); break;
        case stDouble: EXPECT_EQ(cached->GetDouble(column), native->GetDouble(column)); break;
        case stDate: EXPECT_EQ(cached->GetDate(column), native->GetDate(column)); break;
        case stTime: EXPECT_EQ(cached->GetTime(column), native->GetTime(column)); break;
        case stTimestamp: EXPECT_EQ(cached->GetTimestamp(column), native->GetTimestamp(column)); break;
        case stAsciiStream:
        case stBinaryStream:
          EXPECT_EQ(Hex(cached->GetBlob(column)->GetString()), Hex(native->GetBlob(column)->GetString()));
          break;
        default: EXPECT_EQ(Hex(cached->GetString(column)), Hex(native->GetString(column))); break;
      }
    }
  }
  EXPECT_EQ(rows, 4);
  EXPECT_FALSE(cached->Next());
  // A few values by themselves, so that a cursor and cache both wrong show.
  ASSERT_TRUE(cached->MoveAbsolute(2));
  EXPECT_EQ(cached->GetInt(2), INT32_MIN);
  EXPECT_EQ(cached->GetLong(3), 4294967295LL);
  EXPECT_EQ(cached->GetLong(6), INT64_MIN);
  EXPECT_EQ(cached->GetString(7), "18446744073709551615");
  EXPECT_EQ(cached->GetString(9), "-1234567890123456789012345.12345");
  EXPECT_EQ(cached->GetDouble(11), -1.7976931348623157e308);
  EXPECT_NEAR(cached->GetTime(16), -(838 + (59 * 60 + 59) / 3600.0) / 24, 1e-9);
  EXPECT_NEAR(cached->GetTimestamp(17), EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 125), 1e-9);
  EXPECT_EQ(Hex(cached->GetString(18)), Hex(AnsiString("\0\xFF\0a", 4)));
  ASSERT_TRUE(cached->MoveAbsolute(3));
  EXPECT_EQ(cached->GetLong(6), INT64_MAX);
  EXPECT_EQ(cached->GetDouble(11), 0.1);
  EXPECT_NEAR(cached->GetTime(16), (25.5 + 0.5 / 3600) / 24, 1e-9);
  EXPECT_TRUE(cached->IsNull(15));
  EXPECT_TRUE(cached->IsNull(17));
}

class MySQLFiveRows : public ::testing::Test {
protected:
  void SetUp() override {
    connection = Connect();
    Exec(connection.get(), "DROP TABLE IF EXISTS rs_five");
    Exec(connection.get(), "CREATE TABLE rs_five (n int)");
    Exec(connection.get(), "INSERT INTO rs_five VALUES (1), (2), (3), (4), (5)");
  }
  Ref<IZMySQLConnection> connection;
};

TEST_F(MySQLFiveRows, StoredResultsMoveAbsolutely) {
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT n FROM rs_five ORDER BY n");
  EXPECT_TRUE(rows->MoveAbsolute(-1));
  EXPECT_EQ(rows->GetRow(), 5);
  EXPECT_EQ(rows->GetInt(1), 5);
  EXPECT_TRUE(rows->MoveAbsolute(2));
  EXPECT_EQ(rows->GetInt(1), 2);
  // Beyond one past the end nothing moves.
  EXPECT_TRUE(rows->MoveAbsolute(7));
  EXPECT_EQ(rows->GetRow(), 2);
  EXPECT_FALSE(rows->MoveAbsolute(0));
  EXPECT_TRUE(rows->IsBeforeFirst());
  EXPECT_FALSE(rows->MoveAbsolute(6));
  EXPECT_TRUE(rows->IsAfterLast());
  EXPECT_TRUE(rows->Previous());
  EXPECT_EQ(rows->GetInt(1), 5);
}

TEST_F(MySQLFiveRows, StreamedResultsReadForwardOnly) {
  TStringList properties;
  properties.Add("useresult=true");
  Ref<IZStatement> statement = connection->CreateStatementWithProperties(&properties);
  statement->SetResultSetType(rtForwardOnly);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT n FROM rs_five ORDER BY n");
  ASSERT_NE(dynamic_cast<TZMySQLResultSet*>(rows.get()), nullptr);
  // Typed reads work while the session is busy streaming the rows.
  int sum = 0;
  while (rows->Next()) sum += rows->GetInt(1);
  EXPECT_EQ(sum, 15);
  try {
    rows->MoveAbsolute(1);
    ADD_FAILURE() << "a streamed result moved back";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Operation is not allowed in FORWARD ONLY mode");
  }

  // A streamed result asked to scroll comes cached.
  statement->SetResultSetType(rtScrollInsensitive);
  rows = statement->ExecuteQuery("SELECT n FROM rs_five ORDER BY n");
  EXPECT_TRUE(rows->Last());
  EXPECT_EQ(rows->GetInt(1), 5);
  EXPECT_TRUE(rows->First());
  EXPECT_EQ(rows->GetInt(1), 1);
}

// The server fails the SELECT at its 5,000th row ("Subquery returns more
// than 1 row"), after the rows before it have gone out. However the rows
// are taken, reading must end in that error, never in a short result that
// looks complete; and the session must serve the next query.
TEST(MySQLResultSet, AnErrorInMidResultIsRaised) {
  constexpr char kFailsAt5000[] =
      "SELECT s.seq, (SELECT x.seq FROM seq_1_to_2 x WHERE s.seq = 5000) FROM seq_1_to_10000 s";
  const struct {
    const char* name;
    bool useResult;
    TZResultSetType type;
  } cases[] = {
      {"stored", false, rtScrollInsensitive},
      {"streamed", true, rtForwardOnly},
      {"streamed and cached", true, rtScrollInsensitive},
  };
  Ref<IZMySQLConnection> connection = Connect();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TStringList properties;
    properties.Add(c.useResult ? "useresult=true" : "useresult=false");
    Ref<IZStatement> statement = connection->CreateStatementWithProperties(&properties);
    statement->SetResultSetType(c.type);
    int rows = 0;
    try {
      Ref<IZResultSet> resultSet = statement->ExecuteQuery(kFailsAt5000);
      while (resultSet->Next()) ++rows;
      ADD_FAILURE() << "ended after " << rows << " rows without an error";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "SQL Error: Subquery returns more than 1 row");
      EXPECT_LT(rows, 5000);
    }
    EXPECT_EQ(QueryValue(connection.get(), "SELECT 42"), "42");
  }
}

TEST_F(MySQLFiveRows, MaxRowsStopsFetching) {
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetMaxRows(2);
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT n FROM rs_five ORDER BY n");
  EXPECT_TRUE(rows->Next());
  EXPECT_TRUE(rows->Next());
  EXPECT_FALSE(rows->Next());
  EXPECT_FALSE(rows->MoveAbsolute(3));
}

}  // namespace
