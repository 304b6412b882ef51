// DB-Library values through FreeTDS against the responder: each column type
// read in the library's layouts or converted by it, nulls, Czech text both
// ways, 1 MiB text and image values, and the cursor's column checks.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "platform/rtl/datetime.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_result_set.h"

namespace dblib_test {
namespace {

// "Příliš žluťoučký kůň" in the system's Windows-1250 and in UTF-8.
constexpr char kCzech1250[] = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";
constexpr char kCzechUtf8[] = "P\xC5\x99\xC3\xADli\xC5\xA1 \xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88";

class ResultSetTest : public ResponderTest {
protected:
  void SetUp() override {
    ResponderTest::SetUp();
    connection = Open();
    connection->InternalExecuteStatement(
        "create table v (c char(10), i int, b bit, m money, s smallmoney, n tinyint, d decimal(12,3), "
        "l bigint, f float, t datetime)");
    connection->InternalExecuteStatement(
        "insert into v values ('ab', 7, 1, 12.34, -1.5, 200, 1234.567, 5000000000, 0.25, '2024-02-29 13:05:09.5')");
    connection->InternalExecuteStatement("insert into v values (null, null, null, null, null, null, null, null, "
                                         "null, null)");
    statement = connection->CreateStatement();
  }

  // The native cursor over the rows of sql, positioned on its first row.
  Ref<TZDBLibResultSet> Native(const AnsiString& sql) {
    connection->SendBatch(sql);
    connection->GetPlainDriver()->dbresults(connection->GetConnectionHandle());
    auto resultSet = MakeRef<TZDBLibResultSet>(statement, sql);
    EXPECT_TRUE(resultSet->Next());
    return resultSet;
  }

  Ref<IZDBLibConnection> connection;
  Ref<IZStatement> statement;
};

TEST_F(ResultSetTest, ValuesAreReadFromTheLibrarysLayouts) {
  Ref<IZResultSet> rows = statement->ExecuteQuery("select * from v");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "ab");
  EXPECT_EQ(rows->GetInt(2), 7);
  EXPECT_TRUE(rows->GetBoolean(3));
  EXPECT_DOUBLE_EQ(rows->GetDouble(4), 12.34);
  EXPECT_DOUBLE_EQ(rows->GetDouble(5), -1.5);
  EXPECT_EQ(rows->GetShort(6), 200);
  EXPECT_DOUBLE_EQ(rows->GetDouble(7), 1234.567);
  EXPECT_EQ(rows->GetLong(8), 5000000000LL);
  EXPECT_DOUBLE_EQ(rows->GetDouble(9), 0.25);
  EXPECT_NEAR(rows->GetTimestamp(10), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 500), 1e-8);
  EXPECT_EQ(rows->GetDate(10), EncodeDate(2024, 2, 29));
  EXPECT_NEAR(rows->GetTime(10), EncodeTime(13, 5, 9, 500), 1e-8);

  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  EXPECT_EQ(metadata->GetColumnType(4), stDouble);
  EXPECT_TRUE(metadata->IsCurrency(4));
  EXPECT_TRUE(metadata->IsCurrency(5));
  EXPECT_FALSE(metadata->IsCurrency(9));
  EXPECT_FALSE(metadata->IsSigned(6));
  EXPECT_TRUE(metadata->IsSigned(2));
  EXPECT_EQ(metadata->GetColumnType(10), stTimestamp);
}

TEST_F(ResultSetTest, NullsAreNullsInEveryType) {
  Ref<IZResultSet> rows = statement->ExecuteQuery("select * from v where i is null");
  ASSERT_TRUE(rows->Next());
  for (int column = 1; column <= 10; ++column) {
    EXPECT_TRUE(rows->IsNull(column)) << column;
    EXPECT_EQ(rows->GetString(column), "") << column;
    EXPECT_TRUE(rows->WasNull()) << column;
  }
  EXPECT_EQ(rows->GetInt(2), 0);
  EXPECT_EQ(rows->GetTimestamp(10), 0);
  EXPECT_FALSE(rows->Next());
}

