// The type tables, the error check and the cursor names of the ASA driver.

#include "sql/drivers/asa/asa_utils.h"

#include "platform/rtl/format.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

namespace {

struct TypeEntry {
  std::int16_t code;
  const char* name;
  TZSQLType sqlType;
};

constexpr TypeEntry kTypes[] = {
    {DT_DATE, "DT_DATE", stDate},
    {DT_TIME, "DT_TIME", stTime},
    {DT_TIMESTAMP_STRUCT, "DT_TIMESTAMP_STRUCT", stTimestamp},
    {DT_TIMESTAMP, "DT_TIMESTAMP", stTimestamp},
    {DT_VARCHAR, "DT_VARCHAR", stString},
    {DT_FIXCHAR, "DT_FIXCHAR", stString},
    {DT_LONGVARCHAR, "DT_LONGVARCHAR", stAsciiStream},
    {DT_STRING, "DT_STRING", stString},
    {DT_DOUBLE, "DT_DOUBLE", stDouble},
    {DT_FLOAT, "DT_FLOAT", stFloat},
    {DT_DECIMAL, "DT_DECIMAL", stDouble},
    {DT_INT, "DT_INT", stInteger},
    {DT_SMALLINT, "DT_SMALLINT", stShort},
    {DT_BINARY, "DT_BINARY", stBytes},
    {DT_LONGBINARY, "DT_LONGBINARY", stBinaryStream},
    {DT_VARIABLE, "DT_VARIABLE", stString},
    {DT_TINYINT, "DT_TINYINT", stByte},
    {DT_BIGINT, "DT_BIGINT", stLong},
    {DT_UNSINT, "DT_UNSINT", stInteger},
    {DT_UNSSMALLINT, "DT_UNSSMALLINT", stShort},
    {DT_UNSBIGINT, "DT_UNSBIGINT", stLong},
    {DT_BIT, "DT_BIT", stBoolean},
};

const TypeEntry* FindType(std::int16_t sqlType) {
  const std::int16_t code = static_cast<std::int16_t>(sqlType & ~1);
  for (const TypeEntry& entry : kTypes)
    if (entry.code == code) return &entry;
  return nullptr;
}

// The client's messages fit this buffer, terminator included.
constexpr int kMessageBufferSize = 1025;

}  // namespace

TZSQLType ConvertASATypeToSQLType(std::int16_t sqlType) {
  const TypeEntry* entry = FindType(sqlType);
  return entry ? entry->sqlType : stUnknown;
}

AnsiString ConvertASATypeToString(std::int16_t sqlType) {
  const TypeEntry* entry = FindType(sqlType);
  return entry ? entry->name : "Unknown";
}

TZSQLType ConvertASAJDBCToSqlType(std::int16_t fieldType) {
  switch (fieldType) {
    case 1: case 12: case -8: case -9: return stString;
    case 2: case 3: case 6: case 7: case 8: return stDouble;
    case 4: return stInteger;
    case 5: return stShort;
    case 11: case 93: return stTimestamp;
    case 91: return stDate;
    case 92: return stTime;
    case 1111: case -4: case -11: return stBinaryStream;
    case -1: case -10: return stAsciiStream;
    case -7: return stBoolean;
    case -6: return stByte;
    case -5: return stLong;
    case -2: case -3: return stBytes;
    default: return stUnknown;
  }
}

void CheckASAError(IZASAPlainDriver* plainDriver, SQLCA* handle, TZLoggingCategory logCategory,
                   const AnsiString& logMessage) {
  const int code = handle->sqlcode;
  if (code >= 0) return;
  char buffer[kMessageBufferSize] = {};
  const char* text = plainDriver->sqlerror_message(handle, buffer, kMessageBufferSize);
  const AnsiString message = text ? text : "";
  DriverManager()->LogError(logCategory, plainDriver->GetProtocol(), logMessage, code, message);
  throw EZSQLException(code, Format(SZSQLError1, {message}));
}
