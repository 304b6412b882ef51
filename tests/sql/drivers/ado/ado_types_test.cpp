// The ADO driver's type conversions as case tables.

#include <gtest/gtest.h>

#include "sql/drivers/ado/ado_objects.h"
#include "sql/drivers/ado/ado_utils.h"

namespace {

TEST(AdoTypes, AdoCodesReadAsColumnTypes) {
  const struct {
    int ado;
    TZSQLType sql;
  } cases[] = {
      {adSmallInt, stShort}, {adTinyInt, stShort}, {adUnsignedTinyInt, stShort}, {adUnsignedSmallInt, stShort},
      {adInteger, stInteger}, {adUnsignedInt, stInteger}, {adBigInt, stLong}, {adUnsignedBigInt, stLong},
      {adSingle, stDouble}, {adDouble, stDouble}, {adCurrency, stBigDecimal}, {adDecimal, stBigDecimal},
      {adNumeric, stBigDecimal}, {adVarNumeric, stBigDecimal}, {adBoolean, stBoolean}, {adDate, stDate},
      {adDBDate, stDate}, {adDBTime, stTime}, {adFileTime, stTimestamp}, {adDBTimeStamp, stTimestamp},
      {adWChar, stUnicodeString}, {adVarWChar, stUnicodeString}, {adLongVarChar, stAsciiStream},
      {adLongVarWChar, stUnicodeStream}, {adBinary, stBinaryStream}, {adVarBinary, stBinaryStream},
      {adLongVarBinary, stBinaryStream}, {adChar, stString}, {adVarChar, stString}, {adBSTR, stString},
      {adGUID, stString}, {999, stString}, {-1, stString},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertAdoToSqlType(static_cast<std::int16_t>(c.ado)), c.sql) << c.ado;
}

TEST(AdoTypes, ColumnTypesGiveAdoCodes) {
  const int expected[] = {adEmpty,  adBoolean, adTinyInt, adSmallInt, adInteger, adBigInt,
                          adSingle, adDouble,  adDecimal, adVarChar,  adVarWChar, adVarBinary,
                          adDBDate, adDBTime,  adDBTimeStamp, adLongVarChar, adLongVarWChar, adLongVarBinary};
  for (int type = stUnknown; type <= stBinaryStream; ++type)
    EXPECT_EQ(ConvertSqlTypeToAdo(static_cast<TZSQLType>(type)), expected[type]) << type;
}

TEST(AdoTypes, VariantTypesGiveAdoCodes) {
  const struct {
    TVarType var;
    int ado;
  } cases[] = {
      {varEmpty, adEmpty}, {varNull, adVarChar}, {varString, adVarChar}, {varSmallint, adSmallInt},
      {varInteger, adInteger}, {varSingle, adSingle}, {varDouble, adDouble}, {varCurrency, adCurrency},
      {varDate, adDate}, {9, adIDispatch}, {10, adError}, {varBoolean, adBoolean}, {varVariant, adVariant},
      {varUnknown, adIUnknown}, {varShortInt, adTinyInt}, {varWord, adUnsignedSmallInt},
      {varLongWord, adUnsignedInt}, {varInt64, adBigInt}, {varOleStr, adVarWChar}, {varByte, adUnsignedTinyInt},
      {varArray | varByte, adLongVarBinary}, {72, adWChar}, {14, adEmpty}, {0x4000 | varInteger, adInteger},
      {varArray | varVariant, adVariant},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertVariantToAdo(c.var), c.ado) << std::hex << c.var;
}

TEST(AdoTypes, OleDbSchemaGuidsGiveSchemaNumbers) {
  auto schema = [](std::uint8_t low) {
    return TGUID{0xC8B52200u | low, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
  };
  const struct {
    std::uint8_t low;
    int number;
  } cases[] = {{0x10, 0}, {0x1B, 11}, {0x1E, 12}, {0x29, 20}, {0x2C, 22}, {0xB8, 26}, {0xC9, 29},
               {0xD8, 32}, {0xE1, 39}, {0x20, -1}, {0x1C, -1}, {0x28, -1}, {0xFF, -1}};
  for (const auto& c : cases) EXPECT_EQ(ConvertOleDBToAdoSchema(schema(c.low)), c.number) << int(c.low);

  TGUID otherTail = schema(0x1B);
  otherTail.D4[7] = 0x3E;
  EXPECT_EQ(ConvertOleDBToAdoSchema(otherTail), -1);
  TGUID otherHead = schema(0x1B);
  otherHead.D1 = 0xC8B5231B;
  EXPECT_EQ(ConvertOleDBToAdoSchema(otherHead), -1);
}

}  // namespace
