// The native PostgreSQL result set: column descriptions from the result's
// field types, cursor moves over the rows in client memory, and the typed
// reading of each value's text. Typed getters read the text where libpq keeps
// it, so fetching makes no copy unless a string is asked for.

#include "sql/drivers/postgresql/postgresql_result_set.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/postgresql/postgresql_blob.h"
#include "sql/drivers/postgresql/postgresql_dates.h"
#include "sql/drivers/postgresql/postgresql_encodings.h"
#include "sql/drivers/postgresql/postgresql_types.h"

namespace {

constexpr Oid kBpcharOid = 1042;

// The whole text as a number; fallback's answer when it is not one.
template <typename T>
T IntegerOrZero(const char* text, int length) {
  if (!text) return 0;
  T value = 0;
  auto [ptr, ec] = std::from_chars(text, text + length, value);
  if (ec == std::errc() && ptr == text + length) return value;
  return static_cast<T>(StrToInt64Def(Trim(AnsiString(text, static_cast<std::size_t>(length))), 0));
}

long double FloatOrZero(const char* text, int length) {
  if (!text) return 0;
  double value = 0;
  auto [ptr, ec] = std::from_chars(text, text + length, value);
  if (ec == std::errc() && ptr == text + length) return value;
  return SqlStrToFloatDef(AnsiString(text, static_cast<std::size_t>(length)), 0);
}

// "????-??-??*"
bool LooksLikeDate(const char* text, int length) { return length >= 10 && text[4] == '-' && text[7] == '-'; }

// "*??:??:??*"
bool LooksLikeTime(const char* text, int length) {
  for (int i = 0; i + 8 <= length; ++i)
    if (text[i + 2] == ':' && text[i + 5] == ':') return true;
  return false;
}

}  // namespace

TZPostgreSQLResultSet::TZPostgreSQLResultSet(Ref<IZPostgreSQLPlainDriver> plainDriver,
                                             const Ref<IZStatement>& statement, const AnsiString& sql,
                                             TZPostgreSQLResultHandle result)
    : TZAbstractResultSet(statement, sql), plainDriver_(std::move(plainDriver)), queryHandle_(std::move(result)) {
  SetConcurrency(rcReadOnly);
  Open();
}

Ref<IZPostgreSQLConnection> TZPostgreSQLResultSet::PgConnection() {
  return Statement ? Query<IZPostgreSQLConnection>(Statement->GetConnection()) : nullptr;
}

void TZPostgreSQLResultSet::Open() {
  if (ResultSetConcurrency == rcUpdatable) throw EZSQLException(SZLiveResultSetsAreNotSupported);
  if (!queryHandle_) throw EZSQLException(SZCanNotRetrieveResultSetData);
  Ref<IZPostgreSQLConnection> connection = PgConnection();
  if (!connection) throw EZSQLException(SZCanNotRetrieveResultSetData);
  LastRowNo = plainDriver_->PQntuples(queryHandle_.get());
  ColumnsInfo.Clear();
  DescribeColumns(connection.get(), plainDriver_.get(), queryHandle_.get(), ColumnsInfo);
  blankPadded_.assign(static_cast<std::size_t>(ColumnsInfo.Count()), false);
  for (int i = 0; i < ColumnsInfo.Count(); ++i)
    blankPadded_[static_cast<std::size_t>(i)] = plainDriver_->PQftype(queryHandle_.get(), i) == kBpcharOid;
  TZAbstractResultSet::Open();
}

void TZPostgreSQLResultSet::Close() {
  queryHandle_.Reset();
  TZAbstractResultSet::Close();
}

void TZPostgreSQLResultSet::FitStringPrecisions() {
  for (int i = 0; i < ColumnsInfo.Count(); ++i) {
    TZColumnInfo& column = ColumnsInfo[i];
    if (column.ColumnType != stString && column.ColumnType != stUnicodeString) continue;
    for (int row = 0; row < LastRowNo; ++row)
      column.Precision = std::max(column.Precision, plainDriver_->PQgetlength(queryHandle_.get(), row, i));
  }
}

bool TZPostgreSQLResultSet::MoveAbsolute(int row) {
  CheckClosed();
  if (MaxRows > 0 && row > MaxRows) return false;
  if (row < 0) row = std::max(LastRowNo + row + 1, 0);
  // A forward-only reader may go on, never back.
  if (ResultSetType == rtForwardOnly && row < RowNo) RaiseForwardOnlyException();
  if (row > LastRowNo + 1) return false;
  RowNo = row;
  return row >= 1 && row <= LastRowNo;
}

// --- values

const char* TZPostgreSQLResultSet::ColumnText(int columnIndex, int& length) {
  if (RowNo < 1 || RowNo > LastRowNo) throw EZSQLException(SZRowDataIsNotAvailable);
  const int row = RowNo - 1, column = columnIndex - 1;
  LastWasNull = plainDriver_->PQgetisnull(queryHandle_.get(), row, column) != 0;
  if (LastWasNull) {
    length = 0;
    return nullptr;
  }
  const char* text = plainDriver_->PQgetvalue(queryHandle_.get(), row, column);
  length = plainDriver_->PQgetlength(queryHandle_.get(), row, column);
  if (blankPadded_[static_cast<std::size_t>(column)])
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= ' ') --length;
  return text;
}

