// Display names of the SQL value types, as they appear in conversion messages.
#include "sql/core/sql_types.h"

#include <array>

AnsiString GetSQLTypeName(TZSQLType sqlType) {
  static constexpr std::array<const char*, 18> kNames = {
      "Unknown",    "Boolean", "Byte",          "Short",        "Integer",   "Long",
      "Float",      "Double",  "BigDecimal",    "String",       "UnicodeString",
      "Bytes",      "Date",    "Time",          "Timestamp",    "AsciiStream",
      "UnicodeStream", "BinaryStream"};
  const unsigned index = static_cast<unsigned>(sqlType);
  return index < kNames.size() ? kNames[index] : kNames[0];
}
