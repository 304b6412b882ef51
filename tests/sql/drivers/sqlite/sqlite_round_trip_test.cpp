// Values written through the SQLite driver and read by the sqlite3 tool, and
// values the tool wrote read through the driver: text, numbers, stamps, NULLs
// and binary values byte for byte, and no write lost to the transaction
// handling in auto-commit.

#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

#include "platform/rtl/datetime.h"
#include "sql/core/sysutils.h"
#include "tests/sql/drivers/round_trip.h"
#include "tests/support/file_reader.h"

namespace sqlite_test {
namespace {

using namespace round_trip;

class SQLiteRoundTrip : public SQLiteTest, public ::testing::WithParamInterface<Writer> {
protected:
  void SetUp() override {
    Tool("CREATE TABLE rt (id INTEGER PRIMARY KEY, txt VARCHAR(60), num REAL, stamp TIMESTAMP, bin BLOB);");
    connection = Connect();
  }
  Ref<IZSQLiteConnection> connection;
};

TEST_P(SQLiteRoundTrip, TheToolReadsWhatTheDriverWrote) {
  const std::vector<Values> cases = Cases();
  for (int id = 1; id <= static_cast<int>(cases.size()); ++id) {
    const Values& v = cases[id - 1];
    SCOPED_TRACE(v.label);
    Write(connection.get(), GetParam(), "rt", id, v);
    const std::string where = " FROM rt WHERE id = " + std::to_string(id) + ";";
    const std::string expected = (v.text ? std::string(*v.text) : "NULL") + "|" +
                                 (v.number ? Printed(*v.number) : "NULL") + "|" +
                                 (v.stamp ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *v.stamp) : "NULL") + "|" +
                                 (v.bytes ? "blob" : "null");
    EXPECT_EQ(Tool(".nullvalue NULL\nSELECT txt, iif(num IS NULL, 'NULL', printf('%.15g', num)), stamp, typeof(bin)" + where), expected);
    const auto file = folder_.path() / "bin";
    Tool("SELECT writefile('" + file.string() + "', bin)" + where);
    if (v.bytes) {
      EXPECT_TRUE(FileBytes(file) == *v.bytes) << "the tool read other bytes";
    }
    ExpectReadBack(connection.get(), "rt", id, v);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, SQLiteRoundTrip, ::testing::Values(Writer::Parameters, Writer::ResultSet),
                         [](const auto& info) { return info.param == Writer::Parameters ? "Parameters" : "ResultSet"; });

TEST_F(SQLiteTest, BinaryValuesTheToolWroteReadAsTheirBytes) {
  Tool("CREATE TABLE b (blob_col BLOB, bytes_col VARBINARY(10));"
       "INSERT INTO b VALUES (X'00FF254130', X'00FF254130'), (X'', X''), (NULL, NULL);");
  Ref<IZResultSet> rows = Connect()->CreateStatement()->ExecuteQuery("SELECT blob_col, bytes_col FROM b");
  const AnsiString bytes("\0\xFF%A0", 5);
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(Hex(rows->GetBlob(1)->GetString()), Hex(bytes));
  EXPECT_TRUE(rows->GetBytes(2) == StrToBytes(bytes));
  ASSERT_TRUE(rows->Next());
  EXPECT_FALSE(rows->IsNull(1));
  EXPECT_EQ(rows->GetBlob(1)->GetString(), "");
  ASSERT_TRUE(rows->Next());
  EXPECT_TRUE(rows->IsNull(1));
  EXPECT_TRUE(rows->IsNull(2));
}

// Rows after the first are read from the library's own values, the first
// from its texts: each value reads alike either way. A text longer than its
// column widens the column, one too long for a fixed row turns it into a
// stream, and the rows read before keep their values.
TEST_F(SQLiteTest, LaterRowsReadAsTheFirstRowDoes) {
  const std::string wide(9000, 'w');
  Tool("CREATE TABLE t (id INTEGER PRIMARY KEY, i INT, s SMALLINT, b TINYINT, l BIGINT, r REAL, d DOUBLE,"
       " v VARCHAR(3), x TEXT, dt DATE, tm TIME, ts DATETIME, bin BLOB, vb VARBINARY(4), bo BOOLEAN, m MONEY);"
       "INSERT INTO t (id) VALUES (1);"
       "INSERT INTO t VALUES (2, 2147483647, 40000, 300, 9007199254740993, 0.1, 1e308, 'ab', 'text',"
       " '2024-02-29', '25:30:00', '2024-02-29 23:59:58.125', X'00FF25', X'0102', 'Y', 19.99);"
       "INSERT INTO t VALUES (3, 2147483648, -1, -129, -9223372036854775808, 9e999, 5, 'abcdefgh', 7,"
       " '0000-00-00', '-01:00:00', '0000-00-00 00:00:00', 'plain', '', 1, 3);"
       "INSERT INTO t VALUES (4, 1.5, 'x', ' 12', '+7', '2.5e3', 'nan', 123456, 2.25,"
       " 'x', 'x', '1899-12-30', 42, 7, 'no', 'x');"
       "INSERT INTO t VALUES (5, NULL, NULL, NULL, NULL, NULL, NULL, '" + wide + "', NULL, NULL, NULL, NULL,"
       " NULL, NULL, NULL, NULL);"
       "INSERT INTO t VALUES (6, -5, 5, 5, 5, -0.0, 4.9e-324, 'abc', '', '2000-01-01', '00:00:00.5',"
       " '2000-01-01 00:00:00', X'', X'FF', 0, -1.5);");
  Ref<IZSQLiteConnection> connection = Connect();
  const char* kSelect = "SELECT i, s, b, l, r, d, v, x, dt, tm, ts, bin, vb, bo, m FROM t";
  Ref<IZResultSet> all = connection->CreateStatement()->ExecuteQuery(AnsiString(kSelect) + " ORDER BY id");
  Ref<IZResultSetMetadata> metadata = all->GetMetadata();
  const int columns = metadata->GetColumnCount();
  for (int id = 1; all->Next(); ++id) {
    Ref<IZResultSet> alone =
        connection->CreateStatement()->ExecuteQuery(AnsiString(kSelect) + " WHERE id = " + std::to_string(id));
    ASSERT_TRUE(alone->Next());
    for (int column = 1; column <= columns; ++column) {
      SCOPED_TRACE("row " + std::to_string(id) + ", column " + metadata->GetColumnLabel(column));
      ASSERT_EQ(all->IsNull(column), alone->IsNull(column));
      if (all->IsNull(column)) continue;
      switch (metadata->GetColumnType(column)) {
        case stByte:
        case stShort:
        case stInteger:
        case stLong: EXPECT_EQ(all->GetLong(column), alone->GetLong(column)); break;
        case stDouble:
        case stBigDecimal: EXPECT_EQ(Hex(FloatToSqlStr(all->GetBigDecimal(column))),
                                     Hex(FloatToSqlStr(alone->GetBigDecimal(column)))); break;
        case stDate:
        case stTime:
        case stTimestamp: EXPECT_EQ(all->GetTimestamp(column), alone->GetTimestamp(column)); break;
        default: EXPECT_EQ(Hex(all->GetString(column)), Hex(alone->GetString(column))); break;
      }
    }
  }
  EXPECT_EQ(metadata->GetColumnType(7), stAsciiStream);
  EXPECT_EQ(metadata->GetPrecision(7), 9000);
  ASSERT_TRUE(all->MoveAbsolute(3));
  EXPECT_EQ(all->GetString(7), "abcdefgh");
  ASSERT_TRUE(all->MoveAbsolute(5));
  EXPECT_EQ(all->GetString(7), AnsiString(wide));
}

// In auto-commit every statement is on the file at once, whatever the level:
// closing the connection or setting a level again loses nothing.
TEST_F(SQLiteTest, AutoCommitWritesSurviveCloseAndAChangeOfLevel) {
  Tool("CREATE TABLE t (a INTEGER);");
  Ref<IZSQLiteConnection> connection = Connect();
  connection->SetTransactIsolationLevel(tiSerializable);
  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (1)");
  EXPECT_EQ(Tool("SELECT count(*) FROM t;"), "1");
  connection->SetTransactIsolationLevel(tiReadCommitted);
  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (2)");
  connection->Rollback();
  connection->Close();
  EXPECT_EQ(Tool("SELECT group_concat(a) FROM t;"), "1,2");

  // Off and on again: the explicit transaction's rows are committed.
  connection->Open();
  connection->SetAutoCommit(false);
  connection->CreateStatement()->ExecuteUpdate("INSERT INTO t VALUES (3)");
  connection->SetAutoCommit(true);
  connection->Close();
  EXPECT_EQ(Tool("SELECT group_concat(a) FROM t;"), "1,2,3");
}

}  // namespace
}  // namespace sqlite_test
