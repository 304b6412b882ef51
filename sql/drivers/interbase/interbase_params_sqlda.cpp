// Parameter setters: re-description, numeric scaling, texts, dates and blobs.

#include "sql/drivers/interbase/interbase_params_sqlda.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <ibase.h>
#include <limits>

#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/drivers/interbase/interbase_execution.h"

namespace {

// The longest texts the 16-bit sqllen describes.
constexpr int kMaxTextLength = std::numeric_limits<short>::max();
constexpr int kMaxVaryingLength = kMaxTextLength - 2;

template <class T>
void Put(char* data, T value) {
  std::memcpy(data, &value, sizeof value);
}

}  // namespace

TZParamsSQLDA::TZParamsSQLDA(Ref<IZInterbasePlainDriver> plainDriver, isc_db_handle* dbHandle,
                             isc_tr_handle* trHandle)
    : TZSQLDA(std::move(plainDriver)), dbHandle_(dbHandle), trHandle_(trHandle) {}

void TZParamsSQLDA::Stored(int index) {
  if (short* indicator = Var(index).sqlind) *indicator = 0;
}

void TZParamsSQLDA::StoreNumber(int index, long double value, TNumberKind kind, const char* errorText) {
  if (NullState(index)) return;
  const TZIbXSQLVar& var = Var(index);
  const int type = var.sqltype & ~1;
  const bool scaled = var.sqlscale < 0;
  const bool isFloat = kind != TNumberKind::Integer;
  // The integer the exact numerics store: value times 10^-scale.
  auto integer = [&]() -> std::int64_t {
    if (!scaled) return isFloat ? TruncToInt64(value) : static_cast<std::int64_t>(value);
    const std::int64_t factor = ScaleFactor(var.sqlscale);
    // A binary fraction such as 19.99 lies a hair below its decimal: the
    // nearest unit of the scale is the value meant, never the one cut below.
    if (isFloat) return TruncToInt64(std::round(value * factor));
    std::int64_t result;
    if (__builtin_mul_overflow(static_cast<std::int64_t>(value), factor, &result)) throw EIntOverflow(SIntOverflow);
    return result;
  };
  switch (type) {
    case SQL_SHORT:
      Put(Data(index, 2), static_cast<std::int16_t>(integer()));
      break;
    case SQL_LONG:
      Put(Data(index, 4), static_cast<std::int32_t>(integer()));
      break;
    case SQL_INT64:
      Put(Data(index, 8), integer());
      break;
    case SQL_QUAD:
      if (!scaled) throw EZIBConvertError(errorText);
      Put(Data(index, 8), integer());
      break;
    case SQL_DOUBLE:
      Put(Data(index, 8), static_cast<double>(value));
      break;
    case SQL_FLOAT: case SQL_D_FLOAT:
      if (scaled && kind != TNumberKind::FloatSetter) throw EZIBConvertError(errorText);
      Put(Data(index, 4), static_cast<float>(value));
      break;
    case kSqlBoolean7:
      if (scaled) throw EZIBConvertError(errorText);
      Put(Data(index, 2), static_cast<std::int16_t>(integer()));
      break;
    case SQL_BOOLEAN:
      Put(Data(index, 1), static_cast<std::uint8_t>(value != 0));
      break;
    case SQL_VARYING: case SQL_TEXT:
      if (scaled) throw EZIBConvertError(errorText);
      EncodeString(type, index, IntToStr(integer()));
      break;
    default:
      throw EZIBConvertError(errorText);
  }
  Stored(index);
}

void TZParamsSQLDA::UpdateNull(int index, bool value) {
  if (short* indicator = Var(index).sqlind) *indicator = value ? -1 : 0;
}

void TZParamsSQLDA::UpdateBoolean(int index, bool value) {
  StoreNumber(index, value ? 1 : 0, TNumberKind::Integer, SZUnsupportedParameterType);
}

void TZParamsSQLDA::UpdateByte(int index, std::int8_t value) {
  SetFieldType(index, sizeof(std::int16_t), 0, SQL_SHORT + 1);
  StoreNumber(index, value, TNumberKind::Integer, SZUnsupportedParameterType);
}

void TZParamsSQLDA::UpdateShort(int index, std::int16_t value) {
  SetFieldType(index, sizeof(std::int16_t), 0, SQL_SHORT + 1);
  StoreNumber(index, value, TNumberKind::Integer, SZUnsupportedDataType);
}

