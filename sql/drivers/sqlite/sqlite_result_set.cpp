// The native SQLite result set: the statement's rows buffered whole when it
// opens, column descriptions from the declared types, and the typed reading
// of the buffered texts.

#include "sql/drivers/sqlite/sqlite_result_set.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kFetchAction[] = "FETCH";
constexpr char kFinalizeAction[] = "FINALIZE SQLite VM";
constexpr std::ptrdiff_t kNullOffset = -1;

TDateTime ParseDateTime(const char* text, bool sqlForm) {
  return sqlForm ? AnsiSqlDateToDateTime(text) : TimestampStrToDateTime(text);
}

bool LooksLikeDate(const char* text) { return IsMatch("\?\?\?\?-\?\?-\?\?*", text); }
bool LooksLikeTime(const char* text) { return IsMatch("*??:??:??*", text); }

}  // namespace

// --- metadata

TZColumnNullableType TZSQLiteResultSetMetadata::IsNullable(int column) {
  if (IsAutoIncrement(column)) return ntNullable;
  return TZAbstractResultSetMetadata::IsNullable(column);
}

// --- result set

TZSQLiteResultSet::TZSQLiteResultSet(Ref<IZSQLitePlainDriver> plainDriver, const Ref<IZStatement>& statement,
                                     const AnsiString& sql, TZSQLiteFirstStep firstStep)
    : TZAbstractResultSet(statement, sql), plainDriver_(std::move(plainDriver)), step_(std::move(firstStep)) {
  Ref<IZDatabaseMetadata> databaseMetadata;
  if (statement)
    if (Ref<IZConnection> connection = statement->GetConnection()) databaseMetadata = connection->GetMetadata();
  SetMetadata(std::make_unique<TZSQLiteResultSetMetadata>(std::move(databaseMetadata), sql, this));
  SetConcurrency(rcReadOnly);
  try {
    Open();
  } catch (...) {
    // Nothing else would finalize the library's statement.
    char* errMsg = nullptr;
    if (step_.Vm) plainDriver_->Finalize(step_.Vm, errMsg);
    if (errMsg) plainDriver_->FreeMem(errMsg);
    step_.Vm = nullptr;
    throw;
  }
}

void TZSQLiteResultSet::Open() {
  if (ResultSetConcurrency == rcUpdatable) throw EZSQLException(SZLiveResultSetsAreNotSupported);
  LastRowNo = 0;
  ColumnsInfo.Clear();
  columnCount_ = step_.ColumnCount;
  const char** names = step_.Names.get();
  for (int i = 0; i < columnCount_; ++i) AddColumn(names[i], names[columnCount_ + i]);

  longest_.assign(columnCount_, 0);
  ReadRemainingRows();
  // The cache keeps texts up to the column's precision, and the library
  // keeps whatever length it was given: the longest value decides.
  for (int i = 0; i < columnCount_; ++i) {
    TZColumnInfo& column = ColumnsInfo[i];
    if (column.ColumnType != stString && column.ColumnType != stBytes) continue;
    column.Precision = std::max<std::size_t>(column.Precision, longest_[i]);
  }
  TZAbstractResultSet::Open();
}

void TZSQLiteResultSet::AddColumn(const char* name, const char* declaredType) {
  TZColumnInfo& column = ColumnsInfo.Add();
  column.ColumnLabel = name ? name : "";
  column.TableName.clear();
  column.ReadOnly = false;
  int precision = 0, decimals = 0;
  // Each column by its own declared type; an expression has none.
  column.ColumnType = ConvertSQLiteTypeToSQLType(declaredType ? declaredType : "", precision, decimals);
  column.Precision = precision;
  column.Scale = decimals;
  column.ColumnDisplaySize = precision;
  column.AutoIncrement = false;
  column.Signed = true;
  column.Nullable = ntNullable;
}

void TZSQLiteResultSet::StoreRow(const char** values) {
  for (int i = 0; i < columnCount_; ++i) {
    const char* text = values[i];
    if (!text) {
      offsets_.push_back(kNullOffset);
      continue;
    }
    const std::size_t length = std::strlen(text);
    offsets_.push_back(static_cast<std::ptrdiff_t>(texts_.size()));
    texts_.insert(texts_.end(), text, text + length + 1);
    longest_[i] = std::max(longest_[i], length);
  }
  ++rowCount_;
}

void TZSQLiteResultSet::ReadRemainingRows() {
  while (step_.Values) {
    StoreRow(step_.Values.get());
    const char** values = nullptr;
    const char** names = nullptr;
    step_.Values.reset();
    int code = plainDriver_->Step(step_.Vm, step_.ColumnCount, values, names);
    step_.Values.reset(values);
    if (names) step_.Names.reset(names);
    CheckSQLiteError(plainDriver_.get(), code, nullptr, lcOther, kFetchAction);
  }
  step_.Names.reset();
  FreeHandle();
}

void TZSQLiteResultSet::FreeHandle() {
  char* errMsg = nullptr;
  int code = step_.Vm ? plainDriver_->Finalize(step_.Vm, errMsg) : SQLITE_OK_CODE;
  step_.Vm = nullptr;
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFinalizeAction);
}

void TZSQLiteResultSet::Close() {
  TZAbstractResultSet::Close();
  FreeHandle();
  texts_.clear();
  texts_.shrink_to_fit();
  offsets_.clear();
  offsets_.shrink_to_fit();
  rowCount_ = 0;
}

