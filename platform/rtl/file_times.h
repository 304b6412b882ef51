// File times as local date-times. Each instant is converted with the UTC
// offset in force at that instant, so times on either side of a daylight
// saving change come out as the wall clock showed them.
#pragma once

#include <cstdint>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

TDateTime UnixToLocalDateTime(int64_t seconds);
// The instant a local date-time names (whole seconds).
int64_t LocalDateTimeToUnix(TDateTime value);

// Last write time of a file or folder; false when it cannot be read.
bool FileAge(const AnsiString& name, TDateTime& age);
bool FileSetDate(const AnsiString& name, TDateTime age);
