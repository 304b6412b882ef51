// The native value buffers of fields and the time-stamp form of date-times
// they use. A field reads and writes its value as these bytes through its
// dataset; the layouts match the row buffers of the SQL layer so that a column
// can be copied into a field buffer unchanged.
#pragma once

// Buffer layouts by field type:
//   ftSmallint, ftWord: 16-bit; ftInteger, ftAutoInc: 32-bit; ftLargeint: 64-bit;
//   ftBoolean: 16-bit flag (0 false, anything else true; true written as -1);
//   ftFloat: IEEE double; ftCurrency: 80-bit x87 extended (10 bytes);
//   ftString: text ended by a zero byte (Size + 1 bytes);
//   ftDate: 32-bit day number (0001-01-01 is day 1); ftTime: 32-bit milliseconds
//   since midnight; ftDateTime: double of day number * 86400000 + milliseconds;
//   ftBytes: Size raw bytes; ftVarBytes: 16-bit count, then up to Size bytes;
//   ftWideString: the buffer is a WideString object that is assigned to.
// All values are little-endian and unaligned.

#include <cstdint>
#include <cstring>

#include "platform/db/db_types.h"
#include "platform/rtl/datetime.h"

inline constexpr int kExtendedSize = 10;

// Raises EConvertError "'%d.%d' is not a valid timestamp" (Date, Time) when
// Time is negative or Date is not above 0.
void ValidateTimeStamp(const TTimeStamp& stamp);
// Milliseconds of a time stamp as one number, and back; MSecsToTimeStamp
// yields {0, 0} (which then fails validation) for values it cannot split.
double TimeStampToMSecs(const TTimeStamp& stamp);
TTimeStamp MSecsToTimeStamp(double msecs);

// Native buffer bytes of a date, time or date-time field value, and back.
void DateTimeToNative(TFieldType type, double value, void* buffer);
double NativeToDateTime(TFieldType type, const void* buffer);

// A date, time or date-time field also has a non-native form: the TDateTime
// double itself. It keeps what the native forms cannot, a time beyond a day
// or below zero and fractions finer than a millisecond.
inline bool HasDateTimeForms(TFieldType type) { return type == ftDate || type == ftTime || type == ftDateTime; }
// One form of such a value into the other.
void ConvertDateTimeForm(TFieldType type, const void* source, void* dest, bool toNative);

// The 10-byte extended float of currency buffers.
void DoubleToExtended(long double value, void* buffer);
long double ExtendedToDouble(const void* buffer);

template <class T>
T ReadUnaligned(const void* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <class T>
void WriteUnaligned(void* p, T value) {
  std::memcpy(p, &value, sizeof value);
}
