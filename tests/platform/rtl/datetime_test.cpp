// Day numbers, the clock, date and time texts in the Czech profile, and the
// readers of time and date texts.
#include "platform/rtl/datetime.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rtl/exceptions.h"

namespace {

// 2026-12-10 (a Thursday) 08:05:03.007
TDateTime Sample() { return EncodeDate(2026, 12, 10) + EncodeTime(8, 5, 3, 7); }

TEST(DayNumbers, EncodeAndDecodeRoundTripAcrossEras) {
  struct Case { int year, month, day; double expected; } cases[] = {
      {1899, 12, 30, 0}, {1900, 1, 1, 2}, {1899, 12, 29, -1}, {2000, 2, 29, 36585},
      {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.expected);
    int y, m, d;
    DecodeDate(c.expected, y, m, d);
    EXPECT_EQ((std::array{y, m, d}), (std::array{c.year, c.month, c.day}));
  }
}

// Every day of the calendar is the day number after the one before it and
// decodes back to itself: a slip in any month's length shows here.
TEST(DayNumbers, EveryDayFollowsTheOneBefore) {
  TDateTime expected = EncodeDate(1, 1, 1);
  for (int year = 1; year <= 9999; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= DaysInAMonth(year, month); ++day, ++expected) {
        TDateTime date = 0;
        ASSERT_TRUE(TryEncodeDate(year, month, day, date)) << year << '-' << month << '-' << day;
        ASSERT_EQ(date, expected) << year << '-' << month << '-' << day;
        int y, m, d;
        DecodeDate(date, y, m, d);
        ASSERT_EQ((std::array{y, m, d}), (std::array{year, month, day}));
      }
}

TEST(DayNumbers, ImpossibleDatesAndTimesAreRefused) {
  TDateTime v;
  EXPECT_FALSE(TryEncodeDate(2023, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, v));  // century, not leap
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(TryEncodeDate(10000, 1, 1, v));
  EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, v));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, v));
  EXPECT_THROW(EncodeDate(2023, 13, 1), EConvertError);
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
}

TEST(DayNumbers, TimeBeforeTheEpochCountsTowardZero) {
  // -1.25 is 29 December 1899 at 6:00, not 28 December at 18:00.
  int y, m, d, h, n, s, ms;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ((std::array{y, m, d, h, n}), (std::array{1899, 12, 29, 6, 0}));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-1.25)), -1.25);
  EXPECT_EQ(TimeStampToDateTime(DateTimeToTimeStamp(-0.25)), 0.25);  // day 0 has no sign
  EXPECT_EQ(StrToDateTime("29.12.1899 6:00"), -1.25);
}

TEST(DayNumbers, MillisecondsRoundSoTheLastInstantOfADayIsMidnight) {
  int y, m, d, h, n, s, ms;
  TDateTime almost = 1 - 1e-12;
  DecodeDate(almost, y, m, d);
  DecodeTime(almost, h, n, s, ms);
  EXPECT_EQ((std::array{y, m, d, h, n, s, ms}), (std::array{1899, 12, 31, 0, 0, 0, 0}));
  DecodeTime(Sample(), h, n, s, ms);
  EXPECT_EQ((std::array{h, n, s, ms}), (std::array{8, 5, 3, 7}));
}

TEST(DayNumbers, OutOfRangeValuesDecodeAsZeros) {
  int y, m, d;
  for (double v : {-1e6, 1e300, double(NAN), double(INFINITY)}) {
    DecodeDate(v, y, m, d);
    EXPECT_EQ((std::array{y, m, d}), (std::array{0, 0, 0})) << v;
  }
  EXPECT_NO_THROW(FormatDateTime("dddd mmmm", NAN));
}

TEST(Weekdays, SundayFirstAndMondayFirstNumbering) {
  // 2026-12-06 is a Sunday, 2026-12-07 a Monday, 1899-12-30 a Saturday.
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 6)), 1);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2026, 12, 6)), 7);
  EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 7)), 2);
  EXPECT_EQ(DayOfTheWeek(EncodeDate(2026, 12, 7)), 1);
  EXPECT_EQ(DayOfWeek(0), 7);
  EXPECT_EQ(DayOfTheWeek(-1.5), 5);  // Friday 29 December 1899
}

TEST(Clock, NowIsLocalTimeWithMilliseconds) {
  TDateTime before = Date();
  TDateTime now = Now();
  EXPECT_GE(now, before);
  EXPECT_LT(now - before, 1.0 + 1e-6);
  EXPECT_NEAR(Time(), now - std::trunc(now), 1.0 / kSecsPerDay * 5);
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
}

TEST(FormatDateTime, Tokens) {
  struct Case { const char* format; const char* expected; } cases[] = {
      {"yyyymmdd", "20261210"},
      {"ddd hh:nn:ss", "čt 08:05:03"},
      {"dddd d. mmmm yy", "čtvrtek 10. prosinec 26"},
      {"d/m/yyyy mmm", "10.12.2026 pro"},
      {"h:n:s.z zzz", "8:5:3.7 007"},
      {"hhh:nnn:sss zz zzzz yyy", "08:05:03 07 007 2026"},
      {"yyyy-mm-dd hh:mm:ss", "2026-12-10 08:05:03"},  // mm after hh is minutes
      {"hh 'yyyy' \"mm\"", "08 yyyy mm"},
      {"h AM/PM a/p", "8 AM a"},
      {"c", "10.12.2026 8:05:03"},
      {"", "10.12.2026 8:05:03"},
      {"ddddd | dddddd | t | tt", "10.12.2026 | 10. prosinec 2026 | 8:05 | 8:05:03"},
      {"x 'unclosed", "x unclosed"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.format, Sample()), c.expected) << c.format;
}

