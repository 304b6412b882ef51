// Dates and times as the system counts them: a TDateTime is a number of days
// since 1899-12-30 whose fraction is the time of day. Before that day the time
// of day still counts toward zero (-1.25 is 29 December 1899, 6:00). Here are
// the encoders, decoders, the clock, and the text forms made with the format
// settings in force.
#pragma once

#include <cstdint>

#include "platform/rtl/format_settings.h"
#include "platform/rtl/strings.h"

using TDateTime = double;

constexpr int kHoursPerDay = 24;
constexpr int kMinsPerDay = kHoursPerDay * 60;
constexpr int kSecsPerDay = kMinsPerDay * 60;
constexpr int kMSecsPerDay = kSecsPerDay * 1000;
// Day number of 1899-12-30 when 0001-01-01 is day 1.
constexpr int kDateDelta = 693594;

// A date-time split into whole days (0001-01-01 = 1) and milliseconds of the day.
struct TTimeStamp {
  int32_t Time;
  int32_t Date;
};

TTimeStamp DateTimeToTimeStamp(TDateTime value);
TDateTime TimeStampToDateTime(const TTimeStamp& stamp);

bool IsLeapYear(int year);
int DaysInAMonth(int year, int month);

// Years 1..9999; raise EConvertError for an impossible date or time.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
// A day number outside 0001-01-01 .. 9999-12-31 decodes to zeros.
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);

// Local date and time to the millisecond; Date is its whole day, Time its time of day.
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Sunday = 1 ... Saturday = 7.
int DayOfWeek(TDateTime date);
// Monday = 1 ... Sunday = 7.
int DayOfTheWeek(TDateTime date);

// Tokens (letter case does not matter): d dd (day), ddd dddd (short and long
// day name), ddddd dddddd (short and long date format), m mm mmm mmmm (month,
// or minutes right after an hour token), yy yyyy, h hh, n nn, s ss, z zzz,
// t tt (short and long time format), c (short date, then the long time unless
// it is midnight), am/pm a/p ampm (12-hour clock), "/" and ":" (the date and
// time separators), text in double or single quotes as it stands. An empty
// format means "c".
AnsiString FormatDateTime(const AnsiString& format, TDateTime value,
                          const TFormatSettings& settings = FormatSettings());
AnsiString DateToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
AnsiString TimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());
AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& settings = FormatSettings());

// Readers of the settings' forms: a date is two or three numbers between date
// separators in the order of the short date format (a missing year is this
// year; a two-digit year is placed by the century window); a time is hours with
// optional minutes, seconds and milliseconds after the time and decimal
// separators, with an optional AM/PM word. Blanks around parts are allowed,
// anything else left over is an error. The Str... forms raise EConvertError.
bool TryStrToDate(const AnsiString& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
bool TryStrToTime(const AnsiString& text, TDateTime& value,
                  const TFormatSettings& settings = FormatSettings());
bool TryStrToDateTime(const AnsiString& text, TDateTime& value,
                      const TFormatSettings& settings = FormatSettings());
TDateTime StrToDate(const AnsiString& text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(const AnsiString& text, const TFormatSettings& settings = FormatSettings());
TDateTime StrToDateTime(const AnsiString& text,
                        const TFormatSettings& settings = FormatSettings());