const char* TZPostgreSQLResultSet::CheckedText(int columnIndex, TZSQLType resultType, int& length) {
  CheckColumnConversion(columnIndex, resultType);
  return ColumnText(columnIndex, length);
}

bool TZPostgreSQLResultSet::IsNull(int columnIndex) {
  CheckClosed();
  if (columnIndex < 1 || columnIndex > ColumnsInfo.Count())
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  int length = 0;
  return ColumnText(columnIndex, length) == nullptr;
}

const char* TZPostgreSQLResultSet::GetPChar(int columnIndex) {
  TemporaryString = GetString(columnIndex);
  return LastWasNull ? nullptr : TemporaryString.c_str();
}

AnsiString TZPostgreSQLResultSet::GetString(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stString, length);
  return text ? AnsiString(text, static_cast<std::size_t>(length)) : AnsiString();
}

WideString TZPostgreSQLResultSet::GetUnicodeString(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeString);
  return AnsiToWide(GetString(columnIndex));
}

bool TZPostgreSQLResultSet::GetBoolean(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stBoolean, length);
  if (!text) return false;
  const AnsiString upper = UpperCase(AnsiString(text, static_cast<std::size_t>(length)));
  if (upper == "Y" || upper == "YES" || upper == "T" || upper == "TRUE") return true;
  return IntegerOrZero<std::int64_t>(text, length) != 0;
}

std::int8_t TZPostgreSQLResultSet::GetByte(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stByte, length);
  return static_cast<std::int8_t>(IntegerOrZero<int>(text, length));
}

std::int16_t TZPostgreSQLResultSet::GetShort(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stShort, length);
  return static_cast<std::int16_t>(IntegerOrZero<int>(text, length));
}

int TZPostgreSQLResultSet::GetInt(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stInteger, length);
  return IntegerOrZero<int>(text, length);
}

std::int64_t TZPostgreSQLResultSet::GetLong(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stLong, length);
  return IntegerOrZero<std::int64_t>(text, length);
}

float TZPostgreSQLResultSet::GetFloat(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stFloat, length);
  return static_cast<float>(FloatOrZero(text, length));
}

double TZPostgreSQLResultSet::GetDouble(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stDouble, length);
  return static_cast<double>(FloatOrZero(text, length));
}

long double TZPostgreSQLResultSet::GetBigDecimal(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stBigDecimal, length);
  if (!text) return 0;
  // Every digit the long double holds; NaN and the infinities by name.
  long double value = 0;
  auto [end, error] = std::from_chars(text, text + length, value);
  if (error == std::errc() && end == text + length) return value;
  return SqlStrToFloatDef(AnsiString(text, static_cast<std::size_t>(length)), 0);
}

TByteDynArray TZPostgreSQLResultSet::GetBytes(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stBytes, length);
  if (!text) return TByteDynArray();
  return StrToBytes(UnescapeByteaText(AnsiString(text, static_cast<std::size_t>(length))));
}

TDateTime TZPostgreSQLResultSet::GetDate(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stDate, length);
  if (!text) return 0;
  return std::trunc(ParseServerDateTime(text, length, LooksLikeDate(text, length)));
}

TDateTime TZPostgreSQLResultSet::GetTime(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stTime, length);
  if (!text) return 0;
  const TDateTime value = ParseServerDateTime(text, length, LooksLikeTime(text, length));
  return std::fabs(value - std::trunc(value));
}

TDateTime TZPostgreSQLResultSet::GetTimestamp(int columnIndex) {
  int length = 0;
  const char* text = CheckedText(columnIndex, stTimestamp, length);
  if (!text) return 0;
  return ParseServerDateTime(text, length, LooksLikeDate(text, length));
}

Ref<IZBlob> TZPostgreSQLResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  int length = 0;
  const char* text = ColumnText(columnIndex, length);
  const TZSQLType type = Metadata->GetColumnType(columnIndex);
  Ref<IZPostgreSQLConnection> connection = PgConnection();
  if (type == stBinaryStream && connection && connection->IsOidAsBlob()) {
    // The object is read when its content is first asked for.
    const Oid oid = text ? static_cast<Oid>(IntegerOrZero<std::int64_t>(text, length)) : 0;
    return MakeRef<TZPostgreSQLBlob>(plainDriver_, AnsiString(), connection, oid);
  }
  if (!text) return MakeRef<TZAbstractBlob>();
  AnsiString value(text, static_cast<std::size_t>(length));
  if (type == stBinaryStream) value = plainDriver_->UnescapeBytea(value);
  return TZAbstractBlob::CreateWithData(value.data(), static_cast<int>(value.size()));
}
