// The two type mappings and the column description of results.

#include "sql/drivers/postgresql/postgresql_types.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace {

// Built-in type OIDs of the server's catalogue.
enum : Oid {
  kBoolOid = 16,
  kByteaOid = 17,
  kNameOid = 19,
  kRegprocOid = 24,
  kOidOid = 26,
  kIntervalOid = 1186,
  kMoneyOid = 790,
  kNumericOid = 1700,
};


TZSQLType OidType(IZPostgreSQLConnection* connection) {
  return connection->IsOidAsBlob() ? stBinaryStream : stInteger;
}

TZSQLType ByteaType(IZPostgreSQLConnection* connection) {
  return connection->IsOidAsBlob() ? stBytes : stBinaryStream;
}

}  // namespace

TZSQLType SQLTypeFromTypeName(IZPostgreSQLConnection* connection, const AnsiString& typeName) {
  static const struct {
    const char* name;
    TZSQLType type;
  } kNames[] = {
      {"interval", stString},  {"char", stString},         {"varchar", stString},       {"bit", stString},
      {"varbit", stString},    {"name", stString},         {"cidr", stString},          {"inet", stString},
      {"macaddr", stString},   {"regproc", stString},      {"bpchar", stString},        {"text", stAsciiStream},
      {"int2vector", stAsciiStream}, {"oidvector", stAsciiStream}, {"_aclitem", stAsciiStream},
      {"int2", stShort},       {"int4", stInteger},        {"int8", stLong},            {"float4", stFloat},
      {"float8", stDouble},    {"decimal", stDouble},      {"numeric", stDouble},       {"money", stDouble},
      {"bool", stBoolean},     {"date", stDate},           {"time", stTime},            {"datetime", stTimestamp},
      {"timestamp", stTimestamp}, {"timestamptz", stTimestamp}, {"abstime", stTimestamp},
  };
  const AnsiString name = LowerCase(typeName);
  if (name == "oid") return OidType(connection);
  if (name == "bytea") return ByteaType(connection);
  for (const auto& entry : kNames)
    if (name == entry.name) return entry.type;
  return !name.empty() && name[0] == '_' ? stAsciiStream : stUnknown;
}

TZSQLType SQLTypeFromTypeOid(IZPostgreSQLConnection* connection, Oid typeOid) {
  switch (typeOid) {
    case kBoolOid: return stBoolean;
    case kByteaOid: return ByteaType(connection);
    case 18: case kNameOid: case kRegprocOid: case 1042: case 1043: case kIntervalOid: case 1560: case 1562:
      return stString;
    case 20: return stLong;
    case 21: return stShort;
    case 23: return stInteger;
    case 22: case 30: case 25: case 651: return stAsciiStream;
    case kOidOid: return OidType(connection);
    case 700: return stFloat;
    case 701: case 1700: return stDouble;
    case 702: case 1114: case 1184: return stTimestamp;
    case kMoneyOid: return stFloat;
    case 1082: return stDate;
    case 1083: return stTime;
    default:
      return typeOid >= 1000 && typeOid <= 1028 ? stAsciiStream : stUnknown;
  }
}

void DefineColumnType(IZPostgreSQLConnection* connection, TZColumnInfo& columnInfo, Oid typeOid) {
  if (typeOid == kByteaOid && connection->IsOidAsBlob()) columnInfo.Precision = 256;
  if (typeOid == kNameOid || typeOid == kIntervalOid) columnInfo.Precision = 32;
  if (typeOid == kRegprocOid) columnInfo.Precision = 10;
  if (typeOid == kMoneyOid) columnInfo.Currency = true;
  columnInfo.ColumnType = SQLTypeFromTypeOid(connection, typeOid);
  if (columnInfo.ColumnType == stUnknown) {
    columnInfo.ColumnType = stString;
    columnInfo.Precision = 255;
    columnInfo.ReadOnly = true;
  }
}

int NumericTextDigits(int typeModifier) {
  constexpr int kMaxDoubleDigits = 15;
  const int digits = typeModifier < 4 ? 0 : (typeModifier - 4) >> 16;
  return digits > kMaxDoubleDigits ? digits : 0;
}

void DescribeColumns(IZPostgreSQLConnection* connection, IZPostgreSQLPlainDriver* plainDriver,
                     const PGresult* result, TZColumnInfoList& columns) {
  const int count = plainDriver->PQnfields(result);
  for (int i = 0; i < count; ++i) {
    TZColumnInfo& column = columns.Add();
    column.ColumnLabel = plainDriver->PQfname(result, i);
    column.Nullable = ntNullable;
    column.ReadOnly = false;
    const Oid type = plainDriver->PQftype(result, i);
    DefineColumnType(connection, column, type);
    if (int digits = type == kNumericOid ? NumericTextDigits(plainDriver->PQfmod(result, i)) : 0) {
      column.ColumnType = stString;
      column.Precision = digits + 2;  // sign and decimal point
    }
    // A varchar(n) carries n + 4 as its type modifier.
    if (column.Precision == 0)
      column.Precision = std::max({plainDriver->PQfmod(result, i) - 4, plainDriver->PQfsize(result, i), 0});
    if (column.ColumnType == stString || column.ColumnType == stUnicodeString) {
      if (column.Precision == 0 || column.ColumnLabel == "expr") column.Precision = 255;
    }
  }
}
