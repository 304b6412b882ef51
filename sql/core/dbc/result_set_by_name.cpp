// The by-name forms of the result set's getters and updaters: each finds the
// column number once and calls the by-number form, so every result set class
// serves names exactly as it serves numbers.

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

int IZResultSet::GetColumnIndex(const AnsiString& columnName) {
  int columnIndex = FindColumn(columnName);
  if (columnIndex <= 0) throw EZSQLException(Format(SZColumnWasNotFound, {columnName}));
  return columnIndex;
}

using Name = const AnsiString&;

bool IZResultSet::IsNullByName(Name n) { return IsNull(GetColumnIndex(n)); }
const char* IZResultSet::GetPCharByName(Name n) { return GetPChar(GetColumnIndex(n)); }
AnsiString IZResultSet::GetStringByName(Name n) { return GetString(GetColumnIndex(n)); }
WideString IZResultSet::GetUnicodeStringByName(Name n) { return GetUnicodeString(GetColumnIndex(n)); }
bool IZResultSet::GetBooleanByName(Name n) { return GetBoolean(GetColumnIndex(n)); }
std::int8_t IZResultSet::GetByteByName(Name n) { return GetByte(GetColumnIndex(n)); }
std::int16_t IZResultSet::GetShortByName(Name n) { return GetShort(GetColumnIndex(n)); }
int IZResultSet::GetIntByName(Name n) { return GetInt(GetColumnIndex(n)); }
std::int64_t IZResultSet::GetLongByName(Name n) { return GetLong(GetColumnIndex(n)); }
float IZResultSet::GetFloatByName(Name n) { return GetFloat(GetColumnIndex(n)); }
double IZResultSet::GetDoubleByName(Name n) { return GetDouble(GetColumnIndex(n)); }
long double IZResultSet::GetBigDecimalByName(Name n) { return GetBigDecimal(GetColumnIndex(n)); }
TByteDynArray IZResultSet::GetBytesByName(Name n) { return GetBytes(GetColumnIndex(n)); }
TDateTime IZResultSet::GetDateByName(Name n) { return GetDate(GetColumnIndex(n)); }
TDateTime IZResultSet::GetTimeByName(Name n) { return GetTime(GetColumnIndex(n)); }
TDateTime IZResultSet::GetTimestampByName(Name n) { return GetTimestamp(GetColumnIndex(n)); }
std::unique_ptr<TStream> IZResultSet::GetAsciiStreamByName(Name n) { return GetAsciiStream(GetColumnIndex(n)); }
std::unique_ptr<TStream> IZResultSet::GetUnicodeStreamByName(Name n) { return GetUnicodeStream(GetColumnIndex(n)); }
std::unique_ptr<TStream> IZResultSet::GetBinaryStreamByName(Name n) { return GetBinaryStream(GetColumnIndex(n)); }
Ref<IZBlob> IZResultSet::GetBlobByName(Name n) { return GetBlob(GetColumnIndex(n)); }
TZVariant IZResultSet::GetValueByName(Name n) { return GetValue(GetColumnIndex(n)); }

void IZResultSet::UpdateNullByName(Name n) { UpdateNull(GetColumnIndex(n)); }
void IZResultSet::UpdateBooleanByName(Name n, bool v) { UpdateBoolean(GetColumnIndex(n), v); }
void IZResultSet::UpdateByteByName(Name n, std::int8_t v) { UpdateByte(GetColumnIndex(n), v); }
void IZResultSet::UpdateShortByName(Name n, std::int16_t v) { UpdateShort(GetColumnIndex(n), v); }
void IZResultSet::UpdateIntByName(Name n, int v) { UpdateInt(GetColumnIndex(n), v); }
void IZResultSet::UpdateLongByName(Name n, std::int64_t v) { UpdateLong(GetColumnIndex(n), v); }
void IZResultSet::UpdateFloatByName(Name n, float v) { UpdateFloat(GetColumnIndex(n), v); }
void IZResultSet::UpdateDoubleByName(Name n, double v) { UpdateDouble(GetColumnIndex(n), v); }
void IZResultSet::UpdateBigDecimalByName(Name n, long double v) { UpdateBigDecimal(GetColumnIndex(n), v); }
void IZResultSet::UpdatePCharByName(Name n, const char* v) { UpdatePChar(GetColumnIndex(n), v); }
void IZResultSet::UpdateStringByName(Name n, const AnsiString& v) { UpdateString(GetColumnIndex(n), v); }
void IZResultSet::UpdateUnicodeStringByName(Name n, const WideString& v) { UpdateUnicodeString(GetColumnIndex(n), v); }
void IZResultSet::UpdateBytesByName(Name n, const TByteDynArray& v) { UpdateBytes(GetColumnIndex(n), v); }
void IZResultSet::UpdateDateByName(Name n, TDateTime v) { UpdateDate(GetColumnIndex(n), v); }
void IZResultSet::UpdateTimeByName(Name n, TDateTime v) { UpdateTime(GetColumnIndex(n), v); }
void IZResultSet::UpdateTimestampByName(Name n, TDateTime v) { UpdateTimestamp(GetColumnIndex(n), v); }
void IZResultSet::UpdateAsciiStreamByName(Name n, TStream* v) { UpdateAsciiStream(GetColumnIndex(n), v); }
void IZResultSet::UpdateUnicodeStreamByName(Name n, TStream* v) { UpdateUnicodeStream(GetColumnIndex(n), v); }
void IZResultSet::UpdateBinaryStreamByName(Name n, TStream* v) { UpdateBinaryStream(GetColumnIndex(n), v); }
void IZResultSet::UpdateValueByName(Name n, const TZVariant& v) { UpdateValue(GetColumnIndex(n), v); }
