// The native SQLite result set: the statement's rows buffered whole when it
// opens, column descriptions from the declared types, and the typed reading
// of the buffered texts.

#include "sql/drivers/sqlite/sqlite_result_set.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/column_text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kFetchAction[] = "FETCH";
constexpr char kFinalizeAction[] = "FINALIZE SQLite VM";
// Copied texts are kept in blocks of this size (or of one longer text).
constexpr std::size_t kTextBlockBytes = 1 << 20;

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
    if (step_.Vm) FinalizeStatement(plainDriver_.get(), step_.Vm, SQLITE_OK_CODE);
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
  // keeps whatever length it was given: the longest value decides, and a
  // text column too wide for fixed rows becomes a stream.
  for (int i = 0; i < columnCount_; ++i) {
    TZColumnInfo& column = ColumnsInfo[i];
    if (column.ColumnType != stString && column.ColumnType != stBytes) continue;
    column.Precision = static_cast<int>(std::max<std::size_t>(column.Precision, longest_[i]));
    if (column.ColumnType == stString && column.Precision > kMaxStringColumnLength)
      column.ColumnType = stAsciiStream;
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

const char* TZSQLiteResultSet::KeepText(const char* text, std::size_t length) {
  if (blockFree_ < length + 1) {
    const std::size_t size = std::max(kTextBlockBytes, length + 1);
    blocks_.push_back(std::make_unique<char[]>(size));
    blockEnd_ = blocks_.back().get();
    blockFree_ = size;
  }
  char* copy = blockEnd_;
  std::memcpy(copy, text, length + 1);
  blockEnd_ += length + 1;
  blockFree_ -= length + 1;
  return copy;
}

void TZSQLiteResultSet::StoreRow(const char** values) {
  for (int i = 0; i < columnCount_; ++i) {
    const char* text = values[i];
    if (!text) {
      values_.push_back(nullptr);
      continue;
    }
    const std::size_t length = std::strlen(text);
    values_.push_back(KeepText(text, length));
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
    if (code != SQLITE_ROW_CODE && code != SQLITE_DONE_CODE) {
      char* errMsg = nullptr;
      code = FinalizeStatement(plainDriver_.get(), step_.Vm, code, &errMsg);
      step_.Vm = nullptr;
      CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFetchAction);
    }
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
  values_.clear();
  values_.shrink_to_fit();
  blocks_.clear();
  blockFree_ = 0;
  blockEnd_ = nullptr;
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
  const char* text = values_[static_cast<std::size_t>(RowNo - 1) * columnCount_ + columnIndex - 1];
  LastWasNull = text == nullptr;
  return text;
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
  return static_cast<std::int8_t>(ColumnIntegerOrZero<int>(CheckedText(columnIndex, stByte)));
}

std::int16_t TZSQLiteResultSet::GetShort(int columnIndex) {
  return static_cast<std::int16_t>(ColumnIntegerOrZero<int>(CheckedText(columnIndex, stShort)));
}

int TZSQLiteResultSet::GetInt(int columnIndex) { return ColumnIntegerOrZero<int>(CheckedText(columnIndex, stInteger)); }

std::int64_t TZSQLiteResultSet::GetLong(int columnIndex) {
  return ColumnIntegerOrZero<std::int64_t>(CheckedText(columnIndex, stLong));
}

float TZSQLiteResultSet::GetFloat(int columnIndex) {
  return static_cast<float>(ColumnFloatOrZero(CheckedText(columnIndex, stFloat)));
}

double TZSQLiteResultSet::GetDouble(int columnIndex) {
  return static_cast<double>(ColumnFloatOrZero(CheckedText(columnIndex, stDouble)));
}

long double TZSQLiteResultSet::GetBigDecimal(int columnIndex) {
  return ColumnFloatOrZero(CheckedText(columnIndex, stBigDecimal));
}

TByteDynArray TZSQLiteResultSet::GetBytes(int columnIndex) {
  CheckColumnConversion(columnIndex, stBytes);
  AnsiString value = GetString(columnIndex);
  if (Metadata->GetColumnType(columnIndex) == stBytes) value = DecodeSQLiteString(value);
  return StrToBytes(value);
}

TDateTime TZSQLiteResultSet::GetDate(int columnIndex) {
  const char* text = CheckedText(columnIndex, stDate);
  return text ? ColumnDate(text, LastWasNull) : 0;
}

TDateTime TZSQLiteResultSet::GetTime(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTime);
  return text ? ColumnTime(text) : 0;
}

TDateTime TZSQLiteResultSet::GetTimestamp(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTimestamp);
  return text ? ColumnTimestamp(text, LastWasNull) : 0;
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
