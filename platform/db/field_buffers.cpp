// Conversions between field buffer bytes and values: time stamps, date-time
// buffers and the 80-bit extended float of currency buffers.
#include "platform/db/field_buffers.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

static_assert(LDBL_MANT_DIG == 64, "currency buffers need the x87 80-bit long double");

void ValidateTimeStamp(const TTimeStamp& stamp) {
  if (stamp.Time < 0 || stamp.Date <= 0)
    throw EConvertError(Format("'%d.%d' is not a valid timestamp", {stamp.Date, stamp.Time}));
}

double TimeStampToMSecs(const TTimeStamp& stamp) {
  ValidateTimeStamp(stamp);
  return static_cast<double>(stamp.Date) * kMSecsPerDay + stamp.Time;
}

TTimeStamp MSecsToTimeStamp(double msecs) {
  double whole = std::nearbyint(msecs);
  if (!(whole >= 0) || whole >= 18446744073709551616.0) return {0, 0};
  auto value = static_cast<uint64_t>(whole);
  uint64_t days = value / kMSecsPerDay;
  if (days > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return {0, 0};
  return {static_cast<int32_t>(value % kMSecsPerDay), static_cast<int32_t>(days)};
}

void DateTimeToNative(TFieldType type, double value, void* buffer) {
  TTimeStamp stamp = DateTimeToTimeStamp(value);
  switch (type) {
    case ftDate:
      WriteUnaligned<int32_t>(buffer, stamp.Date);
      break;
    case ftTime:
      WriteUnaligned<int32_t>(buffer, stamp.Time);
      break;
    default:
      WriteUnaligned<double>(buffer, TimeStampToMSecs(stamp));
      break;
  }
}

double NativeToDateTime(TFieldType type, const void* buffer) {
  TTimeStamp stamp;
  switch (type) {
    case ftDate:
      stamp = {0, ReadUnaligned<int32_t>(buffer)};
      break;
    case ftTime:
      stamp = {ReadUnaligned<int32_t>(buffer), kDateDelta};
      break;
    default:
      stamp = MSecsToTimeStamp(ReadUnaligned<double>(buffer));
      break;
  }
  ValidateTimeStamp(stamp);
  return TimeStampToDateTime(stamp);
}

void ConvertDateTimeForm(TFieldType type, const void* source, void* dest, bool toNative) {
  if (toNative) DateTimeToNative(type, ReadUnaligned<double>(source), dest);
  else WriteUnaligned<double>(dest, NativeToDateTime(type, source));
}

void DoubleToExtended(long double value, void* buffer) { std::memcpy(buffer, &value, kExtendedSize); }

long double ExtendedToDouble(const void* buffer) {
  long double value = 0;
  std::memcpy(&value, buffer, kExtendedSize);
  return value;
}
