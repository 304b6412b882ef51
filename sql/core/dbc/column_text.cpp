// Typed values of column texts (see column_text.h).

#include "sql/core/dbc/column_text.h"

#include <cmath>

#include "sql/core/sysutils.h"

long double ColumnFloatOrZero(const char* text, std::size_t length) {
  double value = 0;
  const char* end = text + length;
  auto [ptr, ec] = std::from_chars(text, end, value);
  if (ec == std::errc() && (ptr == end || *ptr == '\0')) return value;
  return SqlStrToFloatDef(text, 0);
}

long double ColumnFloatOrZero(const char* text) { return text ? ColumnFloatOrZero(text, std::strlen(text)) : 0; }

bool LooksLikeSqlDate(const char* text) { return std::strlen(text) >= 10 && text[4] == '-' && text[7] == '-'; }

bool LooksLikeSqlTime(const char* text) {
  const std::size_t length = std::strlen(text);
  for (std::size_t i = 0; i + 8 <= length; ++i)
    if (text[i + 2] == ':' && text[i + 5] == ':') return true;
  return false;
}

TDateTime ColumnDateTime(const char* text, bool sqlForm) {
  return sqlForm ? AnsiSqlDateToDateTime(text) : TimestampStrToDateTime(text);
}

TDateTime ColumnDate(const char* text, bool& isNull) { return std::trunc(ColumnTimestamp(text, isNull)); }

TDateTime ColumnTime(const char* text) {
  const TDateTime value = ColumnDateTime(text, LooksLikeSqlTime(text));
  return LooksLikeSqlDate(text) ? std::fabs(value - std::trunc(value)) : value;
}

TDateTime ColumnTimestamp(const char* text, bool& isNull) {
  TDateTime value;
  if (TryReadPlainSqlMoment(text, value)) {
    isNull = false;
    return value;
  }
  isNull = IsZeroSqlDate(text);
  return isNull ? 0 : ColumnDateTime(text, LooksLikeSqlDate(text));
}