TEST_F(ResultSetTest, CzechTextGoesBothWays) {
  connection->InternalExecuteStatement("create table cz (id int, name varchar(40), note text)");
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("insert into cz values (?, ?, ?)");
  insert->SetInt(1, 1);
  insert->SetString(2, kCzech1250);
  insert->SetString(3, kCzech1250);
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  // The server holds the text as the characters they are.
  EXPECT_EQ(Sqlite("select name || '|' || note from cz"), std::string(kCzechUtf8) + "|" + kCzechUtf8);
  Ref<IZResultSet> rows = statement->ExecuteQuery("select name, note, upper(name) from cz");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), kCzech1250);
  EXPECT_EQ(rows->GetString(2), kCzech1250);
}

TEST_F(ResultSetTest, MebibyteTextAndImageComeBackWhole) {
  connection->InternalExecuteStatement("create table big (id int, txt text, img image)");
  AnsiString text, image;
  for (int i = 0; text.size() < (1 << 20); ++i) text += "line " + std::to_string(i) + " " + kCzech1250 + "\r\n";
  text.resize(1 << 20);
  for (int i = 0; i < (1 << 20); ++i) image += static_cast<char>((i * 7 + i / 256) & 0xFF);
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("insert into big values (1, ?, ?)");
  insert->SetString(1, text);
  insert->SetBytes(2, TByteDynArray(image.begin(), image.end()));
  EXPECT_EQ(insert->ExecuteUpdatePrepared(), 1);
  EXPECT_EQ(Sqlite("select length(img), length(txt) > 1000000 from big"), "1048576|1");

  Ref<IZResultSet> rows = statement->ExecuteQuery("select txt, img from big");
  ASSERT_TRUE(rows->Next());
  EXPECT_TRUE(rows->GetString(1) == text);
  const TByteDynArray bytes = rows->GetBytes(2);
  EXPECT_TRUE(AnsiString(bytes.begin(), bytes.end()) == image);
  Ref<IZBlob> blob = rows->GetBlob(2);
  EXPECT_EQ(blob->GetLength(), 1 << 20);
  EXPECT_EQ(rows->GetMetadata()->GetColumnType(2), stBinaryStream);
}

TEST_F(ResultSetTest, OtherTypesAreConvertedByTheLibrary) {
  Ref<TZDBLibResultSet> rows = Native("select c, i, b, d, t from v");
  EXPECT_EQ(rows->GetString(2), "7");
  EXPECT_EQ(rows->GetInt(3), 1);
  EXPECT_EQ(rows->GetString(1), "ab");
  EXPECT_EQ(rows->GetInt(2), 7);
  EXPECT_EQ(rows->GetString(4), "1234.567");
  EXPECT_EQ(rows->GetInt(4), 1234);
  rows->Close();
}

TEST_F(ResultSetTest, ColumnsOutOfRangeAreRefused) {
  Ref<TZDBLibResultSet> rows = Native("select c, i from v");
  for (int column : {0, 3}) {
    try {
      rows->GetString(column);
      ADD_FAILURE() << column;
    } catch (const EZSQLException& error) {
      EXPECT_EQ(error.Message(), Format("Column with index %d is not accessable", {column}));
    }
  }
  EXPECT_THROW(rows->MoveAbsolute(1), EZSQLException);
  rows->Close();
}

TEST_F(ResultSetTest, CommandWithoutRowsHasNoResultSet) {
  connection->SendBatch("insert into v (i) values (1)");
  connection->GetPlainDriver()->dbresults(connection->GetConnectionHandle());
  try {
    MakeRef<TZDBLibResultSet>(statement, "insert");
    ADD_FAILURE() << "no exception";
  } catch (const EZSQLException& error) {
    EXPECT_EQ(error.Message(), "Cannot retrieve Resultset data");
  }
}

}  // namespace
}  // namespace dblib_test
