// Column descriptions and value reading of the ADO object layer (see
// ado_columns.h).

#include "sql/drivers/ado/ado_columns.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"

namespace ado_odbc {

namespace {

constexpr std::size_t kFirstChunkBytes = 256;
constexpr SQLSMALLINT kMaxNameBytes = 512;
constexpr int kGuidTextLength = 36;  // without the braces
constexpr int kNanosecondsPerMillisecond = 1000000;

struct TypeShape {
  AdoValueKind kind;
  TVarType varType;
  int fixedSize;  // bytes of the OLE DB value; 0 for text and binary
};

TypeShape ShapeOf(int adoType) {
  switch (adoType) {
    case adTinyInt: return {AdoValueKind::Integer, varShortInt, 1};
    case adUnsignedTinyInt: return {AdoValueKind::Integer, varByte, 1};
    case adSmallInt: return {AdoValueKind::Integer, varSmallint, 2};
    case adUnsignedSmallInt: return {AdoValueKind::Integer, varWord, 2};
    case adInteger: return {AdoValueKind::Integer, varInteger, 4};
    case adUnsignedInt: return {AdoValueKind::Integer, varLongWord, 4};
    case adBigInt:
    case adUnsignedBigInt: return {AdoValueKind::Integer, varInt64, 8};
    case adBoolean: return {AdoValueKind::Boolean, varBoolean, 2};
    case adSingle: return {AdoValueKind::Float, varSingle, 4};
    case adDouble: return {AdoValueKind::Float, varDouble, 8};
    // The platform's variant has no decimal kind: exact numbers come as the
    // data source's text, which keeps every digit a double would lose.
    case adNumeric:
    case adDecimal: return {AdoValueKind::Text, varString, 19};
    case adDBDate: return {AdoValueKind::Date, varDate, 6};
    case adDBTime: return {AdoValueKind::Time, varDate, 6};
    case adDBTimeStamp: return {AdoValueKind::Timestamp, varDate, 16};
    case adGUID: return {AdoValueKind::Guid, varString, 16};
    case adWChar:
    case adVarWChar:
    case adLongVarWChar: return {AdoValueKind::WideText, varOleStr, 0};
    case adBinary:
    case adVarBinary:
    case adLongVarBinary: return {AdoValueKind::Binary, varArray | varByte, 0};
    default: return {AdoValueKind::Text, varString, 0};
  }
}

SQLLEN NumericAttribute(SQLHSTMT statement, SQLUSMALLINT number, SQLUSMALLINT attribute) {
  SQLLEN value = 0;
  // Drivers that do not know an attribute leave the default.
  SQLColAttribute(statement, number, attribute, nullptr, 0, nullptr, &value);
  return value;
}

Variant TextAttribute(SQLHSTMT statement, SQLUSMALLINT number, SQLUSMALLINT attribute) {
  char text[kMaxNameBytes] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLColAttribute(statement, number, attribute, text, sizeof text, &length, nullptr)) ||
      text[0] == '\0')
    return Null();
  return Variant(FromOdbc(text));
}

// Reads a text or binary value in chunks; false for SQL NULL. The bytes are
// buffer[0 .. length).
bool ReadBytes(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT cType, std::string& buffer,
               std::size_t& length) {
  if (buffer.size() < kFirstChunkBytes) buffer.resize(kFirstChunkBytes);
  const std::size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
  length = 0;
  for (;;) {
    SQLLEN indicator = 0;
    const SQLLEN room = static_cast<SQLLEN>(buffer.size() - length);
    const SQLRETURN ret = SQLGetData(statement, number, cType, buffer.data() + length, room, &indicator);
    if (ret == SQL_NO_DATA) return true;
    Check(ret, SQL_HANDLE_STMT, statement);
    if (indicator == SQL_NULL_DATA) return false;
    const bool truncated =
        ret == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room - SQLLEN(terminator));
    if (!truncated) {
      length += static_cast<std::size_t>(indicator);
      return true;
    }
    length += static_cast<std::size_t>(room) - terminator;
    std::size_t wanted = buffer.size() * 2;
    if (indicator != SQL_NO_TOTAL)
      wanted = std::max(wanted, length + static_cast<std::size_t>(indicator) + terminator);
    buffer.resize(wanted);
  }
}

