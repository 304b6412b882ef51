// Encoding and decoding of day numbers and the local clock. Day numbers are
// split through TTimeStamp, rounding to whole milliseconds first, so a value a
// hair below midnight decodes as the next day's 0:00 rather than 23:59:59.999.
#include "platform/rtl/datetime.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "platform/rtl/exceptions.h"

namespace {

constexpr int kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};
// Days before each month, worked out from the table above.
constexpr auto kDaysBeforeMonth = [] {
  std::array<std::array<int, 12>, 2> before{};
  for (int leap = 0; leap < 2; ++leap)
    for (int m = 1; m < 12; ++m) before[leap][m] = before[leap][m - 1] + kMonthDays[leap][m - 1];
  return before;
}();
constexpr char SDateEncodeError[] = "Invalid argument to date encode";
constexpr char STimeEncodeError[] = "Invalid argument to time encode";
constexpr int kMSecsPerHour = 3600000;
constexpr int kMSecsPerMin = 60000;
constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;
// Far beyond the last representable date (9999-12-31 is about 2.9 million),
// small enough that the milliseconds fit comfortably into 64 bits.
constexpr double kMaxDays = 1e9;

}  // namespace

TTimeStamp DateTimeToTimeStamp(TDateTime value) {
  if (!(std::fabs(value) < kMaxDays)) return {0, 0};
  // The time of day of a negative value counts toward zero: split |value|.
  int64_t ms = static_cast<int64_t>(std::nearbyint(value * kMSecsPerDay));
  int64_t magnitude = ms < 0 ? -ms : ms;
  int32_t days = static_cast<int32_t>(magnitude / kMSecsPerDay);
  int32_t time = static_cast<int32_t>(magnitude % kMSecsPerDay);
  return {time, ms < 0 ? kDateDelta - days : kDateDelta + days};
}

TDateTime TimeStampToDateTime(const TTimeStamp& stamp) {
  double days = static_cast<double>(stamp.Date) - kDateDelta;
  double time = static_cast<double>(stamp.Time) / kMSecsPerDay;
  return stamp.Date < kDateDelta ? days - time : days + time;
}

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return kMonthDays[IsLeapYear(year)][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
  const bool leap = IsLeapYear(year);
  if (day < 1 || day > kMonthDays[leap][month - 1]) return false;
  int y = year - 1;
  date = y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[leap][month - 1] + day - kDateDelta;
  return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= kHoursPerDay || min < 0 || min >= 60 || sec < 0 || sec >= 60 ||
      msec < 0 || msec >= 1000)
    return false;
  time = static_cast<double>(hour * kMSecsPerHour + min * kMSecsPerMin + sec * 1000 + msec) /
         kMSecsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(SDateEncodeError);
  return date;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime time;
  if (!TryEncodeTime(hour, min, sec, msec, time))
    throw EConvertError(STimeEncodeError);
  return time;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  int t = DateTimeToTimeStamp(date).Date;
  if (t <= 0) {
    year = month = day = 0;
    return;
  }
  --t;  // days since 0001-01-01
  int y = 1 + 400 * (t / kDaysPer400Years);
  t %= kDaysPer400Years;
  int centuries = std::min(t / kDaysPer100Years, 3);  // the 400th year's extra day
  y += 100 * centuries;
  t -= centuries * kDaysPer100Years;
  y += 4 * (t / kDaysPer4Years);
  t %= kDaysPer4Years;
  int years = std::min(t / 365, 3);  // the leap year's extra day
  y += years;
  t -= years * 365;
  const int* table = kMonthDays[IsLeapYear(y)];
  int m = 0;
  while (t >= table[m]) t -= table[m++];
  year = y;
  month = m + 1;
  day = t + 1;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
  int t = DateTimeToTimeStamp(time).Time;
  hour = t / kMSecsPerHour;
  min = t / kMSecsPerMin % 60;
  sec = t / 1000 % 60;
  msec = t % 1000;
}

TDateTime Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  int sec = std::min(local.tm_sec, 59);  // a leap second stays in its minute
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, sec, static_cast<int>(now.tv_nsec / 1000000));
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  TDateTime now = Now();
  return now - std::trunc(now);
}

int DayOfWeek(TDateTime date) {
  int days = DateTimeToTimeStamp(date).Date;
  return (days % 7 + 7) % 7 + 1;
}

int DayOfTheWeek(TDateTime date) {
  int days = DateTimeToTimeStamp(date).Date;
  return ((days - 1) % 7 + 7) % 7 + 1;
}