void TZParamsSQLDA::UpdateInt(int index, std::int32_t value) {
  SetFieldType(index, sizeof(std::int32_t), 0, SQL_LONG + 1);
  StoreNumber(index, value, TNumberKind::Integer, SZUnsupportedDataType);
}

void TZParamsSQLDA::UpdateLong(int index, std::int64_t value) {
  SetFieldType(index, sizeof(std::int64_t), 0, SQL_INT64 + 1);
  StoreNumber(index, static_cast<long double>(value), TNumberKind::Integer, SZUnsupportedDataType);
}

void TZParamsSQLDA::UpdateFloat(int index, float value) {
  // A positive scale keeps the described one.
  SetFieldType(index, sizeof(float), 1, SQL_FLOAT + 1);
  StoreNumber(index, value, TNumberKind::FloatSetter, SZUnsupportedDataType);
}

void TZParamsSQLDA::UpdateDouble(int index, double value) {
  SetFieldType(index, sizeof(double), 0, SQL_DOUBLE + 1);
  StoreNumber(index, value, TNumberKind::Float, SZUnsupportedDataType);
}

// An exact numeric column keeps its own scale; anything else takes the value
// as a double, so no decimals are cut on the way.
void TZParamsSQLDA::UpdateBigDecimal(int index, long double value) {
  if (Var(index).sqlscale < 0) SetFieldType(index, sizeof(std::int64_t), 1, SQL_INT64 + 1);
  else SetFieldType(index, sizeof(double), 0, SQL_DOUBLE + 1);
  StoreNumber(index, value, TNumberKind::Float, SZUnsupportedDataType);
}

void TZParamsSQLDA::UpdatePChar(int index, const char* value) { UpdateString(index, value ? value : ""); }

void TZParamsSQLDA::UpdateString(int index, const AnsiString& value) {
  if (NullState(index)) return;
  const TZIbXSQLVar& var = Var(index);
  const int type = var.sqltype & ~1;
  // A DATE, or an INTEGER with decimals, takes the text as it is: the server
  // reads dates and decimals itself, where a plain integer would be wrong.
  const bool serverReads = type == SQL_TYPE_DATE || (type == SQL_LONG && var.sqlscale < 0);
  if (serverReads) {
    if (value.size() > kMaxTextLength) throw EZIBConvertError(SZConvertionError);
    SetFieldType(index, 1, 0, SQL_TEXT + 1);
    // A text's sub type is its character set: none, not the numeric marker.
    Var(index).sqlsubtype = 0;
    EncodeString(SQL_TEXT, index, value);
    return Stored(index);
  }
  switch (type) {
    case SQL_LONG:
      Put(Data(index, 4), static_cast<std::int32_t>(StrToInt(value)));
      break;
    case SQL_VARYING: case SQL_TEXT:
      EncodeString(type, index, value);
      break;
    case SQL_BLOB: {
      TStringStream stream(value);
      WriteBlob(index, &stream);
      break;
    }
    default:
      throw EZIBConvertError(SZConvertionError);
  }
  Stored(index);
}

void TZParamsSQLDA::UpdateBytes(int index, const TByteDynArray& value) {
  if (NullState(index)) return;
  const int type = Var(index).sqltype & ~1;
  switch (type) {
    case SQL_VARYING: case SQL_TEXT:
      EncodeString(type, index, BytesToStr(value));
      break;
    case SQL_BLOB: {
      TStringStream stream(BytesToStr(value));
      WriteBlob(index, &stream);
      break;
    }
    default:
      throw EZIBConvertError(SZUnsupportedParameterType);
  }
  Stored(index);
}

void TZParamsSQLDA::UpdateDate(int index, TDateTime value) {
  SetFieldType(index, sizeof(ISC_DATE), 0, SQL_TYPE_DATE + 1);
  UpdateDateTime(index, value);
}

void TZParamsSQLDA::UpdateTime(int index, TDateTime value) {
  SetFieldType(index, sizeof(ISC_TIME), 0, SQL_TYPE_TIME + 1);
  UpdateDateTime(index, value);
}