template <class T>
bool ReadFixed(SQLHSTMT statement, SQLUSMALLINT number, SQLSMALLINT cType, T& value) {
  SQLLEN indicator = 0;
  Check(SQLGetData(statement, number, cType, &value, sizeof value, &indicator), SQL_HANDLE_STMT, statement);
  return indicator != SQL_NULL_DATA;
}

[[noreturn]] void RaiseBadDate() { throw EAdoError("22008", "Datetime field overflow"); }

TDateTime DateOf(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) RaiseBadDate();
  return date;
}

TDateTime TimeOf(int hour, int minute, int second, int millisecond) {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second, millisecond, time)) RaiseBadDate();
  return time;
}

// Before 1899-12-30 the time of day counts toward zero.
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

void Widen(Recordset15::Column& column, std::size_t length) {
  column.definedSize = std::max(column.definedSize, static_cast<int>(std::min<std::size_t>(length, INT32_MAX)));
}

}  // namespace

int DataTypeOfOdbc(SQLSMALLINT sqlType, bool isUnsigned) {
  switch (sqlType) {
    case SQL_CHAR: return adChar;
    case SQL_VARCHAR: return adVarChar;
    case SQL_LONGVARCHAR: return adLongVarChar;
    case SQL_WCHAR: return adWChar;
    case SQL_WVARCHAR: return adVarWChar;
    case SQL_WLONGVARCHAR: return adLongVarWChar;
    case SQL_NUMERIC:
    case SQL_DECIMAL: return adNumeric;
    case SQL_TINYINT: return isUnsigned ? adUnsignedTinyInt : adTinyInt;
    case SQL_SMALLINT: return isUnsigned ? adUnsignedSmallInt : adSmallInt;
    case SQL_INTEGER: return isUnsigned ? adUnsignedInt : adInteger;
    case SQL_BIGINT: return isUnsigned ? adUnsignedBigInt : adBigInt;
    case SQL_REAL: return adSingle;
    case SQL_FLOAT:
    case SQL_DOUBLE: return adDouble;
    case SQL_BIT: return adBoolean;
    case SQL_TYPE_DATE:
    case SQL_DATE: return adDBDate;
    case SQL_TYPE_TIME:
    case SQL_TIME: return adDBTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: return adDBTimeStamp;
    case SQL_BINARY: return adBinary;
    case SQL_VARBINARY: return adVarBinary;
    case SQL_LONGVARBINARY: return adLongVarBinary;
    case SQL_GUID: return adGUID;
    default: return adVarChar;
  }
}

Recordset15::Column DescribeColumn(SQLHSTMT statement, SQLUSMALLINT number) {
  char name[kMaxNameBytes] = {};
  SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  Check(SQLDescribeCol(statement, number, reinterpret_cast<SQLCHAR*>(name), sizeof name, &nameLength, &sqlType,
                       &size, &digits, &nullable),
        SQL_HANDLE_STMT, statement);
  Recordset15::Column column;
  column.name = FromOdbc(name);
  const bool isUnsigned = NumericAttribute(statement, number, SQL_DESC_UNSIGNED) == SQL_TRUE &&
                          (sqlType == SQL_TINYINT || sqlType == SQL_SMALLINT || sqlType == SQL_INTEGER ||
                           sqlType == SQL_BIGINT);
  column.type = DataTypeOfOdbc(sqlType, isUnsigned);
  const TypeShape shape = ShapeOf(column.type);
  column.kind = shape.kind;
  column.varType = shape.varType;
  column.definedSize = shape.fixedSize ? shape.fixedSize : static_cast<int>(std::min<SQLULEN>(size, INT32_MAX));
  column.properties = FieldProperties(TextAttribute(statement, number, SQL_DESC_BASE_COLUMN_NAME),
                                      TextAttribute(statement, number, SQL_DESC_BASE_TABLE_NAME),
                                      NumericAttribute(statement, number, SQL_DESC_AUTO_UNIQUE_VALUE) == SQL_TRUE);
  switch (NumericAttribute(statement, number, SQL_DESC_UPDATABLE)) {
    case SQL_ATTR_WRITE: column.flags |= DBCOLUMNFLAGS_WRITE; break;
    case SQL_ATTR_READWRITE_UNKNOWN: column.flags |= DBCOLUMNFLAGS_WRITEUNKNOWN; break;
    default: break;
  }
  if (IsLongType(column.type)) column.flags |= DBCOLUMNFLAGS_ISLONG;
  return column;
}

