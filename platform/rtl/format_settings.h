// The format settings every date, time and number text of the system is made
// with. They are a fixed Czech profile, never read from the host, so output is
// the same on every machine; tests may swap in another profile for a scope.
#pragma once

#include <array>

#include "platform/rtl/strings.h"

struct TFormatSettings {
  char DateSeparator;
  char TimeSeparator;
  char DecimalSeparator;
  char ThousandSeparator;
  char ListSeparator;
  AnsiString ShortDateFormat;
  AnsiString LongDateFormat;
  AnsiString ShortTimeFormat;
  AnsiString LongTimeFormat;
  AnsiString TimeAMString;
  AnsiString TimePMString;
  // January first.
  std::array<AnsiString, 12> ShortMonthNames;
  std::array<AnsiString, 12> LongMonthNames;
  // Sunday first, so DayOfWeek(d) - 1 is the index (DayOfWeek counts Sunday as 1).
  std::array<AnsiString, 7> ShortDayNames;
  std::array<AnsiString, 7> LongDayNames;
  // A two-digit year read from text lies within this many years before the
  // current year and the rest of its century window.
  int TwoDigitYearCenturyWindow;
};

// The Czech profile itself.
const TFormatSettings& CzechFormatSettings();

// The settings in force: the Czech profile unless a TScopedFormatSettings
// is alive.
const TFormatSettings& FormatSettings();

// Puts other settings in force until it goes out of scope (for tests; not
// thread-safe, like the settings themselves are meant to be read-only).
class TScopedFormatSettings {
public:
  explicit TScopedFormatSettings(const TFormatSettings& settings);
  ~TScopedFormatSettings();
  TScopedFormatSettings(const TScopedFormatSettings&) = delete;
  TScopedFormatSettings& operator=(const TScopedFormatSettings&) = delete;

private:
  TFormatSettings settings_;
  const TFormatSettings* previous_;
};