bool TZSQLiteResultSet::Next() {
  if (Closed) return false;
  if (MaxRows > 0 && RowNo >= MaxRows) return false;
  if (RowNo < rowCount_) {
    ++RowNo;
    LastRowNo = std::max(LastRowNo, RowNo);
    return true;
  }
  if (RowNo <= LastRowNo) RowNo = LastRowNo + 1;
  return false;
}

// --- values

const char* TZSQLiteResultSet::ColumnText(int columnIndex) {
  if (RowNo < 1 || RowNo > rowCount_) throw EZSQLException(SZRowDataIsNotAvailable);
  if (columnIndex < 1 || columnIndex > columnCount_)
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  const std::ptrdiff_t offset = offsets_[static_cast<std::size_t>(RowNo - 1) * columnCount_ + columnIndex - 1];
  LastWasNull = offset == kNullOffset;
  return LastWasNull ? nullptr : texts_.data() + offset;
}

const char* TZSQLiteResultSet::CheckedText(int columnIndex, TZSQLType resultType) {
  CheckColumnConversion(columnIndex, resultType);
  return ColumnText(columnIndex);
}

bool TZSQLiteResultSet::IsNull(int columnIndex) {
  CheckClosed();
  return ColumnText(columnIndex) == nullptr;
}

const char* TZSQLiteResultSet::GetPChar(int columnIndex) {
  CheckClosed();
  return ColumnText(columnIndex);
}

AnsiString TZSQLiteResultSet::GetString(int columnIndex) {
  const char* text = GetPChar(columnIndex);
  return text ? AnsiString(text) : AnsiString();
}

bool TZSQLiteResultSet::GetBoolean(int columnIndex) {
  const char* text = CheckedText(columnIndex, stBoolean);
  return text && StrToBoolEx(text);
}

std::int8_t TZSQLiteResultSet::GetByte(int columnIndex) {
  const char* text = CheckedText(columnIndex, stByte);
  return static_cast<std::int8_t>(text ? StrToIntDef(text, 0) : 0);
}

std::int16_t TZSQLiteResultSet::GetShort(int columnIndex) {
  const char* text = CheckedText(columnIndex, stShort);
  return static_cast<std::int16_t>(text ? StrToIntDef(text, 0) : 0);
}

int TZSQLiteResultSet::GetInt(int columnIndex) {
  const char* text = CheckedText(columnIndex, stInteger);
  return text ? StrToIntDef(text, 0) : 0;
}

std::int64_t TZSQLiteResultSet::GetLong(int columnIndex) {
  const char* text = CheckedText(columnIndex, stLong);
  return text ? StrToInt64Def(text, 0) : 0;
}

float TZSQLiteResultSet::GetFloat(int columnIndex) {
  const char* text = CheckedText(columnIndex, stFloat);
  return text ? static_cast<float>(SqlStrToFloatDef(text, 0)) : 0;
}

double TZSQLiteResultSet::GetDouble(int columnIndex) {
  const char* text = CheckedText(columnIndex, stDouble);
  return text ? static_cast<double>(SqlStrToFloatDef(text, 0)) : 0;
}

long double TZSQLiteResultSet::GetBigDecimal(int columnIndex) {
  const char* text = CheckedText(columnIndex, stBigDecimal);
  return text ? SqlStrToFloatDef(text, 0) : 0;
}

TByteDynArray TZSQLiteResultSet::GetBytes(int columnIndex) {
  CheckColumnConversion(columnIndex, stBytes);
  return StrToBytes(GetString(columnIndex));
}

TDateTime TZSQLiteResultSet::GetDate(int columnIndex) {
  const char* text = CheckedText(columnIndex, stDate);
  if (!text) return 0;
  TDateTime result = std::trunc(ParseDateTime(text, LooksLikeDate(text)));
  LastWasNull = result == 0;
  return result;
}

TDateTime TZSQLiteResultSet::GetTime(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTime);
  if (!text) return 0;
  TDateTime value = ParseDateTime(text, LooksLikeTime(text));
  return std::fabs(value - std::trunc(value));
}

TDateTime TZSQLiteResultSet::GetTimestamp(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTimestamp);
  if (!text) return 0;
  TDateTime result = ParseDateTime(text, LooksLikeDate(text));
  LastWasNull = result == 0;
  return result;
}

std::unique_ptr<TStream> TZSQLiteResultSet::GetAsciiStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stAsciiStream);
  return std::make_unique<TStringStream>(GetString(columnIndex));
}

std::unique_ptr<TStream> TZSQLiteResultSet::GetUnicodeStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeStream);
  return nullptr;
}

std::unique_ptr<TStream> TZSQLiteResultSet::GetBinaryStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stBinaryStream);
  return std::make_unique<TStringStream>(DecodeSQLiteString(GetString(columnIndex)));
}

Ref<IZBlob> TZSQLiteResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  if (IsNull(columnIndex)) return MakeRef<TZAbstractBlob>();
  AnsiString value = GetString(columnIndex);
  if (Metadata->GetColumnType(columnIndex) == stBinaryStream) value = DecodeSQLiteString(value);
  return TZAbstractBlob::CreateWithData(value.data(), static_cast<int>(value.size()));
}
