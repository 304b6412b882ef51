// Reading typed values from the column texts that text-protocol client
// libraries deliver (MySQL, SQLite): whole numbers, floats and the two date
// shapes. Result-set getters run these once per value, so they parse in
// place, without building strings.
#pragma once

#include <charconv>
#include <cstring>

#include "platform/rtl/datetime.h"

// Cached rows hold a text column at its full width in every row, so a text
// column wider than this is read as a stream instead.
inline constexpr int kMaxStringColumnLength = 8192;

// The length characters of text, or those before a zero byte among them,
// as a whole number (leading blanks and a "+" allowed); false when they are
// not one.
template <typename T>
bool ParseColumnInteger(const char* text, std::size_t length, T& value) {
  const char* end = text + length;
  while (text < end && *text == ' ') ++text;
  if (text < end && *text == '+') ++text;
  auto [ptr, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && (ptr == end || *ptr == '\0');
}

// The whole number of text; 0 for null or a text that is not one. With the
// length known (a cache stores what the library measured), no scan for it.
template <typename T>
T ColumnIntegerOrZero(const char* text, std::size_t length) {
  T value = 0;
  return ParseColumnInteger(text, length, value) ? value : 0;
}
template <typename T>
T ColumnIntegerOrZero(const char* text) {
  return text ? ColumnIntegerOrZero<T>(text, std::strlen(text)) : 0;
}

// The number of text ("." as decimal separator); 0 for null or no number.
long double ColumnFloatOrZero(const char* text, std::size_t length);
long double ColumnFloatOrZero(const char* text);

// "????-??-??*": a text that starts with an SQL date.
bool LooksLikeSqlDate(const char* text);
// "*??:??:??*": a text that holds an SQL time.
bool LooksLikeSqlTime(const char* text);
// The SQL form when sqlForm, else the locale's timestamp form; 0 when it
// does not read.
TDateTime ColumnDateTime(const char* text, bool sqlForm);

// The values of date and time columns. Only a date of zeros ("0000-00-00",
// with or without a zero time) is null: 1899-12-30 is day 0 and a date. A
// time keeps its span (hours beyond 24, a sign) and fraction; a moment read
// as a time gives its time of day.
TDateTime ColumnDate(const char* text, bool& isNull);
TDateTime ColumnTime(const char* text);
TDateTime ColumnTimestamp(const char* text, bool& isNull);
