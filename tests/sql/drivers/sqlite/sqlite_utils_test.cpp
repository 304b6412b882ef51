// The SQLite driver's shared helpers: declared types to column types, the
// error check, and the escaping of binary values in text literals.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/sqlite/sqlite_utils.h"
#include "tests/sql/core/log_recorder.h"

namespace {

TEST(SQLiteTypes, DeclaredTypesMapWithTheirPrecisionAndDecimals) {
  struct {
    const char* declared;
    TZSQLType type;
    int precision;
    int decimals;
  } const cases[] = {
      {"varchar(20)", stString, 20, 0},    {"VARCHAR", stString, 255, 0},     {"", stString, 255, 0},
      {"VARCHAR (10)", stString, 10, 0},   {"INT(2)", stByte, 2, 0},          {"INTEGER(4)", stShort, 4, 0},
      {"INT(9)", stInteger, 9, 0},         {"INT(11)", stLong, 11, 0},        {"INTEGER", stInteger, 0, 0},
      {"numeric(10,2)", stDouble, 10, 2},  {"MONEY", stBigDecimal, 0, 0},     {"DATETIME", stTimestamp, 0, 0},
      {"LONGTEXT", stAsciiStream, 0, 0},   {"MEDIUMBLOB", stBinaryStream, 0, 0}, {"BIGINT", stLong, 0, 0},
      {"boolean", stBoolean, 0, 0},        {"TINYINT", stByte, 0, 0},         {"SMALLINT", stShort, 0, 0},
      {"MEDIUMINT", stInteger, 0, 0},      {"real", stDouble, 0, 0},          {"FLOAT(8)", stDouble, 8, 0},
      {"DOUBLE PRECISION", stDouble, 0, 0}, {"char(3)", stString, 3, 0},      {"VARBINARY(16)", stBytes, 16, 0},
      {"DATE", stDate, 0, 0},              {"TIME", stTime, 0, 0},            {"TIMESTAMP", stTimestamp, 0, 0},
      {"CLOB", stAsciiStream, 0, 0},       {"geometry", stString, 255, 0},    {"VARCHAR(x)", stString, 255, 0},
  };
  for (const auto& c : cases) {
    int precision = -1, decimals = -1;
    EXPECT_EQ(ConvertSQLiteTypeToSQLType(c.declared, precision, decimals), c.type) << c.declared;
    EXPECT_EQ(precision, c.precision) << c.declared;
    EXPECT_EQ(decimals, c.decimals) << c.declared;
  }
}

TEST(SQLiteEscaping, BinaryBytesTravelAsBlobLiteralsAndReadFromTheStoredForm) {
  struct {
    AnsiString bytes;
    AnsiString stored;
    AnsiString literal;
  } const cases[] = {
      {AnsiString("a\0b", 3), "a%0b", "X'610062'"},
      {"50%", "50%%", "X'353025'"},
      {"it's", "it's", "X'69742773'"},
      {"", "", "X''"},
      {AnsiString("\0%'\xFF", 4), "%0%%'\xFF", "X'002527FF'"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeSQLiteBlob(c.bytes), c.literal);
    EXPECT_EQ(EscapeSQLiteBytes(c.bytes), c.stored);
    EXPECT_EQ(DecodeSQLiteString(c.stored), c.bytes) << c.literal;
  }
  EXPECT_EQ(DecodeSQLiteString("ab%"), AnsiString("ab\0", 3));
  EXPECT_EQ(DecodeSQLiteString("%x%%"), "x%");
}

class SQLiteErrorCheck : public ::testing::Test {
protected:
  void SetUp() override { plain->Initialize(); }
  Ref<IZSQLitePlainDriver> plain = MakeRef<TZSQLite3PlainDriver>();
};

TEST_F(SQLiteErrorCheck, SuccessCodesReleaseTheMessageAndRaiseNothing) {
  char* errMsg = nullptr;
  Psqlite handle = plain->Open(":memory:", 0, errMsg);
  ASSERT_NE(handle, nullptr);
  for (int code : {0, 100, 101}) {
    // A message the library allocated; the sanitizer run sees a leak if it stays.
    ASSERT_NE(plain->Execute(handle, "no such statement", nullptr, nullptr, errMsg), 0);
    ASSERT_NE(errMsg, nullptr);
    EXPECT_NO_THROW(CheckSQLiteError(plain.get(), code, errMsg, lcExecute, "x"));
  }
  plain->Close(handle);
}

TEST_F(SQLiteErrorCheck, AnErrorIsRaisedAndLoggedWithItsCode) {
  ScopedLog log;
  try {
    CheckSQLiteError(plain.get(), 1, nullptr, lcExecute, "SELECT 1");
    FAIL() << "no exception";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: SQL logic error or missing database");
    EXPECT_EQ(e.ErrorCode(), 1);
  }
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Message, "SELECT 1");
  EXPECT_EQ(log->Events[0].ErrorCode, 1);
  EXPECT_EQ(log->Events[0].Protocol, "sqlite-3");

  char* errMsg = nullptr;
  Psqlite handle = plain->Open(":memory:", 0, errMsg);
  int code = plain->Execute(handle, "SELEC 1", nullptr, nullptr, errMsg);
  try {
    CheckSQLiteError(plain.get(), code, errMsg, lcExecute, "SELEC 1");
    FAIL() << "no exception";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: near \"SELEC\": syntax error");
    EXPECT_EQ(e.ErrorCode(), 1);
  }
  plain->Close(handle);
}

}  // namespace
