// Values written through the SQLite driver and read by the sqlite3 tool, and
// values the tool wrote read through the driver: text, numbers, stamps, NULLs
// and binary values byte for byte, and no write lost to the transaction
// handling in auto-commit.

#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

#include "platform/rtl/datetime.h"
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
