// Result getters: conversions of fetched columns and blob reads.

#include "sql/drivers/interbase/interbase_result_sqlda.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <ibase.h>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "sql/core/messages.h"
#include "sql/drivers/interbase/interbase_execution.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

constexpr char kInvalidStateDot[] = "Invalid State.";
constexpr int kQuadTypes[] = {SQL_DOUBLE, SQL_BLOB, SQL_ARRAY, SQL_QUAD, SQL_INT64};

template <class T>
T Get(const char* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

// The shortest text that reads back as the same value, with ".".
template <class T>
AnsiString ShortestText(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return AnsiString(buffer, result.ptr);
}

// raw × 10^scale written out exactly, trailing zeros dropped: 12345 at -2 is
// "123.45", 150 at -2 is "1.5".
AnsiString DecimalText(std::int64_t raw, int scale) {
  const bool negative = raw < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
  AnsiString digits = std::to_string(magnitude);
  const std::size_t decimals = static_cast<std::size_t>(-scale);
  if (digits.size() <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
  AnsiString whole = digits.substr(0, digits.size() - decimals);
  AnsiString fraction = digits.substr(digits.size() - decimals);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  AnsiString text = (negative ? "-" : "") + whole;
  return fraction.empty() ? text : text + "." + fraction;
}

// A variant array of the bytes, bounds 0 to size - 1.
Variant ByteArray(const AnsiString& bytes) {
  Variant array = VarArrayCreate(0, static_cast<int>(bytes.size()) - 1, varByte);
  if (!bytes.empty()) std::memcpy(VarArrayLock(array), bytes.data(), bytes.size());
  VarArrayUnlock(array);
  return array;
}

// A day number and a time of day as one value: before 1899-12-30 the time
// still counts toward zero.
TDateTime Combined(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

}  // namespace

struct TZResultSQLDA::TNumber {
  enum Kind { Integer, Float, Text } kind = Integer;
  int type = 0;
  int scale = 0;
  std::int64_t integer = 0;  // exact integers, unscaled
  long double real = 0;      // floats
  AnsiString text;           // texts

  // An exact integer with its scale applied by division toward zero.
  std::int64_t Whole() const { return scale < 0 ? integer / ScaleFactor(scale) : integer; }
};

TZResultSQLDA::TZResultSQLDA(Ref<IZInterbasePlainDriver> plainDriver, isc_db_handle* dbHandle,
                             isc_tr_handle* trHandle)
    : TZSQLDA(std::move(plainDriver)), dbHandle_(dbHandle), trHandle_(trHandle) {}

void TZResultSQLDA::AllocateSQLDA() {
  TZSQLDA::AllocateSQLDA();
  ClearBlobCache();
}

void TZResultSQLDA::ClearBlobCache() { blobCache_.assign(static_cast<std::size_t>(GetData()->sqln), std::nullopt); }

void TZResultSQLDA::ConversionError(int index) {
  throw EZIBConvertError(
      Format(SZConvertionErrorForField, {GetFieldAliasName(index), GetNameSqlType(static_cast<std::uint16_t>(
                                                                       GetIbSqlType(index)))}));
}

bool TZResultSQLDA::IsNull(int index) {
  const TZIbXSQLVar& var = Var(index);
  return var.sqlind && *var.sqlind == -1;
}

AnsiString TZResultSQLDA::DecodeString(int code, int index) {
  const TZIbXSQLVar& var = Var(index);
  if (code == SQL_VARYING) {
    const char* data = Data(index, 0);
    // The client's length word, never believed beyond the buffer.
    const int length = std::clamp<int>(Get<std::int16_t>(data), 0, var.sqllen);
    const std::string_view text(data + 2, static_cast<std::size_t>(length));
    return IsUtf8Text(index) ? ProgramText(text) : AnsiString(text);
  }
  if (code != SQL_TEXT) return AnsiString();
  AnsiString text(Data(index, 0), static_cast<std::size_t>(std::max<int>(var.sqllen, 0)));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return IsUtf8Text(index) ? ProgramText(text) : text;
}

TZResultSQLDA::TNumber TZResultSQLDA::Number(int index) {
  const TZIbXSQLVar& var = Var(index);
  TNumber number;
  number.kind = TNumber::Integer;
  number.type = var.sqltype & ~1;
  number.scale = var.sqlscale;
  const bool scaled = var.sqlscale < 0;
  switch (number.type) {
    case kSqlBoolean7:
      if (scaled) ConversionError(index);
      [[fallthrough]];
    case SQL_SHORT:
      number.integer = Get<std::int16_t>(Data(index, 2));
      return number;
    case SQL_BOOLEAN:
      if (scaled) ConversionError(index);
      number.integer = Get<std::uint8_t>(Data(index, 1));
      return number;
    case SQL_LONG:
      number.integer = Get<std::int32_t>(Data(index, 4));
      return number;
    case SQL_QUAD:
      // A quad is a number only with decimals.
      if (!scaled) ConversionError(index);
      [[fallthrough]];
    case SQL_INT64:
      number.integer = Get<std::int64_t>(Data(index, 8));
      return number;
    case SQL_DOUBLE:
      number.kind = TNumber::Float;
      number.real = Get<double>(Data(index, 8));
      return number;
    case SQL_FLOAT: case SQL_D_FLOAT:
      if (scaled) ConversionError(index);
      number.kind = TNumber::Float;
      number.real = Get<float>(Data(index, 4));
      return number;
    case SQL_VARYING: case SQL_TEXT:
      if (scaled) ConversionError(index);
      number.kind = TNumber::Text;
      number.text = DecodeString(number.type, index);
      return number;
    default:
      ConversionError(index);
  }
}

std::int64_t TZResultSQLDA::GetLong(int index) {
  if (IsNull(index)) return 0;
  const TNumber number = Number(index);
  switch (number.kind) {
    case TNumber::Integer: return number.Whole();
    case TNumber::Float: return TruncToInt64(number.real);
    case TNumber::Text: return StrToInt(number.text);
  }
  return 0;
}

std::uint8_t TZResultSQLDA::GetByte(int index) { return static_cast<std::uint8_t>(GetShort(index)); }
std::int16_t TZResultSQLDA::GetShort(int index) { return static_cast<std::int16_t>(GetLong(index)); }
std::int32_t TZResultSQLDA::GetInt(int index) { return static_cast<std::int32_t>(GetLong(index)); }

bool TZResultSQLDA::GetBoolean(int index) {
  if (IsNull(index)) return false;
  const TNumber number = Number(index);
  switch (number.kind) {
    case TNumber::Integer: return number.Whole() != 0;
    case TNumber::Float: {
      const long double whole = std::trunc(number.real);
      return number.type == SQL_DOUBLE && number.scale < 0 ? whole > 0 : whole != 0;
    }
    case TNumber::Text: return StrToInt(number.text) != 0;
  }
  return false;
}

long double TZResultSQLDA::Real(int index) {
  if (IsNull(index)) return 0;
  const TNumber number = Number(index);
  switch (number.kind) {
    case TNumber::Integer:
      return number.scale < 0 ? static_cast<long double>(number.integer) / ScaleFactor(number.scale)
                              : static_cast<long double>(number.integer);
    case TNumber::Float: return number.real;
    case TNumber::Text: return StrToFloat(number.text, '.');
  }
  return 0;
}

float TZResultSQLDA::GetFloat(int index) { return static_cast<float>(Real(index)); }
double TZResultSQLDA::GetDouble(int index) { return static_cast<double>(Real(index)); }
long double TZResultSQLDA::GetBigDecimal(int index) { return Real(index); }

AnsiString TZResultSQLDA::GetString(int index) {
  if (IsNull(index)) return AnsiString();
  const int type = GetIbSqlType(index);
  if (type == SQL_BLOB) {
    if (Var(index).sqlscale < 0) ConversionError(index);
    return BlobBytes(index);
  }
  const TNumber number = Number(index);
  switch (number.kind) {
    case TNumber::Integer:
      if (type == SQL_BOOLEAN || type == kSqlBoolean7) return (number.integer & 0xFF) == 1 ? "YES" : "NO";
      return number.scale < 0 ? DecimalText(number.integer, number.scale) : IntToStr(number.integer);
    case TNumber::Float:
      return type == SQL_DOUBLE ? ShortestText(static_cast<double>(number.real))
                                : ShortestText(static_cast<float>(number.real));
    case TNumber::Text: return number.text;
  }
  return AnsiString();
}

const char* TZResultSQLDA::GetPChar(int index) {
  pchar_ = GetString(index);
  return pchar_.c_str();
}

TByteDynArray TZResultSQLDA::GetBytes(int index) {
  CheckRange(index);
  return {};
}

TDateTime TZResultSQLDA::GetTimestamp(int index) {
  if (IsNull(index)) return 0;
  std::tm tm = {};
  switch (GetIbSqlType(index)) {
    case SQL_TIMESTAMP: {
      const auto* stamp = reinterpret_cast<const ISC_TIMESTAMP*>(Data(index, sizeof(ISC_TIMESTAMP)));
      PlainDriver()->isc_decode_date(reinterpret_cast<const ISC_QUAD*>(stamp), &tm);
      return Combined(EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), TimeOfDay(stamp->timestamp_time));
    }
    case SQL_TYPE_DATE:
      PlainDriver()->isc_decode_sql_date(reinterpret_cast<const ISC_DATE*>(Data(index, sizeof(ISC_DATE))), &tm);
      return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    case SQL_TYPE_TIME:
      return TimeOfDay(*reinterpret_cast<const ISC_TIME*>(Data(index, sizeof(ISC_TIME))));
    default:
      return static_cast<TDateTime>(TruncToInt64(GetDouble(index)));
  }
}

TDateTime TZResultSQLDA::GetDate(int index) { return std::trunc(GetTimestamp(index)); }

TDateTime TZResultSQLDA::GetTime(int index) {
  const TDateTime value = GetTimestamp(index);
  return std::fabs(value - std::trunc(value));
}

Variant TZResultSQLDA::GetValue(int index) {
  if (IsNull(index)) return Variant();
  const TZIbXSQLVar& var = Var(index);
  const int type = var.sqltype & ~1;
  const bool scaled = var.sqlscale < 0;
  switch (type) {
    case SQL_TIMESTAMP: case SQL_TYPE_DATE: case SQL_TYPE_TIME: {
      if (scaled) ConversionError(index);
      const TDateTime value = type == SQL_TIMESTAMP ? GetTimestamp(index)
                              : type == SQL_TYPE_DATE ? GetDate(index)
                                                       : GetTime(index);
      return Variant::OfFloat(varDate, value);
    }
    case SQL_BLOB: {
      if (scaled) ConversionError(index);
      return ByteArray(BlobBytes(index));
    }
    case kSqlBoolean7:
      if (scaled) ConversionError(index);
      throw EZIBConvertError(SZUnsupportedDataType);
    case SQL_BOOLEAN:
      return Variant(GetBoolean(index));
    default:
      break;
  }
  const TNumber number = Number(index);
  switch (number.kind) {
    case TNumber::Integer:
      if (scaled) return Variant(static_cast<double>(GetBigDecimal(index)));
      if (type == SQL_SHORT) return Variant::OfInteger(varSmallint, number.integer);
      if (type == SQL_LONG) return Variant(static_cast<int>(number.integer));
      return Variant(number.integer);
    case TNumber::Float: return Variant(static_cast<double>(number.real));
    case TNumber::Text: return Variant(number.text);
  }
  return Variant();
}

ISC_QUAD TZResultSQLDA::GetQuad(int index) {
  if (IsNull(index)) throw EZIBConvertError(kInvalidStateDot);
  const int type = GetIbSqlType(index);
  for (int quadType : kQuadTypes)
    if (type == quadType) return Get<ISC_QUAD>(Data(index, sizeof(ISC_QUAD)));
  throw EZIBConvertError(AnsiString(SZUnsupportedDataType) + " " + IntToStr(type));
}

void TZResultSQLDA::ReadBlobFromString(int index, AnsiString& value) {
  value = ReadBlobBuffer(PlainDriver().get(), dbHandle_, trHandle_, GetQuad(index));
  if (IsUtf8Text(index)) value = ProgramText(value);
}

void TZResultSQLDA::ReadBlobFromStream(int index, TStream* stream) {
  AnsiString bytes;
  ReadBlobFromString(index, bytes);
  stream->Seek(0, soBeginning);
  stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream->Seek(0, soBeginning);
}

void TZResultSQLDA::ReadBlobFromVariant(int index, Variant& value) {
  AnsiString bytes;
  ReadBlobFromString(index, bytes);
  value = ByteArray(bytes);
}

const AnsiString& TZResultSQLDA::BlobBytes(int index) {
  CheckRange(index);
  if (blobCache_.size() <= static_cast<std::size_t>(index)) blobCache_.resize(static_cast<std::size_t>(index) + 1);
  std::optional<AnsiString>& entry = blobCache_[static_cast<std::size_t>(index)];
  if (!entry) {
    AnsiString bytes;
    ReadBlobFromString(index, bytes);
    entry = std::move(bytes);
  }
  return *entry;
}
