// Proleptic Gregorian day numbers for any year, so that dates before year 1
// travel in the server's era form; other texts go to the system's parsers.

#include "sql/drivers/postgresql/postgresql_dates.h"

#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/rtl/datetime.h"

namespace {

constexpr char kEra[] = " BC";
constexpr std::size_t kEraLength = sizeof kEra - 1;
// Days from 1970-01-01 back to the system's day 0, 1899-12-30.
constexpr long long kDay0 = -25569;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar whose
// year counts 0 for 1 BC.
long long DaysFromCivil(long long year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yearOfEra = year - era * 400;
  const long long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(long long days, long long& year, int& month, int& day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shifted = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
  month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
  year = yearOfEra + era * 400 + (month <= 2);
}

}  // namespace

TDateTime ParseServerDateTime(const char* text, int length, bool sqlForm) {
  const std::string_view value(text, static_cast<std::size_t>(length));
  const bool beforeChrist = value.size() > kEraLength && value.ends_with(kEra);
  if (!beforeChrist || !sqlForm)
    return sqlForm ? AnsiSqlDateToDateTime(value) : TimestampStrToDateTime(value);
  int year = 0, month = 0, day = 0, consumed = 0;
  const std::string body(value.substr(0, value.size() - kEraLength));
  if (std::sscanf(body.c_str(), "%d-%d-%d%n", &year, &month, &day, &consumed) != 3) return 0;
  // 1 BC is the year 0 of the calendar arithmetic.
  const TDateTime date = static_cast<TDateTime>(DaysFromCivil(1 - year, month, day) - kDay0);
  const TDateTime time = AnsiSqlDateToDateTime("1899-12-30" + body.substr(static_cast<std::size_t>(consumed)));
  return date < 0 ? date - time : date + time;
}

AnsiString ServerDateText(TDateTime value) {
  long long year = 0;
  int month = 0, day = 0;
  CivilFromDays(static_cast<long long>(std::trunc(value)) + kDay0, year, month, day);
  char buffer[40];
  if (year > 0) std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d", year, month, day);
  else std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d BC", 1 - year, month, day);
  return buffer;
}
