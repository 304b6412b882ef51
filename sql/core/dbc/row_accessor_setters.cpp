// The row accessor's typed setters: each checks that a value of its type may
// be stored in the column, converts it to the column's stored type and writes
// it. A value that does not fit raises its error before anything is written.
// Fixed-size values are written straight into the slot without allocating.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/dbc/row_accessor_slots.h"
#include "sql/core/sysutils.h"

using namespace detail::row_slots;

// --- Storing into the column's own type ----------------------------------------

void TZRowAccessor::StoreBoolean(int columnIndex, bool value) {
  switch (TypeOf(columnIndex)) {
    case stBoolean:
      Store<std::int16_t>(Data(rowBuffer_, columnIndex), value ? kTrueFlag : 0);
      *NullByte(rowBuffer_, columnIndex) = 0;
      return;
    case stByte:
    case stShort:
    case stInteger:
    case stLong: return StoreInteger(columnIndex, value ? 1 : 0);
    case stFloat:
    case stDouble:
    case stBigDecimal: return StoreFloat(columnIndex, value ? 1 : 0);
    default: return StoreText(columnIndex, value ? "True" : "False");
  }
}

void TZRowAccessor::StoreInteger(int columnIndex, std::int64_t value) {
  TZSQLType type = TypeOf(columnIndex);
  if (type == stBoolean) return StoreBoolean(columnIndex, value != 0);
  if (type >= stFloat && type <= stBigDecimal) return StoreFloat(columnIndex, static_cast<long double>(value));
  if (type == stString || type == stUnicodeString) return StoreText(columnIndex, IntToStr(value));
  std::uint8_t* data = Data(rowBuffer_, columnIndex);
  switch (type) {
    case stByte: Store(data, NarrowInteger<std::int8_t>(value)); break;
    case stShort: Store(data, NarrowInteger<std::int16_t>(value)); break;
    case stInteger: Store(data, NarrowInteger<std::int32_t>(value)); break;
    case stLong: Store(data, value); break;
    default: return;
  }
  *NullByte(rowBuffer_, columnIndex) = 0;
}

void TZRowAccessor::StoreFloat(int columnIndex, long double value) {
  TZSQLType type = TypeOf(columnIndex);
  if (type == stBoolean) return StoreBoolean(columnIndex, value != 0);
  if (type >= stByte && type <= stLong) return StoreInteger(columnIndex, TruncToInt64(value));
  if (type == stString || type == stUnicodeString) return StoreText(columnIndex, FloatToSqlStr(value));
  std::uint8_t* data = Data(rowBuffer_, columnIndex);
  switch (type) {
    case stFloat: Store(data, NarrowFloat<float>(value)); break;
    case stDouble: Store(data, NarrowFloat<double>(value)); break;
    case stBigDecimal: StoreExtended(data, value); break;
    default: return;
  }
  *NullByte(rowBuffer_, columnIndex) = 0;
}

// At most Precision characters, then a zero byte. A longer text, or one
// holding a zero byte (which would end it early), is refused, not cut.
void TZRowAccessor::StoreString(int columnIndex, const char* text, std::size_t length) {
  std::uint8_t* data = Data(rowBuffer_, columnIndex);
  std::size_t precision = columnLengths_[columnIndex - 1] - 1;
  CheckFits(columnIndex, length, precision);
  if (std::memchr(text, 0, length)) RaiseHoldsZero(columnIndex);
  std::memcpy(data, text, length);
  data[length] = 0;
  *NullByte(rowBuffer_, columnIndex) = 0;
}

void TZRowAccessor::StoreUnicodeString(int columnIndex, const WideString& value) {
  std::uint8_t* data = Data(rowBuffer_, columnIndex);
  std::size_t precision = columnLengths_[columnIndex - 1] / 2 - 1;
  std::size_t length = value.size();
  CheckFits(columnIndex, length, precision);
  if (value.find(u'\0') != WideString::npos) RaiseHoldsZero(columnIndex);
  std::memcpy(data, value.data(), length * 2);
  Store<char16_t>(data + length * 2, 0);
  *NullByte(rowBuffer_, columnIndex) = 0;
}

void TZRowAccessor::StoreBytes(int columnIndex, const TByteDynArray& value) {
  std::size_t precision = columnLengths_[columnIndex - 1] - 2;
  std::size_t count = value.size();
  CheckFits(columnIndex, count, precision);
  if (count > INT16_MAX) RaiseRangeError();
  CheckBytesLimit(columnIndex, static_cast<int>(count));
  std::uint8_t* data = Data(rowBuffer_, columnIndex);
  Store(data, static_cast<std::int16_t>(count));
  if (count > 0) std::memcpy(data + 2, value.data(), count);  // an empty array has no data
  *NullByte(rowBuffer_, columnIndex) = 0;
}

// valueType is the setter's type: a date keeps only whole days, a time only
// the fraction, wherever it goes.
void TZRowAccessor::StoreDateTime(int columnIndex, TDateTime value, TZSQLType valueType) {
  TZSQLType type = TypeOf(columnIndex);
  if (type == stString || type == stUnicodeString) {
    const char* format = valueType == stDate ? kDateFormat : (valueType == stTime ? kTimeFormat : kTimestampFormat);
    return StoreText(columnIndex, FormatDateTime(format, value));
  }
  if (type == stDate || valueType == stDate)
    value = std::trunc(value);
  else if (type == stTime || valueType == stTime)
    value = SqlTimeValue(value);
  Store(Data(rowBuffer_, columnIndex), value);
  *NullByte(rowBuffer_, columnIndex) = 0;
}

