// File times as local date-times (see file_times.h).

#include "platform/rtl/file_times.h"

#include <sys/stat.h>

#include <ctime>
#include <utime.h>

#include "platform/rtl/os_names.h"

TDateTime UnixToLocalDateTime(int64_t seconds) {
  std::time_t instant = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&instant, &local);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
}

int64_t LocalDateTimeToUnix(TDateTime value) {
  int year, month, day, hour, min, sec, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = min;
  local.tm_sec = sec;
  local.tm_isdst = -1;  // the zone's rules decide whether daylight saving applies
  return static_cast<int64_t>(mktime(&local));
}

bool FileAge(const AnsiString& name, TDateTime& age) {
  struct stat st;
  if (name.empty() || stat(detail::ToOsName(name).c_str(), &st) != 0) return false;
  age = UnixToLocalDateTime(static_cast<int64_t>(st.st_mtime));
  return true;
}

bool FileSetDate(const AnsiString& name, TDateTime age) {
  std::time_t instant = static_cast<std::time_t>(LocalDateTimeToUnix(age));
  utimbuf times{instant, instant};
  return !name.empty() && utime(detail::ToOsName(name).c_str(), &times) == 0;
}
