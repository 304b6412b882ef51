// The ADO driver's type conversions (see ado_utils.h).

#include "sql/drivers/ado/ado_utils.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "sql/drivers/ado/ado_objects.h"

namespace {

// The fifteen bytes every OLE DB schema rowset GUID shares.
constexpr std::uint32_t kSchemaGuidHigh = 0xC8B52200;
constexpr std::uint16_t kSchemaGuidD2 = 0x5CF3;
constexpr std::uint16_t kSchemaGuidD3 = 0x11CE;
constexpr std::uint8_t kSchemaGuidD4[8] = {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D};

struct SchemaNumber {
  std::uint8_t lowByte;
  int number;
};

constexpr SchemaNumber kSchemaNumbers[] = {
    {0x10, 0},  {0x11, 1},  {0x12, 2},  {0x13, 3},  {0x14, 4},  {0x15, 5},  {0x16, 6},  {0x17, 7},
    {0x18, 8},  {0x19, 9},  {0x1A, 10}, {0x1B, 11}, {0x1E, 12}, {0x21, 13}, {0x22, 14}, {0x23, 15},
    {0x24, 16}, {0x25, 17}, {0x26, 18}, {0x27, 19}, {0x29, 20}, {0x2A, 21}, {0x2C, 22}, {0x2D, 23},
    {0x2E, 24}, {0x2F, 25}, {0xB8, 26}, {0xC4, 27}, {0xC5, 28}, {0xC9, 29}, {0xD8, 32}, {0xD9, 33},
    {0xDA, 34}, {0xDB, 35}, {0xDC, 36}, {0xDD, 37}, {0xDE, 38}, {0xE1, 39},
};

}  // namespace

TZSQLType ConvertAdoToSqlType(std::int16_t adoType) {
  switch (adoType) {
    case adSmallInt:
    case adTinyInt:
    case adUnsignedTinyInt:
    case adUnsignedSmallInt: return stShort;
    case adInteger:
    case adUnsignedInt: return stInteger;
    case adBigInt:
    case adUnsignedBigInt: return stLong;
    case adSingle:
    case adDouble: return stDouble;
    case adCurrency:
    case adDecimal:
    case adNumeric:
    case adVarNumeric: return stBigDecimal;
    case adBoolean: return stBoolean;
    case adDate:
    case adDBDate: return stDate;
    case adDBTime: return stTime;
    case adFileTime:
    case adDBTimeStamp: return stTimestamp;
    case adWChar:
    case adVarWChar: return stUnicodeString;
    case adLongVarChar: return stAsciiStream;
    case adLongVarWChar: return stUnicodeStream;
    case adBinary:
    case adVarBinary:
    case adLongVarBinary: return stBinaryStream;
    default: return stString;
  }
}

int ConvertSqlTypeToAdo(TZSQLType sqlType) {
  switch (sqlType) {
    case stBoolean: return adBoolean;
    case stByte: return adTinyInt;
    case stShort: return adSmallInt;
    case stInteger: return adInteger;
    case stLong: return adBigInt;
    case stFloat: return adSingle;
    case stDouble: return adDouble;
    case stBigDecimal: return adDecimal;
    case stString: return adVarChar;
    case stUnicodeString: return adVarWChar;
    case stBytes: return adVarBinary;
    case stDate: return adDBDate;
    case stTime: return adDBTime;
    case stTimestamp: return adDBTimeStamp;
    case stAsciiStream: return adLongVarChar;
    case stUnicodeStream: return adLongVarWChar;
    case stBinaryStream: return adLongVarBinary;
    default: return adEmpty;
  }
}

int ConvertVariantToAdo(TVarType varType) {
  const TVarType type = varType & varTypeMask;
  switch (type) {
    case varNull:
    case varString: return adVarChar;
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case adIDispatch:
    case adError:
    case varBoolean:
    case varVariant:
    case varUnknown:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64: return type;
    case varOleStr: return adVarWChar;
    case varByte: return (varType & varArray) ? adLongVarBinary : adUnsignedTinyInt;
    case adGUID: return adWChar;
    default: return adEmpty;
  }
}

int ConvertOleDBToAdoSchema(const TGUID& schema) {
  if ((schema.D1 & 0xFFFFFF00u) != kSchemaGuidHigh || schema.D2 != kSchemaGuidD2 || schema.D3 != kSchemaGuidD3 ||
      !std::equal(std::begin(kSchemaGuidD4), std::end(kSchemaGuidD4), schema.D4))
    return -1;
  const auto lowByte = static_cast<std::uint8_t>(schema.D1 & 0xFF);
  for (const SchemaNumber& entry : kSchemaNumbers)
    if (entry.lowByte == lowByte) return entry.number;
  return -1;
}

std::string VariantBytes(const Variant& value) {
  if (!VarIsArray(value)) return value.AsString();
  Variant array = value;
  const int count = VarArrayHighBound(array, 1) - VarArrayLowBound(array, 1) + 1;
  std::string bytes(static_cast<const char*>(VarArrayLock(array)), static_cast<std::size_t>(std::max(count, 0)));
  VarArrayUnlock(array);
  return bytes;
}

Variant ByteArrayVariant(std::string_view bytes) {
  Variant array = VarArrayCreate(0, static_cast<int>(bytes.size()) - 1, varByte);
  if (!bytes.empty()) std::memcpy(VarArrayLock(array), bytes.data(), bytes.size());
  VarArrayUnlock(array);
  return array;
}
