// The descriptor areas on the embedded engine: the area's layout and column
// types, parameter setters bound into INSERTs (isql-fb shows what was
// stored), and getters reading rows that isql-fb wrote.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;
using InterbaseSqlda = AttachedTest;

// The area is the client's XSQLDA: 24 bytes of header, 160 per variable.
static_assert(sizeof(XSQLVAR) == 160);
static_assert(XSQLDA_LENGTH(3) == 504);

constexpr char kTypesTable[] =
    "CREATE TABLE TY (SM SMALLINT, I INTEGER, BI BIGINT, N4 NUMERIC(4,2), N9 NUMERIC(9,2), N18 NUMERIC(18,4), "
    "N185 NUMERIC(18,5), F FLOAT, DP DOUBLE PRECISION, C CHAR(10), V VARCHAR(20), D DATE, TI TIME, TS TIMESTAMP, "
    "BT BLOB SUB_TYPE 1, BB BLOB SUB_TYPE 0, BO BOOLEAN);\n";

TEST_F(InterbaseSqlda, AnAreaGrowsToTheDescribedColumns) {
  Attach("CREATE TABLE T3 (A INTEGER, B VARCHAR(5), C DOUBLE PRECISION);\n");
  Ref<TZResultSQLDA> area = ResultArea();
  EXPECT_EQ(area->GetData()->version, SQLDA_VERSION1);
  EXPECT_EQ(area->GetData()->sqln, 0);
  EXPECT_EQ(XSQLDALength(area->GetData()->sqln), 24);
  Prepared select(this, "SELECT A, B AS BEE, C FROM T3");
  PrepareResultSqlData(Plain(), Dialect(), "", select.handle, area.get());
  EXPECT_EQ(area->GetData()->sqln, 3);
  EXPECT_EQ(area->GetFieldCount(), 3);
  EXPECT_EQ(XSQLDALength(area->GetData()->sqln), 504);
  EXPECT_EQ(area->GetFieldSqlName(1), "B");
  EXPECT_EQ(area->GetFieldAliasName(1), "BEE");
  EXPECT_EQ(area->GetFieldRelationName(1), "T3");
  EXPECT_EQ(area->GetFieldIndex("bee"), 1);
  EXPECT_THROW(area->GetFieldIndex("BE"), Exception);
  try {
    area->GetIbSqlType(3);
    ADD_FAILURE() << "read past the area";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Out of Range.");
  }
}