void TZRowAccessor::StoreText(int columnIndex, const AnsiString& value) {
  TZSQLType type = TypeOf(columnIndex);
  switch (type) {
    case stBoolean: return StoreBoolean(columnIndex, IsTrueWord(value));
    case stByte:
    case stShort:
    case stInteger:
    case stLong: return StoreInteger(columnIndex, ParseInteger(value, type == stLong));
    case stFloat:
    case stDouble:
    case stBigDecimal: return StoreFloat(columnIndex, SqlStrToFloatDef(value, 0));
    case stString: return StoreString(columnIndex, value.data(), value.size());
    case stUnicodeString: return StoreUnicodeString(columnIndex, AnsiToWide(value));
    case stBytes: return StoreBytes(columnIndex, StrToBytes(value));
    case stDate:
    case stTime:
    case stTimestamp: return StoreDateTime(columnIndex, AnsiSqlDateToDateTime(value), stTimestamp);
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: return BlobForWriting(columnIndex)->SetString(value);
    default: return;
  }
}

void TZRowAccessor::StoreStream(int columnIndex, TZSQLType streamType, TStream* value) {
  CheckColumnConversion(columnIndex, streamType);
  BlobForWriting(columnIndex)->SetStream(value);
}

// --- Setters -------------------------------------------------------------------------

void TZRowAccessor::SetBoolean(int columnIndex, bool value) {
  CheckColumnConversion(columnIndex, stBoolean);
  StoreBoolean(columnIndex, value);
}

void TZRowAccessor::SetByte(int columnIndex, std::int8_t value) {
  CheckColumnConversion(columnIndex, stByte);
  StoreInteger(columnIndex, value);
}

void TZRowAccessor::SetShort(int columnIndex, std::int16_t value) {
  CheckColumnConversion(columnIndex, stShort);
  StoreInteger(columnIndex, value);
}

void TZRowAccessor::SetInt(int columnIndex, int value) {
  CheckColumnConversion(columnIndex, stInteger);
  StoreInteger(columnIndex, value);
}

void TZRowAccessor::SetLong(int columnIndex, std::int64_t value) {
  CheckColumnConversion(columnIndex, stLong);
  StoreInteger(columnIndex, value);
}

void TZRowAccessor::SetFloat(int columnIndex, float value) {
  CheckColumnConversion(columnIndex, stFloat);
  StoreFloat(columnIndex, value);
}

void TZRowAccessor::SetDouble(int columnIndex, double value) {
  CheckColumnConversion(columnIndex, stDouble);
  // A double stored as itself always fits: no trip through long double.
  if (TypeOf(columnIndex) == stDouble) {
    Store(Data(rowBuffer_, columnIndex), value);
    *NullByte(rowBuffer_, columnIndex) = 0;
    return;
  }
  StoreFloat(columnIndex, value);
}

void TZRowAccessor::SetBigDecimal(int columnIndex, long double value) {
  CheckColumnConversion(columnIndex, stBigDecimal);
  StoreFloat(columnIndex, value);
}

void TZRowAccessor::SetPChar(int columnIndex, const char* value) {
  if (value) return SetPChar(columnIndex, value, std::strlen(value));
  CheckColumnConversion(columnIndex, stString);
  if (TypeOf(columnIndex) != stString) return StoreText(columnIndex, "");
  SetNull(columnIndex);
}

void TZRowAccessor::SetPChar(int columnIndex, const char* value, std::size_t length) {
  CheckColumnConversion(columnIndex, stString);
  if (TypeOf(columnIndex) != stString) return StoreText(columnIndex, AnsiString(value, length));
  StoreString(columnIndex, value, length);
}

void TZRowAccessor::SetString(int columnIndex, const AnsiString& value) {
  CheckColumnConversion(columnIndex, stString);
  StoreText(columnIndex, value);
}

void TZRowAccessor::SetUnicodeString(int columnIndex, const WideString& value) {
  CheckColumnConversion(columnIndex, stString);
  if (TypeOf(columnIndex) == stUnicodeString) return StoreUnicodeString(columnIndex, value);
  StoreText(columnIndex, WideToAnsi(value));
}

void TZRowAccessor::SetBytes(int columnIndex, const TByteDynArray& value) {
  CheckColumnConversion(columnIndex, stBytes);
  // No bytes is a value of its own, not NULL.
  if (TypeOf(columnIndex) == stBytes) return StoreBytes(columnIndex, value);
  StoreText(columnIndex, BytesToStr(value));
}

void TZRowAccessor::SetDate(int columnIndex, TDateTime value) {
  CheckColumnConversion(columnIndex, stDate);
  StoreDateTime(columnIndex, value, stDate);
}

void TZRowAccessor::SetTime(int columnIndex, TDateTime value) {
  CheckColumnConversion(columnIndex, stTime);
  StoreDateTime(columnIndex, value, stTime);
}

void TZRowAccessor::SetTimestamp(int columnIndex, TDateTime value) {
  CheckColumnConversion(columnIndex, stTimestamp);
  StoreDateTime(columnIndex, value, stTimestamp);
}

void TZRowAccessor::SetAsciiStream(int columnIndex, TStream* value) { StoreStream(columnIndex, stAsciiStream, value); }

void TZRowAccessor::SetUnicodeStream(int columnIndex, TStream* value) {
  StoreStream(columnIndex, stUnicodeStream, value);
}

void TZRowAccessor::SetBinaryStream(int columnIndex, TStream* value) {
  StoreStream(columnIndex, stBinaryStream, value);
}

void TZRowAccessor::SetBlob(int columnIndex, const Ref<IZBlob>& value) {
  CheckColumnIndex(columnIndex);
  SetBlobObject(rowBuffer_, columnIndex, value);
}