TEST(FormatDateTime, TwelveHourClockAndMidnight) {
  TDateTime evening = EncodeDate(2026, 12, 13) + EncodeTime(20, 0, 0, 0);
  EXPECT_EQ(FormatDateTime("ddd hh am/pm", evening), "ne 08 pm");
  EXPECT_EQ(FormatDateTime("h AMPM", EncodeTime(0, 30, 0, 0)), "12 ");  // Czech has no AM word
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 1, 2)), "2.1.2026");  // no time shown at midnight
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 1, 2) + EncodeTime(0, 0, 0, 500)), "2.1.2026");
  EXPECT_EQ(DateToStr(Sample()), "10.12.2026");
  EXPECT_EQ(TimeToStr(Sample()), "8:05:03");
}

TEST(FormatDateTime, SwappedSettingsApplyUntilScopeEnds) {
  TFormatSettings english = CzechFormatSettings();
  english.DateSeparator = '/';
  english.ShortDateFormat = "M/d/yyyy";
  english.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  {
    TScopedFormatSettings scoped(english);
    EXPECT_EQ(FormatDateTime("ddd ddddd", Sample()), "Thu 12/10/2026");
    EXPECT_EQ(StrToDate("12/10/2026"), EncodeDate(2026, 12, 10));
  }
  EXPECT_EQ(FormatDateTime("ddd ddddd", Sample()), "čt 10.12.2026");
  TFormatSettings looping = CzechFormatSettings();
  looping.ShortDateFormat = "yyyy c";  // names itself: expanded one level only
  EXPECT_EQ(FormatDateTime("ddddd", Sample(), looping), "2026  ");
}

TEST(StrToTime, AcceptsHoursMinutesSecondsAndRefusesTheRest) {
  struct Case { const char* text; bool ok; int h = 0, n = 0, s = 0, ms = 0; } cases[] = {
      {"20:00:00", true, 20, 0, 0, 0}, {"8:05", true, 8, 5, 0, 0},
      {" 7 : 30 ", true, 7, 30, 0, 0}, {"8", true, 8, 0, 0, 0},
      {"23:59:59,999", true, 23, 59, 59, 999}, {"8 PM", true, 20, 0, 0, 0},
      {"12:15 am", true, 0, 15, 0, 0},
      {"now", false}, {"", false}, {"24:00", false}, {"8:60", false}, {"8:05x", false},
      {"8:", false}, {"13 PM", false}, {"99999999999:00", false}, {"8.05", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTime v = -7;
    ASSERT_EQ(TryStrToTime(c.text, v), c.ok);
    if (!c.ok) {
      EXPECT_EQ(v, -7);  // untouched on failure
      continue;
    }
    EXPECT_EQ(v, EncodeTime(c.h, c.n, c.s, c.ms));
  }
  EXPECT_EQ(StrToTime("20:00:00"), 20.0 / 24);
  try {
    StrToTime("now");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'now' is not a valid time");
  }
}

TEST(StrToDate, ReadsDayMonthYearInTheSettingsOrder) {
  int year, month, day;
  DecodeDate(Date(), year, month, day);
  struct Case { const char* text; bool ok; TDateTime expected; } cases[] = {
      {"10.12.2026", true, EncodeDate(2026, 12, 10)},
      {" 1. 2. 1999 ", true, EncodeDate(1999, 2, 1)},
      {"1.2", true, EncodeDate(year, 2, 1)},
      {"29.2.2023", false, 0}, {"10.12.2026 8:00", false, 0}, {"10-12-2026", false, 0},
      {"dnes", false, 0}, {"10.", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTime v = -7;
    ASSERT_EQ(TryStrToDate(c.text, v), c.ok);
    EXPECT_EQ(v, c.ok ? c.expected : -7);
  }
  // Two-digit years fall within 50 years before and after this year.
  EXPECT_EQ(StrToDate("1.1." + std::to_string((year + 10) % 100)), EncodeDate(year + 10, 1, 1));
  EXPECT_EQ(StrToDate("1.1." + std::to_string((year - 60) % 100)), EncodeDate(year + 40, 1, 1));
  EXPECT_THROW(StrToDate("31.4.2026"), EConvertError);
}

TEST(StrToDateTime, DateWithOptionalTimeOrTimeAlone) {
  EXPECT_EQ(StrToDateTime("10.12.2026 8:05:03"), EncodeDate(2026, 12, 10) + EncodeTime(8, 5, 3, 0));
  EXPECT_EQ(StrToDateTime("10.12.2026"), EncodeDate(2026, 12, 10));
  EXPECT_EQ(StrToDateTime("8:05"), EncodeTime(8, 5, 0, 0));
  EXPECT_THROW(StrToDateTime("10.12.2026 8:05 later"), EConvertError);
  EXPECT_THROW(StrToDateTime("10.12.2026 x"), EConvertError);
}

}  // namespace
