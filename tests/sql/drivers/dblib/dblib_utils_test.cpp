// The DB-Library type translations and the literals of parameter values.

#include <gtest/gtest.h>

#include <cstring>

#include "sql/core/dbc/blobs.h"
#include "platform/rtl/datetime.h"
#include "sql/drivers/dblib/dblib_result_set.h"
#include "sql/drivers/dblib/dblib_utils.h"

namespace {

TEST(DBLibTypes, OdbcCodesMapOntoColumnTypes) {
  const std::vector<std::pair<std::int16_t, TZSQLType>> cases = {
      {1, stString},        {12, stString},       {-8, stString},       {-9, stString},
      {2, stDouble},        {3, stDouble},        {6, stDouble},        {7, stDouble},
      {8, stDouble},        {4, stInteger},       {5, stShort},         {-6, stShort},
      {11, stTimestamp},    {93, stTimestamp},    {-1, stAsciiStream},  {-10, stAsciiStream},
      {-3, stBinaryStream}, {-4, stBinaryStream}, {-11, stBinaryStream}, {-2, stBytes},
      {-7, stBoolean},      {-5, stUnknown},      {99, stUnknown}};
  for (auto [code, type] : cases) EXPECT_EQ(ConvertODBCToSqlType(code), type) << code;
}

// Every code keeps its values: decimals as doubles, eight-byte integers as
// longs, and codes without a column type of their own as text.
TEST(DBLibTypes, LibraryCodesMapOntoTypesThatKeepTheirValues) {
  const std::vector<std::pair<std::int16_t, TZSQLType>> cases = {
      {34, stBinaryStream}, {45, stBinaryStream}, {35, stAsciiStream}, {47, stString},
      {48, stShort},        {52, stShort},        {50, stBoolean},     {56, stInteger},
      {58, stTimestamp},    {61, stTimestamp},    {59, stDouble},      {60, stDouble},
      {62, stDouble},       {122, stDouble},      {106, stDouble},     {108, stDouble},
      {127, stLong},        {36, stString},       {99, stString},      {0, stString}};
  for (auto [code, type] : cases) EXPECT_EQ(ConvertDBLibToSqlType(code), type) << code;
}

TEST(DBLibTypes, ColumnTypesMapOntoLibraryCodes) {
  const std::vector<std::pair<TZSQLType, int>> cases = {
      {stBoolean, 50},   {stByte, 48},       {stShort, 52},       {stInteger, 56},        {stLong, 62},
      {stFloat, 62},     {stDouble, 62},     {stBigDecimal, 62},  {stString, 47},         {stBytes, 45},
      {stDate, 61},      {stTime, 61},       {stTimestamp, 61},   {stAsciiStream, 35},    {stUnicodeStream, 34},
      {stBinaryStream, 34}, {stUnknown, -1}, {stUnicodeString, -1}};
  for (auto [type, code] : cases) EXPECT_EQ(ConvertSqlTypeToDBLibType(type), code) << int(type);
}

TZVariant Text(const AnsiString& text) {
  TZVariant value;
  DefaultVarManager()->SetAsString(value, text);
  return value;
}
TZVariant Integer(std::int64_t number) {
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, number);
  return value;
}
TZVariant Float(long double number) {
  TZVariant value;
  DefaultVarManager()->SetAsFloat(value, number);
  return value;
}
TZVariant Stamp(TDateTime stamp) {
  TZVariant value;
  DefaultVarManager()->SetAsDateTime(value, stamp);
  return value;
}
TZVariant Boolean(bool flag) {
  TZVariant value;
  DefaultVarManager()->SetAsBoolean(value, flag);
  return value;
}
TZVariant Wide(const WideString& text) {
  TZVariant value;
  DefaultVarManager()->SetAsUnicodeString(value, text);
  return value;
}
TZVariant Blob(const AnsiString& bytes) {
  auto blob = MakeRef<TZAbstractBlob>();
  if (!bytes.empty()) blob->SetString(bytes);
  TZVariant value;
  DefaultVarManager()->SetAsInterface(value, Ref<IZInterface>(blob));
  return value;
}

struct LiteralCase {
  TZVariant value;
  TZSQLType type;
  AnsiString literal;
};

TEST(DBLibLiterals, ParameterValuesBecomeTransactSqlLiterals) {
  const TDateTime stamp = EncodeDate(2007, 3, 5) + EncodeTime(13, 5, 9, 7);
  const std::vector<LiteralCase> cases = {
      {NullVariant(), stString, "NULL"},
      {NullVariant(), stInteger, "NULL"},
      {Boolean(true), stBoolean, "1"},
      {Boolean(false), stBoolean, "0"},
      {Integer(-42), stInteger, "-42"},
      {Float(2.5), stDouble, "2.5"},
      // A text handed in as a number is written from its number, never raw.
      {Text("7"), stLong, "7"},
      {Text("abc"), stString, "'abc'"},
      {Text("O'Neil"), stString, "'O''Neil'"},
      {Wide(u"O'Neil"), stUnicodeString, "'O''Neil'"},
      {Text("\x01\xAB"), stBytes, "0x01AB"},
      {Text(""), stBytes, "NULL"},
      {Stamp(stamp), stDate, "'20070305'"},
      {Stamp(stamp), stTime, "'13:05:09:007'"},
      {Stamp(stamp), stTimestamp, "'20070305 13:05:09:007'"},
      {Blob(AnsiString("it's\0x", 6)), stAsciiStream, "'it''sx'"},
      {Blob(""), stAsciiStream, "NULL"},
      {Blob("\xFF\x10"), stBinaryStream, "0xFF10"},
      {Blob(""), stBinaryStream, "NULL"},
      {Text("abc"), stUnknown, "NULL"}};
  for (const LiteralCase& c : cases) EXPECT_EQ(PrepareSQLParameter(c.value, c.type), c.literal) << c.literal;
}


// The library's day count and three-hundredths of a second, before and after
// TDateTime's day 0 (1899-12-30, day -2 of the library); before it a
// TDateTime counts its time of day away from zero.
TEST(DBLibDateTimes, LibraryValuesReadAsTheirMomentOnEitherSideOfDayZero) {
  struct {
    DBINT days, ticks;
    TDateTime expected;
  } const cases[] = {
      {-18200, (5 * 3600 + 6 * 60 + 7) * 300, EncodeDate(1850, 3, 4) - EncodeTime(5, 6, 7, 0)},
      {-3, 12 * 3600 * 300, EncodeDate(1899, 12, 29) - EncodeTime(12, 0, 0, 0)},
      {-2, 6 * 3600 * 300, EncodeDate(1899, 12, 30) + EncodeTime(6, 0, 0, 0)},
      {0, 0, EncodeDate(1900, 1, 1)},
      {39144, (13 * 3600 + 5 * 60 + 9) * 300 + 3, EncodeDate(2007, 3, 5) + EncodeTime(13, 5, 9, 10)},
  };
  for (const auto& c : cases) {
    BYTE data[2 * sizeof(DBINT)];
    std::memcpy(data, &c.days, sizeof c.days);
    std::memcpy(data + sizeof c.days, &c.ticks, sizeof c.ticks);
    const TDateTime value = DBLibDateTimeToDateTime(data);
    EXPECT_NEAR(value, c.expected, 1e-9) << c.days;
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", value), FormatDateTime("yyyy-mm-dd hh:nn:ss", c.expected));
  }
}

}  // namespace