void TZParamsSQLDA::UpdateTimestamp(int index, TDateTime value) {
  SetFieldType(index, sizeof(ISC_TIMESTAMP), 0, SQL_TIMESTAMP + 1);
  UpdateDateTime(index, value);
}

void TZParamsSQLDA::UpdateDateTime(int index, TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  // A day number outside the calendar decodes to zeros: no date to store.
  if (year == 0) throw EZIBConvertError(SZConvertionError);
  // The server's times count 1/10,000 s; the part below the second is added
  // to what the client's encoders (whole seconds) give.
  const long long ticks = TimeTicks(value);
  std::tm tm = {};
  tm.tm_sec = static_cast<int>(ticks / kTicksPerSecond % 60);
  tm.tm_min = static_cast<int>(ticks / kTicksPerSecond / 60 % 60);
  tm.tm_hour = static_cast<int>(ticks / kTicksPerSecond / 3600);
  tm.tm_mday = day;
  tm.tm_mon = month - 1;
  tm.tm_year = year - 1900;
  if (NullState(index)) return;
  switch (Var(index).sqltype & ~1) {
    case SQL_TIMESTAMP: {
      auto* stamp = reinterpret_cast<ISC_TIMESTAMP*>(Data(index, sizeof(ISC_TIMESTAMP)));
      PlainDriver()->isc_encode_date(&tm, reinterpret_cast<ISC_QUAD*>(stamp));
      stamp->timestamp_time += static_cast<ISC_TIME>(ticks % kTicksPerSecond);
      break;
    }
    case SQL_TYPE_TIME: {
      auto* time = reinterpret_cast<ISC_TIME*>(Data(index, sizeof(ISC_TIME)));
      PlainDriver()->isc_encode_sql_time(&tm, time);
      *time += static_cast<ISC_TIME>(ticks % kTicksPerSecond);
      break;
    }
    case SQL_TYPE_DATE:
      PlainDriver()->isc_encode_sql_date(&tm, reinterpret_cast<ISC_DATE*>(Data(index, sizeof(ISC_DATE))));
      break;
    default:
      throw EZIBConvertError(SZInvalidState);
  }
  Stored(index);
}

void TZParamsSQLDA::UpdateQuad(int index, const ISC_QUAD& value) {
  SetFieldType(index, sizeof(ISC_QUAD), 0, SQL_QUAD + 1);
  if (NullState(index)) throw EZIBConvertError(SZUnsupportedDataType);
  // After the re-description always a quad.
  std::memcpy(Data(index, sizeof value), &value, sizeof value);
  Stored(index);
}

void TZParamsSQLDA::EncodeString(int code, int index, const AnsiString& given) {
  if (code != SQL_TEXT && code != SQL_VARYING) return;
  const AnsiString value = IsUtf8Text(index) ? AnsiString(AnsiToUtf8(given)) : given;
  const std::size_t maxLength = code == SQL_TEXT ? kMaxTextLength : kMaxVaryingLength;
  if (value.size() > maxLength) throw EZIBConvertError(SZConvertionError);
  const int length = static_cast<int>(value.size());
  const int prefix = code == SQL_VARYING ? 2 : 0;
  // A varying text is described as its length and the length word, and the
  // client may read that many bytes after the word; one byte more keeps an
  // empty text from an empty buffer.
  SetFieldType(index, length + 2 * prefix + 1, 1, static_cast<short>(Var(index).sqltype));
  char* data = Var(index).sqldata;
  if (prefix) Put(data, static_cast<std::int16_t>(length));
  std::memcpy(data + prefix, value.data(), value.size());
  Var(index).sqllen = static_cast<short>(length + prefix);
}

void TZParamsSQLDA::WriteBlob(int index, TStream* stream) {
  if (NullState(index)) return;
  stream->Seek(0, soBeginning);
  const std::int64_t size = stream->Size();
  if (size < 0 || size > std::numeric_limits<std::int32_t>::max()) throw ERangeError(SRangeError);
  AnsiString data(static_cast<std::size_t>(size), '\0');
  stream->ReadBuffer(data.data(), size);
  if (IsUtf8Text(index)) data = AnsiToUtf8(data);
  const ISC_QUAD id = WriteBlobBuffer(PlainDriver().get(), dbHandle_, trHandle_, data);
  stream->Seek(0, soBeginning);
  UpdateQuad(index, id);
}