Ref<Properties> FieldProperties(Variant baseColumnName, Variant baseTableName, bool autoIncrement) {
  auto properties = MakeRef<Properties>();
  properties->Add(MakeRef<Property>("BASECOLUMNNAME", std::move(baseColumnName)));
  properties->Add(MakeRef<Property>("BASETABLENAME", std::move(baseTableName)));
  properties->Add(MakeRef<Property>("ISAUTOINCREMENT", Variant(autoIncrement)));
  return properties;
}

bool IsLongType(int adoType) {
  return adoType == adLongVarChar || adoType == adLongVarWChar || adoType == adLongVarBinary;
}

Variant ReadValue(SQLHSTMT statement, SQLUSMALLINT number, Recordset15::Column& column, std::string& buffer) {
  switch (column.kind) {
    case AdoValueKind::Integer: {
      SQLBIGINT value = 0;
      return ReadFixed(statement, number, SQL_C_SBIGINT, value) ? Variant::OfInteger(column.varType, value) : Null();
    }
    case AdoValueKind::Boolean: {
      SQLCHAR value = 0;
      return ReadFixed(statement, number, SQL_C_BIT, value) ? Variant(value != 0) : Null();
    }
    case AdoValueKind::Float: {
      double value = 0;
      return ReadFixed(statement, number, SQL_C_DOUBLE, value) ? Variant::OfFloat(column.varType, value) : Null();
    }
    case AdoValueKind::Date: {
      SQL_DATE_STRUCT value{};
      if (!ReadFixed(statement, number, SQL_C_TYPE_DATE, value)) return Null();
      return Variant::OfFloat(varDate, DateOf(value.year, value.month, value.day));
    }
    case AdoValueKind::Time: {
      SQL_TIME_STRUCT value{};
      if (!ReadFixed(statement, number, SQL_C_TYPE_TIME, value)) return Null();
      return Variant::OfFloat(varDate, TimeOf(value.hour, value.minute, value.second, 0));
    }
    case AdoValueKind::Timestamp: {
      SQL_TIMESTAMP_STRUCT value{};
      if (!ReadFixed(statement, number, SQL_C_TYPE_TIMESTAMP, value)) return Null();
      const int millisecond = static_cast<int>(value.fraction / kNanosecondsPerMillisecond);
      return Variant::OfFloat(varDate, Combine(DateOf(value.year, value.month, value.day),
                                               TimeOf(value.hour, value.minute, value.second, millisecond)));
    }
    case AdoValueKind::Binary: {
      std::size_t length = 0;
      if (!ReadBytes(statement, number, SQL_C_BINARY, buffer, length)) return Null();
      Widen(column, length);
      Variant bytes = VarArrayCreate(0, static_cast<int>(length) - 1, varByte);
      if (length) std::memcpy(VarArrayLock(bytes), buffer.data(), length);
      VarArrayUnlock(bytes);
      return bytes;
    }
    case AdoValueKind::WideText: {
      std::size_t length = 0;
      if (!ReadBytes(statement, number, SQL_C_CHAR, buffer, length)) return Null();
      WideString text = Utf8ToWide(std::string_view(buffer.data(), length));
      Widen(column, text.size());
      return Variant(std::move(text));
    }
    case AdoValueKind::Guid:
    case AdoValueKind::Text: {
      std::size_t length = 0;
      if (!ReadBytes(statement, number, SQL_C_CHAR, buffer, length)) return Null();
      AnsiString text = FromOdbc(std::string_view(buffer.data(), length));
      // A GUID reads in braces, as the platform writes one.
      if (column.kind == AdoValueKind::Guid) {
        if (text.size() == kGuidTextLength) text = "{" + text + "}";
      } else {
        Widen(column, text.size());
      }
      return Variant(std::move(text));
    }
  }
  return Null();
}

}  // namespace ado_odbc
