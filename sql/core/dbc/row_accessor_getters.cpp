// The row accessor's typed getters: each checks that the column's stored type
// may be read as the requested one, answers the empty value for a null column,
// and otherwise converts the stored value. Fixed-size values are read straight
// from the slot without allocating.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/dbc/row_accessor_slots.h"
#include "sql/core/sysutils.h"

using namespace detail::row_slots;

// --- Reading the stored value in a wider form -----------------------------------

std::int64_t TZRowAccessor::ReadInteger(int columnIndex, bool wideText) {
  const std::uint8_t* data = Data(rowBuffer_, columnIndex);
  switch (TypeOf(columnIndex)) {
    case stBoolean: return Load<std::int16_t>(data) != 0 ? 1 : 0;
    case stByte: return Load<std::int8_t>(data);
    case stShort: return Load<std::int16_t>(data);
    case stInteger: return Load<std::int32_t>(data);
    case stLong: return Load<std::int64_t>(data);
    case stFloat:
    case stDouble:
    case stBigDecimal: return TruncToInt64(ReadFloat(columnIndex));
    default: return ParseInteger(ReadString(columnIndex), wideText);
  }
}

long double TZRowAccessor::ReadFloat(int columnIndex) {
  const std::uint8_t* data = Data(rowBuffer_, columnIndex);
  switch (TypeOf(columnIndex)) {
    case stFloat: return Load<float>(data);
    case stDouble: return Load<double>(data);
    case stBigDecimal: return LoadExtended(data);
    case stString:
    case stUnicodeString: return SqlStrToFloatDef(ReadString(columnIndex), 0);
    default: return static_cast<long double>(ReadInteger(columnIndex, true));
  }
}

TDateTime TZRowAccessor::ReadDateTime(int columnIndex) {
  TZSQLType type = TypeOf(columnIndex);
  if (type == stString || type == stUnicodeString) return AnsiSqlDateToDateTime(ReadString(columnIndex));
  return Load<double>(Data(rowBuffer_, columnIndex));
}

AnsiString TZRowAccessor::BlobText(int columnIndex) {
  Ref<IZBlob> blob = GetBlobObject(rowBuffer_, columnIndex);
  return blob && !blob->IsEmpty() ? blob->GetString() : AnsiString();
}

WideString TZRowAccessor::BlobUnicodeText(int columnIndex) {
  Ref<IZBlob> blob = GetBlobObject(rowBuffer_, columnIndex);
  return blob && !blob->IsEmpty() ? blob->GetUnicodeString() : WideString();
}

WideString TZRowAccessor::ReadUnicodeString(int columnIndex) {
  switch (TypeOf(columnIndex)) {
    case stUnicodeString: return LoadWideText(Data(rowBuffer_, columnIndex), columnLengths_[columnIndex - 1]);
    case stUnicodeStream: return BlobUnicodeText(columnIndex);
    default: return AnsiToWide(ReadString(columnIndex));
  }
}

AnsiString TZRowAccessor::ReadString(int columnIndex) {
  TZSQLType type = TypeOf(columnIndex);
  if (IsStreamSQLType(type))
    return type == stUnicodeStream ? WideToAnsi(BlobUnicodeText(columnIndex)) : BlobText(columnIndex);
  if (type == stUnknown) return AnsiString();
  const std::uint8_t* data = Data(rowBuffer_, columnIndex);
  int length = columnLengths_[columnIndex - 1];
  switch (type) {
    case stBoolean: return Load<std::int16_t>(data) != 0 ? "True" : "False";
    case stByte:
    case stShort:
    case stInteger:
    case stLong: return IntToStr(ReadInteger(columnIndex, true));
    case stFloat:
    case stDouble:
    case stBigDecimal: return FloatToSqlStr(ReadFloat(columnIndex));
    case stString: return AnsiString(LoadText(data, length - 1));
    case stUnicodeString: return WideToAnsi(LoadWideText(data, length));
    case stBytes: {
      int count = StoredByteCount(rowBuffer_, columnIndex);
      return AnsiString(reinterpret_cast<const char*>(data) + 2, count);
    }
    case stDate: return FormatDateTime(kDateFormat, Load<double>(data));
    case stTime: return FormatDateTime(kTimeFormat, Load<double>(data));
    default: return FormatDateTime(kTimestampFormat, Load<double>(data));
  }
}

// --- Getters ------------------------------------------------------------------------

bool TZRowAccessor::BeginGet(int columnIndex, TZSQLType resultType, bool& isNull) const {
  CheckColumnConversion(columnIndex, resultType);
  isNull = IsNullByte(columnIndex);
  return isNull;
}

const char* TZRowAccessor::GetPChar(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stString, isNull)) return nullptr;
  if (TypeOf(columnIndex) == stString) {
    // A slot made non-null without a text may lack its zero byte: never hand
    // out a pointer that would run past the slot.
    auto* text = reinterpret_cast<const char*>(Data(rowBuffer_, columnIndex));
    int slotSize = columnLengths_[columnIndex - 1];
    if (static_cast<int>(strnlen(text, slotSize)) < slotSize) return text;
  }
  temporaryString_ = ReadString(columnIndex);
  return temporaryString_.c_str();
}

AnsiString TZRowAccessor::GetString(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stString, isNull)) return AnsiString();
  return ReadString(columnIndex);
}

WideString TZRowAccessor::GetUnicodeString(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stUnicodeString, isNull)) return WideString();
  return ReadUnicodeString(columnIndex);
}

