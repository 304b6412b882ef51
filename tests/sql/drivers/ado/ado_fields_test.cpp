// What a recordset's fields say about each column type a driver offers: the
// name, the ADO type code, the defined size and the value with its variant
// type, and the defined size that grows to the longest value held.

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "sql/core/sysutils.h"
#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;

struct TypeCase {
  const char* declaration;  // the column's type in CREATE TABLE
  const char* literal;      // the value inserted
  int type;
  int definedSize;
  TVarType varType;
  const char* shown;  // the value as Show writes it
};

AnsiString Show(const Variant& value) {
  const TVarType type = VarType(value);
  if (type == varNull) return "NULL";
  if (type == (varArray | varByte)) {
    AnsiString hex;
    for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i)
      hex += Format("%.2x", {static_cast<int>(VarArrayGet(value, i).AsInteger())});
    return hex;
  }
  switch (type) {
    case varDate: return FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", value.AsDateTime());
    case varBoolean: return value.AsBoolean() ? "true" : "false";
    case varSingle:
    case varDouble: return FloatToSqlStr(value.AsFloat());
    case varOleStr: return WideToAnsi(value.AsWideString());
    case varString: return value.AsString();
    default: return IntToStr(value.AsInteger());
  }
}

const std::vector<TypeCase> kSqliteTypes = {
    {"integer", "42", adInteger, 4, varInteger, "42"},
    {"smallint", "-3", adSmallInt, 2, varSmallint, "-3"},
    {"bigint", "9000000000", adBigInt, 8, varInt64, "9000000000"},
    {"varchar(20)", "'čaj'", adVarChar, 20, varString, "čaj"},
    {"char(5)", "'ab'", adVarChar, 5, varString, "ab"},
    {"text", "'dlouhý'", adLongVarChar, 65536, varString, "dlouhý"},
    {"double", "1.5", adDouble, 8, varDouble, "1.5"},
    {"real", "2.25", adDouble, 8, varDouble, "2.25"},
    {"numeric(10,2)", "12.34", adDouble, 8, varDouble, "12.34"},
    {"boolean", "1", adBoolean, 2, varBoolean, "true"},
    {"date", "'2024-01-02'", adDBDate, 6, varDate, "2024-01-02 00:00:00.000"},
    {"time", "'03:04:05'", adDBTime, 6, varDate, "1899-12-30 03:04:05.000"},
    {"timestamp", "'2024-01-02 03:04:05'", adDBTimeStamp, 16, varDate, "2024-01-02 03:04:05.000"},
    {"tinyint", "5", adTinyInt, 1, varShortInt, "5"},
    {"blob", "X'7879'", adBinary, 255, varArray | varByte, "7879"},
    {"varbinary(4)", "X'0102'", adVarBinary, 4, varArray | varByte, "0102"},
    {"integer", "NULL", adInteger, 4, varNull, "NULL"},
};

const std::vector<TypeCase> kPostgreSQLTypes = {
    {"integer", "42", adInteger, 4, varInteger, "42"},
    {"smallint", "-3", adSmallInt, 2, varSmallint, "-3"},
    {"bigint", "9000000000", adBigInt, 8, varInt64, "9000000000"},
    {"varchar(20)", "'čaj'", adVarChar, 20, varString, "čaj"},
    {"char(5)", "'ab'", adChar, 5, varString, "ab   "},
    {"text", "'dlouhý'", adLongVarChar, 8190, varString, "dlouhý"},
    {"double precision", "1.5", adDouble, 8, varDouble, "1.5"},
    {"real", "2.25", adSingle, 4, varSingle, "2.25"},
    {"numeric(10,2)", "12.34", adNumeric, 19, varString, "12.34"},
    {"boolean", "true", adBoolean, 2, varBoolean, "true"},
    {"date", "'2024-01-02'", adDBDate, 6, varDate, "2024-01-02 00:00:00.000"},
    {"time", "'03:04:05'", adDBTime, 6, varDate, "1899-12-30 03:04:05.000"},
    {"timestamp", "'2024-01-02 03:04:05.678'", adDBTimeStamp, 16, varDate, "2024-01-02 03:04:05.678"},
    {"timestamp", "'1890-06-01 18:00:00'", adDBTimeStamp, 16, varDate, "1890-06-01 18:00:00.000"},
    {"bytea", "'\\x00ff7879'", adLongVarBinary, 4, varArray | varByte, "00FF7879"},
    {"uuid", "'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'", adGUID, 16, varString,
     "{A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11}"},
    {"integer", "NULL", adInteger, 4, varNull, "NULL"},
};

