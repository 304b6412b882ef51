// The small vocabulary every part of the SQL library shares: value types of
// columns and parameters with their display names, isolation levels, cursor
// kinds, concurrency, fetch direction and nullability codes. The numeric values
// are fixed because row buffers, drivers and catalogue results store them.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/strings.h"

enum TZSQLType : std::uint8_t {
  stUnknown = 0,
  stBoolean = 1,
  stByte = 2,
  stShort = 3,
  stInteger = 4,
  stLong = 5,
  stFloat = 6,
  stDouble = 7,
  stBigDecimal = 8,
  stString = 9,
  stUnicodeString = 10,
  stBytes = 11,
  stDate = 12,
  stTime = 13,
  stTimestamp = 14,
  stAsciiStream = 15,
  stUnicodeStream = 16,
  stBinaryStream = 17,
};

using TZSQLTypeArray = std::vector<TZSQLType>;

// Range tests used wherever a type's family matters.
inline bool IsNumericSQLType(TZSQLType t) { return t >= stBoolean && t <= stBigDecimal; }
inline bool IsDateTimeSQLType(TZSQLType t) { return t >= stDate && t <= stTimestamp; }
inline bool IsStreamSQLType(TZSQLType t) { return t >= stAsciiStream && t <= stBinaryStream; }

// Display name of a type; "Unknown" for stUnknown and any byte outside 1..17.
AnsiString GetSQLTypeName(TZSQLType sqlType);

enum TZTransactIsolationLevel : std::uint8_t {
  tiNone = 0,
  tiReadUncommitted = 1,
  tiReadCommitted = 2,
  tiRepeatableRead = 3,
  tiSerializable = 4,
};

enum TZResultSetType : std::uint8_t {
  rtForwardOnly = 0,
  rtScrollInsensitive = 1,
  rtScrollSensitive = 2,
};

enum TZResultSetConcurrency : std::uint8_t {
  rcReadOnly = 0,
  rcUpdatable = 1,
};

enum TZFetchDirection : std::uint8_t {
  fdForward = 0,
};

enum TZColumnNullableType : std::uint8_t {
  ntNoNulls = 0,
  ntNullable = 1,
  ntNullableUnknown = 2,
};
