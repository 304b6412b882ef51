// The DB-Library driver's type translations and parameter literals: the
// ODBC codes the servers' catalogue procedures report and DB-Library's own
// data-type codes mapped onto the column types, the column types mapped
// back, and a parameter value written as a Transact-SQL literal.
#pragma once

#include <cstdint>

#include "sql/core/sql_types.h"
#include "sql/core/variant.h"

// DB-Library data-type codes the driver knows.
inline constexpr int kDBLibImage = 34;
inline constexpr int kDBLibText = 35;
inline constexpr int kDBLibVarBinary = 37;
inline constexpr int kDBLibVarChar = 39;
inline constexpr int kDBLibBinary = 45;
inline constexpr int kDBLibChar = 47;
inline constexpr int kDBLibInt1 = 48;
inline constexpr int kDBLibBit = 50;
inline constexpr int kDBLibInt2 = 52;
inline constexpr int kDBLibInt4 = 56;
inline constexpr int kDBLibDateTime4 = 58;
inline constexpr int kDBLibReal = 59;
inline constexpr int kDBLibMoney = 60;
inline constexpr int kDBLibDateTime = 61;
inline constexpr int kDBLibFloat = 62;
inline constexpr int kDBLibDecimal = 106;
inline constexpr int kDBLibNumeric = 108;
inline constexpr int kDBLibMoneyN = 110;
inline constexpr int kDBLibMoney4 = 122;
inline constexpr int kDBLibInt8 = 127;

// "yyyymmdd", the one date form the servers read whatever their language.
AnsiString DBLibDateText(TDateTime value);
// "hh:nn:ss:zzz", milliseconds after a colon as the servers write them.
AnsiString DBLibTimeText(TDateTime value);

TZSQLType ConvertODBCToSqlType(std::int16_t odbcType);
// Every code gives a type that keeps its values: decimals as stDouble,
// eight-byte integers as stLong, and a code without a column type of its
// own as stString (its value read as converted text).
TZSQLType ConvertDBLibToSqlType(std::int16_t dbLibType);
// -1 for a type without a code.
int ConvertSqlTypeToDBLibType(TZSQLType sqlType);
// The literal of value as a parameter of type sqlType; "NULL" for a null
// value, an empty byte string or an empty stream, and a type without a
// literal form. Numbers are written from their numeric value, so no text
// reaches the statement unquoted.
AnsiString PrepareSQLParameter(const TZVariant& value, TZSQLType sqlType);