TEST_F(InterbaseSqlda, ColumnTypesOfEveryKind) {
  Attach(std::string(kTypesTable) + "INSERT INTO TY (BO) VALUES (TRUE);\n");
  Prepared select(this, "SELECT * FROM TY");
  Ref<TZResultSQLDA> area = ResultArea();
  PrepareResultSqlData(Plain(), Dialect(), "", select.handle, area.get());
  const TZSQLType expected[] = {stShort,  stInteger, stLong,  stDouble, stDouble,      stDouble,
                                stBigDecimal, stDouble, stDouble, stString, stString,      stDate,
                                stTime,   stTimestamp, stAsciiStream, stBinaryStream, stBoolean};
  ASSERT_EQ(area->GetFieldCount(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < area->GetFieldCount(); ++i)
    EXPECT_EQ(area->GetFieldSqlType(i), expected[i]) << area->GetFieldSqlName(i);
  EXPECT_EQ(area->GetFieldScale(3), 2);
  EXPECT_TRUE(area->IsBlob(14));
  EXPECT_TRUE(area->IsNullable(0));
  EXPECT_EQ(area->GetIbSqlType(16), SQL_BOOLEAN);
  // A BOOLEAN gets a buffer too, or no row could be fetched.
  Execute(select);
  ASSERT_TRUE(Fetch(select, area.get()));
  EXPECT_TRUE(area->GetBoolean(16));
}

// Each case binds one value into column Col of a new row; isql-fb then shows
// the row's text.
struct SetterCase {
  const char* column;
  std::function<void(IZParamsSQLDA*)> set;
  const char* stored;
};

TEST_F(InterbaseSqlda, SettersStoreWhatTheServerShows) {
  Attach(
      "CREATE TABLE P (ID INTEGER, N18 NUMERIC(18,4), N9 NUMERIC(9,2), C CHAR(10), V VARCHAR(20), D DATE, "
      "TS TIMESTAMP, TI TIME, BB BLOB SUB_TYPE 0, BO BOOLEAN, SM SMALLINT, I INTEGER);\n");
  const TDateTime moment = EncodeDate(2007, 3, 4) + EncodeTime(5, 6, 7, 890);
  const SetterCase cases[] = {
      // Decimals go to the nearest unit of the column's own scale.
      {"N18", [](IZParamsSQLDA* a) { a->UpdateBigDecimal(0, 12.34567L); }, "12.3457"},
      {"N9", [](IZParamsSQLDA* a) { a->UpdateBigDecimal(0, 19.99L); }, "19.99"},
      {"N9", [](IZParamsSQLDA* a) { a->UpdateBigDecimal(0, -0.29L); }, "-0.29"},
      {"I", [](IZParamsSQLDA* a) { a->UpdateBigDecimal(0, 41.6L); }, "42"},
      {"N9", [](IZParamsSQLDA* a) { a->UpdateBoolean(0, true); }, "1.00"},
      {"N9", [](IZParamsSQLDA* a) { a->UpdateString(0, "12.5"); }, "12.50"},
      {"N9", [](IZParamsSQLDA* a) { a->UpdateDouble(0, -3.25); }, "-3.25"},
      {"C", [](IZParamsSQLDA* a) { a->UpdateInt(0, 7); }, "7"},
      {"C", [](IZParamsSQLDA* a) { a->UpdateString(0, "abc"); }, "abc"},
      {"C", [](IZParamsSQLDA* a) { a->UpdateBoolean(0, true); }, "1"},
      {"V", [](IZParamsSQLDA* a) { a->UpdateString(0, "abc"); }, "abc"},
      {"V", [](IZParamsSQLDA* a) { a->UpdateString(0, ""); }, ""},
      {"V", [](IZParamsSQLDA* a) { a->UpdateBytes(0, {'x', 'y'}); }, "xy"},
      {"D", [](IZParamsSQLDA* a) { a->UpdateString(0, "2007-03-04"); }, "2007-03-04"},
      {"D", [&](IZParamsSQLDA* a) { a->UpdateDate(0, moment); }, "2007-03-04"},
      {"TS", [&](IZParamsSQLDA* a) { a->UpdateTimestamp(0, moment); }, "2007-03-04 05:06:07.8900"},
      {"TI", [&](IZParamsSQLDA* a) { a->UpdateTime(0, moment); }, "05:06:07.8900"},
      {"BB", [](IZParamsSQLDA* a) { a->UpdateBytes(0, {'q', 'r', 's'}); }, "qrs"},
      {"BB", [](IZParamsSQLDA* a) { a->UpdateString(0, "text"); }, "text"},
      {"BO", [](IZParamsSQLDA* a) { a->UpdateBoolean(0, true); }, "TRUE"},
      {"SM", [](IZParamsSQLDA* a) { a->UpdateLong(0, -12); }, "-12"},
      {"I", [](IZParamsSQLDA* a) { a->UpdateString(0, " 42"); }, "42"},
      {"I", [](IZParamsSQLDA* a) { a->UpdateNull(0, true); }, "null"},
      {"I", [](IZParamsSQLDA* a) { a->UpdateNull(0, true); a->UpdateInt(0, 5); }, "null"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const AnsiString sql = Format("INSERT INTO P (ID, %s) VALUES (%d, ?)", {cases[i].column, static_cast<int>(i)});
    Prepared insert(this, sql);
    Ref<TZParamsSQLDA> params = ParamsArea();
    DescribeParameters(insert, params.get(), 1);
    params->UpdateNull(0, false);
    cases[i].set(params.get());
    Execute(insert, params.get());
  }
  std::string query = "SELECT 'v' || ID || '=' || COALESCE(TRIM(CASE ID";
  for (std::size_t i = 0; i < std::size(cases); ++i)
    query += " WHEN " + std::to_string(i) + " THEN CAST(" + cases[i].column + " AS VARCHAR(40))";
  query += " END), 'null') || ';' FROM P;\n";
  const std::string output = Outside(query);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string row = "v" + std::to_string(i) + "=" + cases[i].stored + ";";
    EXPECT_NE(output.find(row), std::string::npos) << cases[i].column << " " << row << "\n" << output;
  }
}

TEST_F(InterbaseSqlda, SetterShapesInTheArea) {
  Attach("CREATE TABLE P (C CHAR(10), V VARCHAR(20), N9 NUMERIC(9,2));\n");
  Prepared insert(this, "INSERT INTO P VALUES (?, ?, ?)");
  Ref<TZParamsSQLDA> params = ParamsArea();
  DescribeParameters(insert, params.get(), 3);
  for (int i = 0; i < 3; ++i) params->UpdateNull(i, false);
  TZIbXSQLVar* vars = params->GetData()->sqlvar;
  params->UpdateInt(0, 7);
  EXPECT_EQ(vars[0].sqltype, SQL_LONG + 1);
  EXPECT_EQ(vars[0].sqllen, 4);
  std::int32_t seven;
  std::memcpy(&seven, vars[0].sqldata, 4);
  EXPECT_EQ(seven, 7);
  params->UpdateString(1, "abc");
  EXPECT_EQ(vars[1].sqllen, 5);
  EXPECT_EQ(std::string(vars[1].sqldata, 5), std::string("\x03\x00" "abc", 5));
  params->UpdateBigDecimal(2, 12.34567L);
  std::int64_t scaled;
  std::memcpy(&scaled, vars[2].sqldata, 8);
  EXPECT_EQ(scaled, 1235);
  EXPECT_EQ(vars[2].sqlscale, -2);
  // A null parameter takes no blob identifier.
  params->UpdateNull(0, true);
  try {
    params->UpdateQuad(0, ISC_QUAD{1, 2});
    ADD_FAILURE() << "a quad went into a null parameter";
  } catch (const EZIBConvertError& e) {
    EXPECT_EQ(e.Message(), "Unsupported data type");
  }
  // A text the 16-bit length cannot describe is refused, not wrapped.
  EXPECT_THROW(params->UpdateString(1, AnsiString(32766, 'x')), EZIBConvertError);
  EXPECT_EQ(vars[1].sqllen, 5);
}

TEST_F(InterbaseSqlda, RefusedValuesLeaveTheAreaAndTheTableAlone) {
  Attach("CREATE TABLE P (SM SMALLINT, I INTEGER);\n");
  Prepared insert(this, "INSERT INTO P VALUES (?, ?)");
  Ref<TZParamsSQLDA> params = ParamsArea();
  DescribeParameters(insert, params.get(), 2);
  params->UpdateNull(0, false);
  params->UpdateNull(1, false);
  params->UpdateInt(1, 9);
  const TZIbXSQLDA* area = params->GetData();
  const TZIbXSQLVar before = area->sqlvar[1];
  const std::string data(before.sqldata, 4);
  try {
    params->UpdateString(0, "5");
    ADD_FAILURE() << "a text went into a SMALLINT";
  } catch (const EZIBConvertError& e) {
    EXPECT_EQ(e.Message(), "Convertion error");
  }
  EXPECT_THROW(params->UpdateString(1, "9x"), EConvertError);
  EXPECT_EQ(std::memcmp(&area->sqlvar[1], &before, sizeof before), 0);
  EXPECT_EQ(std::string(area->sqlvar[1].sqldata, 4), data);
  EXPECT_EQ(*area->sqlvar[1].sqlind, 0);
  const std::string output = Outside("SELECT 'rows:' || COUNT(*) FROM P;\n");
  EXPECT_NE(output.find("rows:0"), std::string::npos) << output;
}

constexpr char kGetterRow[] =
    "CREATE TABLE G (N9 NUMERIC(9,2), C CHAR(10), BI BIGINT, NI INTEGER, BO BOOLEAN, TS TIMESTAMP, "
    "N18 NUMERIC(18,4), F FLOAT, V VARCHAR(10), S18 NUMERIC(18,18));\n"
    "INSERT INTO G VALUES (123.45, 'abc', 4294967301, NULL, TRUE, '2007-03-04 05:06:07.890', "
    "-12345678901234.5678, 1.5, '17', -0.000000000000000005);\n";

TEST_F(InterbaseSqlda, GettersConvertTheFetchedRow) {
  Attach(kGetterRow);
  const AnsiString sql = "SELECT * FROM G";
  Prepared select(this, sql);
  Ref<TZResultSQLDA> row = Row(select, sql);
  // NUMERIC(9,2): an INTEGER holding 12345 at scale -2.
  EXPECT_EQ(row->GetIbSqlType(0), SQL_LONG);
  EXPECT_DOUBLE_EQ(row->GetDouble(0), 123.45);
  EXPECT_EQ(row->GetLong(0), 123);
  EXPECT_EQ(row->GetString(0), "123.45");
  EXPECT_TRUE(row->GetBoolean(0));
  EXPECT_EQ(row->GetValue(0).AsFloat(), 123.45);
  EXPECT_EQ(row->GetString(1), "abc");
  EXPECT_STREQ(row->GetPChar(1), "abc");
  // A BIGINT beyond 32 bits.
  EXPECT_EQ(row->GetLong(2), 4294967301);
  EXPECT_EQ(row->GetInt(2), 5);
  EXPECT_EQ(row->GetString(2), "4294967301");
  EXPECT_EQ(row->GetValue(2).Type(), varInt64);
  EXPECT_EQ(row->GetValue(2).AsInteger(), 4294967301);
  // A null INTEGER.
  EXPECT_TRUE(row->IsNull(3));
  EXPECT_EQ(row->GetString(3), "");
  EXPECT_EQ(row->GetLong(3), 0);
  EXPECT_TRUE(VarIsEmpty(row->GetValue(3)));
  EXPECT_THROW(row->GetQuad(3), EZIBConvertError);
  // BOOLEAN.
  EXPECT_EQ(row->GetString(4), "YES");
  EXPECT_TRUE(row->GetBoolean(4));
  EXPECT_EQ(row->GetLong(4), 1);
  EXPECT_TRUE(row->GetValue(4).AsBoolean());
  // The fraction of the second is read too.
  EXPECT_NEAR(row->GetTimestamp(5), EncodeDate(2007, 3, 4) + EncodeTime(5, 6, 7, 890), 1e-9);
  EXPECT_EQ(row->GetDate(5), EncodeDate(2007, 3, 4));
  EXPECT_NEAR(row->GetTime(5), EncodeTime(5, 6, 7, 890), 1e-9);
  // Eighteen digits keep every one of them as text.
  EXPECT_EQ(row->GetString(6), "-12345678901234.5678");
  EXPECT_EQ(row->GetLong(6), -12345678901234);
  EXPECT_EQ(row->GetString(7), "1.5");
  EXPECT_EQ(row->GetInt(8), 17);
  EXPECT_DOUBLE_EQ(row->GetDouble(8), 17);
  // All eighteen decimals are within reach of the scale table.
  EXPECT_EQ(row->GetString(9), "-0.000000000000000005");
  EXPECT_DOUBLE_EQ(row->GetDouble(9), -5e-18);
  EXPECT_EQ(ScaleFactor(-18), 1000000000000000000);
  EXPECT_THROW(ScaleFactor(-19), ERangeError);
  EXPECT_TRUE(row->GetBytes(1).empty());
  try {
    row->GetQuad(0);
    ADD_FAILURE() << "an INTEGER read as a quad";
  } catch (const EZIBConvertError& e) {
    EXPECT_EQ(e.Message(), "Unsupported data type 496");
  }
  try {
    row->GetTimestamp(1);
    ADD_FAILURE() << "a text read as a day number";
  } catch (const EConvertError&) {
  }
  try {
    row->GetLong(5);
    ADD_FAILURE() << "a timestamp read as a number";
  } catch (const EZIBConvertError& e) {
    EXPECT_EQ(e.Message(), "Conversion error for field \"TS\" to SQLType \"SQL_TIMESTAMP\"");
  }
}

TEST_F(InterbaseSqlda, ADialectOneNumericIsADoubleWithAScale) {
  Attach("CREATE TABLE D1 (N NUMERIC(15,2), B BOOLEAN);\nINSERT INTO D1 VALUES (-3.7, FALSE);\n", "dialect=1",
         "SET SQL DIALECT 1;\n");
  const AnsiString sql = "SELECT N, B FROM D1";
  Prepared select(this, sql);
  Ref<TZResultSQLDA> row = Row(select, sql);
  EXPECT_EQ(row->GetIbSqlType(0), SQL_DOUBLE);
  EXPECT_EQ(row->GetFieldScale(0), 2);
  EXPECT_FALSE(row->GetBoolean(0));
  EXPECT_EQ(row->GetLong(0), -3);
  EXPECT_EQ(row->GetString(0), "-3.7");
  EXPECT_EQ(row->GetString(1), "NO");
  EXPECT_FALSE(row->GetValue(1).AsBoolean());
}

}  // namespace