bool TZRowAccessor::GetBoolean(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stBoolean, isNull)) return false;
  switch (TypeOf(columnIndex)) {
    case stString:
    case stUnicodeString: return IsTrueWord(ReadString(columnIndex));
    case stFloat:
    case stDouble:
    case stBigDecimal: return ReadFloat(columnIndex) != 0;
    default: return ReadInteger(columnIndex, true) != 0;
  }
}

std::int8_t TZRowAccessor::GetByte(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stByte, isNull)) return 0;
  return NarrowInteger<std::int8_t>(ReadInteger(columnIndex, false));
}

std::int16_t TZRowAccessor::GetShort(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stShort, isNull)) return 0;
  return NarrowInteger<std::int16_t>(ReadInteger(columnIndex, false));
}

int TZRowAccessor::GetInt(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stInteger, isNull)) return 0;
  return NarrowInteger<std::int32_t>(ReadInteger(columnIndex, false));
}

std::int64_t TZRowAccessor::GetLong(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stLong, isNull)) return 0;
  return ReadInteger(columnIndex, true);
}

float TZRowAccessor::GetFloat(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stFloat, isNull)) return 0;
  return NarrowFloat<float>(ReadFloat(columnIndex));
}

double TZRowAccessor::GetDouble(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stDouble, isNull)) return 0;
  // A double read as itself needs no trip through long double.
  if (TypeOf(columnIndex) == stDouble) return Load<double>(Data(rowBuffer_, columnIndex));
  return NarrowFloat<double>(ReadFloat(columnIndex));
}

long double TZRowAccessor::GetBigDecimal(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stBigDecimal, isNull)) return 0;
  return ReadFloat(columnIndex);
}

TByteDynArray TZRowAccessor::GetBytes(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stBytes, isNull)) return TByteDynArray();
  if (TypeOf(columnIndex) != stBytes) return StrToBytes(ReadString(columnIndex));
  int count = StoredByteCount(rowBuffer_, columnIndex);
  const std::uint8_t* bytes = Data(rowBuffer_, columnIndex) + 2;
  return TByteDynArray(bytes, bytes + count);
}

TDateTime TZRowAccessor::GetDate(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stDate, isNull)) return 0;
  return std::trunc(ReadDateTime(columnIndex));
}

TDateTime TZRowAccessor::GetTime(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stTime, isNull)) return 0;
  return SqlTimeValue(ReadDateTime(columnIndex));
}

TDateTime TZRowAccessor::GetTimestamp(int columnIndex, bool& isNull) {
  if (BeginGet(columnIndex, stTimestamp, isNull)) return 0;
  return ReadDateTime(columnIndex);
}

std::unique_ptr<TStream> TZRowAccessor::ReadStream(int columnIndex, TZSQLType streamType, bool& isNull) {
  CheckColumnConversion(columnIndex, streamType);
  Ref<IZBlob> blob = GetBlobObject(rowBuffer_, columnIndex);
  isNull = !blob;
  if (isNull) return nullptr;
  // An empty value is an empty stream, not a null one.
  std::unique_ptr<TStream> stream = blob->IsEmpty() ? nullptr : blob->GetStream();
  return stream ? std::move(stream) : std::make_unique<TMemoryStream>();
}

std::unique_ptr<TStream> TZRowAccessor::GetAsciiStream(int columnIndex, bool& isNull) {
  return ReadStream(columnIndex, stAsciiStream, isNull);
}

std::unique_ptr<TStream> TZRowAccessor::GetBinaryStream(int columnIndex, bool& isNull) {
  return ReadStream(columnIndex, stBinaryStream, isNull);
}

Ref<IZBlob> TZRowAccessor::BlobForWriting(int columnIndex) {
  Ref<IZBlob> blob = GetBlobObject(rowBuffer_, columnIndex);
  if (blob) return blob;
  blob = MakeRef<TZAbstractBlob>();
  SetBlobObject(rowBuffer_, columnIndex, blob);
  return blob;
}

Ref<IZBlob> TZRowAccessor::GetBlob(int columnIndex, bool& isNull) {
  CheckColumnIndex(columnIndex);
  isNull = !GetBlobObject(rowBuffer_, columnIndex);
  return BlobForWriting(columnIndex);
}

TZVariant TZRowAccessor::GetValue(int columnIndex) {
  CheckColumnIndex(columnIndex);
  TZVariant result;
  TZSQLType type = TypeOf(columnIndex);
  if (type == stUnknown || IsNullByte(columnIndex)) return result;
  switch (type) {
    case stBoolean:
      result.VType = vtBoolean;
      result.VBoolean = ReadInteger(columnIndex, true) != 0;
      break;
    case stByte:
    case stShort:
    case stInteger:
    case stLong:
      result.VType = vtInteger;
      result.VInteger = ReadInteger(columnIndex, true);
      break;
    case stFloat:
    case stDouble:
    case stBigDecimal:
      result.VType = vtFloat;
      result.VFloat = ReadFloat(columnIndex);
      break;
    case stUnicodeString:
    case stUnicodeStream:
      result.VType = vtUnicodeString;
      result.VUnicodeString = ReadUnicodeString(columnIndex);
      break;
    case stDate:
    case stTime:
    case stTimestamp:
      result.VType = vtDateTime;
      result.VDateTime = ReadDateTime(columnIndex);
      break;
    default:
      result.VType = vtString;
      result.VString = ReadString(columnIndex);
      break;
  }
  return result;
}
