// The DB-Library result set on the fake library: how FreeTDS's layouts are
// read, when the library converts, the column descriptions, the column
// check, and a dead process.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_result_set.h"

namespace dblib_test {
namespace {

constexpr char kMsSqlUrl[] = "zdbc:mssql://127.0.0.1:1433/master?UID=sa;PWD=x";

class ResultSetTest : public FakeLibraryTest {
protected:
  void SetUp() override {
    FakeLibraryTest::SetUp();
    connection = Connect(kMsSqlUrl);
    connection->Open();
    connection->InternalExecuteStatement(
        "create table v (c char(10), i int, b bit, m money, s smallmoney, n tinyint, d decimal(12,3), "
        "l bigint, f float, t datetime)");
    connection->InternalExecuteStatement(
        "insert into v values ('ab', 7, 1, 12.34, -1.5, 200, 1234.567, 5000000000, 0.25, '2024-02-29 13:05:09')");
    connection->InternalExecuteStatement("insert into v values ('          ', null, 0, null, 0, 0, 0, -1, 0, null)");
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
  EXPECT_NEAR(rows->GetTimestamp(10), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0), 1e-8);

  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "");
  EXPECT_FALSE(rows->WasNull());
  EXPECT_EQ(rows->GetInt(2), 0);
  EXPECT_TRUE(rows->WasNull());
  EXPECT_EQ(rows->GetLong(8), -1);

  Ref<IZResultSetMetadata> metadata = rows->GetMetadata();
  EXPECT_EQ(metadata->GetColumnType(4), stDouble);
  EXPECT_TRUE(metadata->IsCurrency(4));
  EXPECT_TRUE(metadata->IsCurrency(5));
  EXPECT_FALSE(metadata->IsCurrency(9));
  EXPECT_FALSE(metadata->IsSigned(6));
  EXPECT_TRUE(metadata->IsSigned(2));
  EXPECT_EQ(metadata->GetPrecision(1), 10);
}

TEST_F(ResultSetTest, OtherTypesAreConvertedByTheLibrary) {
  Ref<TZDBLibResultSet> rows = Native("select c, i, b from v");
  ForgetCalls();
  EXPECT_EQ(rows->GetString(2), "7");
  EXPECT_EQ(rows->GetInt(3), 1);
  EXPECT_EQ(rows->GetString(1), "ab");
  EXPECT_EQ(rows->GetInt(2), 7);
  EXPECT_EQ(Calls("dbconvert"), (std::vector<std::string>{"dbconvert(56, 4, 47, 4001)", "dbconvert(50, 1, 56, 4)"}));
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

TEST_F(ResultSetTest, DeadMsSqlProcessEndsTheRowsWithoutAskingTheLibrary) {
  Ref<TZDBLibResultSet> rows = Native("select c from v");
  Ref<IZDBLibPlainDriver> plain = connection->GetPlainDriver();
  DBLibProcess* handle = connection->GetConnectionHandle();
  plain->dbcmd(handle, "shutdown with nowait");
  plain->dbsqlexec(handle);
  DBLibErrors().clear();
  ForgetCalls();
  EXPECT_FALSE(rows->Next());
  EXPECT_EQ(Calls(), std::vector<std::string>{"dbdead()"});
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