class AdoFields : public testing::TestWithParam<Peer> {
protected:
  PeerDatabase db{GetParam()};
};

TEST_P(AdoFields, DescribeEveryTypeTheDriverOffers) {
  Ref<Connection15> connection = db.Connect();
  const std::vector<TypeCase>& cases = GetParam() == Peer::SQLite ? kSqliteTypes : kPostgreSQLTypes;
  const std::string table = db.Table("types");
  std::string columns, values;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    columns += (i ? ", c" : "c") + std::to_string(i) + " " + cases[i].declaration;
    values += (i ? ", " : "") + std::string(cases[i].literal);
  }
  Exec(connection.get(), "CREATE TABLE " + table + " (" + columns + ")");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (" + values + ")");
  auto rs = MakeRef<Recordset15>();
  rs->Open("SELECT * FROM " + table, connection);
  ASSERT_EQ(rs->Fields()->Count(), static_cast<int>(cases.size()));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const TypeCase& c = cases[i];
    Ref<Field> field = rs->Fields()->Item(static_cast<int>(i));
    EXPECT_EQ(field->Name(), "c" + std::to_string(i));
    EXPECT_EQ(field->Type(), c.type) << c.declaration;
    EXPECT_EQ(field->DefinedSize(), c.definedSize) << c.declaration;
    EXPECT_EQ(VarType(field->Value()), c.varType) << c.declaration;
    EXPECT_EQ(Show(field->Value()), c.shown) << c.declaration;
  }
}

TEST_P(AdoFields, DefinedSizeCoversTheLongestValueHeld) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = db.Table("sizes");
  Exec(connection.get(), "CREATE TABLE " + table + " (short_text varchar(3), long_text text)");
  const AnsiString longText(70000, 'x');
  if (GetParam() == Peer::SQLite) Exec(connection.get(), "INSERT INTO " + table + " VALUES ('abcdef', '" + longText + "')");
  else Exec(connection.get(), "INSERT INTO " + table + " VALUES ('abc', '" + longText + "')");
  auto rs = MakeRef<Recordset15>();
  rs->Open("SELECT short_text, long_text FROM " + table, connection);
  // SQLite keeps text longer than declared; the size follows it.
  EXPECT_EQ(rs->Fields()->Item(0)->DefinedSize(), GetParam() == Peer::SQLite ? 6 : 3);
  EXPECT_EQ(rs->Fields()->Item(1)->DefinedSize(), 70000);
  EXPECT_EQ(rs->Fields()->Item("LONG_TEXT")->Value().AsString(), longText);
}

TEST_P(AdoFields, PropertiesNameTheBaseColumn) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = db.Table("props");
  Exec(connection.get(), "CREATE TABLE " + table + " (id integer)");
  auto rs = MakeRef<Recordset15>();
  rs->Open("SELECT id, 1 + 1 AS two FROM " + table, connection);
  Ref<Properties> properties = rs->Fields()->Item(0)->Properties();
  EXPECT_EQ(properties->Count(), 3);
  EXPECT_EQ(properties->Item("basecolumnname")->Value().AsString(), "id");
  EXPECT_FALSE(properties->Item("ISAUTOINCREMENT")->Value().AsBoolean());
  EXPECT_EQ(properties->Item(1)->Name(), "BASETABLENAME");
  EXPECT_NE(ErrorOf([&] { properties->Item("NOSUCH"); }), "<nothing raised>");
  EXPECT_NE(ErrorOf([&] { rs->Fields()->Item(2); }), "<nothing raised>");
}

INSTANTIATE_TEST_SUITE_P(Peers, AdoFields, testing::Values(Peer::SQLite, Peer::PostgreSQL), PeerName);

}  // namespace
