// The native SQLite result set (the statement stepped row by row, column
// descriptions from the declared types, the typed reading of the texts) and
// the cache that takes its rows straight from the library's values.

#include "sql/drivers/sqlite/sqlite_result_set.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/column_text.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kFetchAction[] = "FETCH";
constexpr char kFinalizeAction[] = "FINALIZE SQLite VM";

}  // namespace

// --- metadata

TZColumnNullableType TZSQLiteResultSetMetadata::IsNullable(int column) {
  if (IsAutoIncrement(column)) return ntNullable;
  return TZAbstractResultSetMetadata::IsNullable(column);
}

void TZSQLiteResultSetMetadata::LoadColumn(int columnIndex, TZColumnInfo& columnInfo,
                                           IZSelectSchema* selectSchema) {
  const TZSQLType widened = columnInfo.ColumnType;
  TZAbstractResultSetMetadata::LoadColumn(columnIndex, columnInfo, selectSchema);
  if (widened == stAsciiStream && columnInfo.ColumnType == stString) columnInfo.ColumnType = stAsciiStream;
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
  typedRows_ = plainDriver_->HasTypedRows();
  const auto count = static_cast<std::size_t>(columnCount_);
  values_.assign(count, TZSQLiteValue{0});
  texts_.assign(count, nullptr);
  textMade_.assign(count, 1);
  copies_.assign(count, std::string());
  // The first row is the first step's texts, or the library's values where
  // the driver gives them: only those tell a text's length.
  onRow_ = step_.Values != nullptr;
  if (onRow_ && typedRows_) {
    plainDriver_->RowValues(step_.Vm, columnCount_, values_.data());
    std::fill(textMade_.begin(), textMade_.end(), 0);
  } else if (onRow_) {
    std::copy_n(step_.Values.get(), count, texts_.begin());
  }
  WidenColumns();
  if (!onRow_) FreeHandle();
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

// The cache keeps texts up to the column's precision, and the library keeps
// whatever length it was given: the longest value decides. A fixed text ends
// at its first NUL byte, so a text holding one makes its column a stream.
void TZSQLiteResultSet::WidenColumns() {
  for (int i = 0; i < columnCount_; ++i) {
    TZColumnInfo& column = ColumnsInfo[i];
    if (column.ColumnType != stString && column.ColumnType != stBytes) continue;
    const char* text = onRow_ ? TextOf(i) : nullptr;
    const std::size_t length = text ? TextLength(i) : 0;
    if (length > static_cast<std::size_t>(std::max(column.Precision, 0))) {
      column.Precision = static_cast<int>(length);
      ++widenings_;
    }
    if (column.ColumnType != stString) continue;
    if (column.Precision > kMaxStringColumnLength || (text && std::memchr(text, 0, length))) {
      column.ColumnType = stAsciiStream;
      ++widenings_;
    }
  }
}

const char* TZSQLiteResultSet::TextOf(int i) {
  if (textMade_[i]) return texts_[i];
  const TZSQLiteValue& value = values_[i];
  const char* text = nullptr;
  if (value.Storage == SQLITE_TEXT_STORAGE) text = value.Text;
  else if (value.Storage != SQLITE_NULL_STORAGE)
    text = plainDriver_->ColumnText(step_.Vm, i, step_.Names[columnCount_ + i], copies_[i]);
  texts_[i] = text;
  textMade_[i] = 1;
  return text;
}

std::size_t TZSQLiteResultSet::TextLength(int i) {
  const TZSQLiteValue& value = values_[i];
  if (value.Storage == SQLITE_TEXT_STORAGE) return static_cast<std::size_t>(value.Length);
  return std::strlen(texts_[i]);
}

bool TZSQLiteResultSet::StepStatement() {
  int code;
  if (typedRows_) {
    step_.Values.reset();
    code = plainDriver_->StepRow(step_.Vm, columnCount_, values_.data());
    if (code == SQLITE_ROW_CODE) std::fill(textMade_.begin(), textMade_.end(), 0);
  } else {
    const char** values = nullptr;
    const char** names = nullptr;
    step_.Values.reset();
    code = plainDriver_->Step(step_.Vm, step_.ColumnCount, values, names);
    step_.Values.reset(values);
    if (names) step_.Names.reset(names);
    if (values) std::copy_n(values, columnCount_, texts_.begin());
  }
  if (code != SQLITE_ROW_CODE && code != SQLITE_DONE_CODE) {
    char* errMsg = nullptr;
    code = FinalizeStatement(plainDriver_.get(), step_.Vm, code, &errMsg);
    step_.Vm = nullptr;
    onRow_ = false;
    CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFetchAction);
  }
  onRow_ = code == SQLITE_ROW_CODE;
  if (onRow_) WidenColumns();
  return onRow_;
}

void TZSQLiteResultSet::FreeHandle() {
  char* errMsg = nullptr;
  int code = step_.Vm ? plainDriver_->Finalize(step_.Vm, errMsg) : SQLITE_OK_CODE;
  step_.Vm = nullptr;
  step_.Values.reset();
  step_.Names.reset();
  onRow_ = false;
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFinalizeAction);
}

void TZSQLiteResultSet::Close() {
  TZAbstractResultSet::Close();
  FreeHandle();
  values_.clear();
  texts_.clear();
  textMade_.clear();
  copies_.clear();
}

// Forward only; the statement is finalized as soon as no row follows (or
// the row limit is reached), so that it holds no lock on the database.
bool TZSQLiteResultSet::Next() {
  if (Closed) return false;
  bool found = false;
  if (MaxRows > 0 && RowNo >= MaxRows) found = false;
  else if (LastRowNo == 0 && RowNo == 0) found = onRow_;
  else found = step_.Vm && StepStatement();
  if (found) {
    ++RowNo;
    LastRowNo = std::max(LastRowNo, RowNo);
    return true;
  }
  if (RowNo <= LastRowNo) RowNo = LastRowNo + 1;
  if (step_.Vm) FreeHandle();
  return false;
}

void TZSQLiteResultSet::StoreRow(TZRowAccessor& dest, const TZColumnInfoList& columns) {
  for (int i = 0; i < columnCount_; ++i) {
    const TZSQLiteValue& value = values_[i];
    const int column = i + 1;
    const TZSQLType type = columns[i].ColumnType;
    switch (value.Storage) {
      // The fresh row is null already.
      case SQLITE_NULL_STORAGE: continue;
      case SQLITE_INTEGER_STORAGE: {
        // A 32-bit column reads 0 for what does not fit, and the byte and
        // short columns cut that.
        const std::int64_t number = value.Integer;
        const int narrow = number >= INT32_MIN && number <= INT32_MAX ? static_cast<int>(number) : 0;
        switch (type) {
          case stByte: dest.SetByte(column, static_cast<std::int8_t>(narrow)); continue;
          case stShort: dest.SetShort(column, static_cast<std::int16_t>(narrow)); continue;
          case stInteger: dest.SetInt(column, narrow); continue;
          case stLong: dest.SetLong(column, number); continue;
          case stDouble: dest.SetDouble(column, static_cast<double>(number)); continue;
          default: break;
        }
        break;
      }
      case SQLITE_FLOAT_STORAGE:
        if (type == stDouble) {
          dest.SetDouble(column, value.Real);
          continue;
        }
        break;
      case SQLITE_TEXT_STORAGE:
        if (StoreColumnText(value.Text, static_cast<std::size_t>(value.Length), dest, column, type)) continue;
        break;
      default: break;
    }
    CopyResultSetColumn(*this, column, dest, column, type);
  }
}

// --- values

const char* TZSQLiteResultSet::ColumnText(int columnIndex) {
  if (!onRow_ || RowNo < 1 || RowNo > LastRowNo) throw EZSQLException(SZRowDataIsNotAvailable);
  if (columnIndex < 1 || columnIndex > columnCount_)
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  const char* text = TextOf(columnIndex - 1);
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
  return text ? AnsiString(text, TextLength(columnIndex - 1)) : AnsiString();
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

// --- cache

// A column the cursor widened is laid out at least twice as wide (up to the
// widest fixed text), so that ever longer values do not relay the rows each
// time.
void TZSQLiteCachedResultSet::PrepareFetchedRow() {
  if (native_->Widenings() == widenings_) return;
  widenings_ = native_->Widenings();
  const TZColumnInfoList& wanted = native_->GetColumnsInfo();
  TZColumnInfoList columns;
  for (int i = 0; i < ColumnsInfo.Count(); ++i) {
    const TZColumnInfo& have = ColumnsInfo[i];
    const TZColumnInfo& want = wanted[i];
    if (have.ColumnType != stString && have.ColumnType != stBytes) continue;
    if (want.ColumnType == have.ColumnType && want.Precision <= have.Precision) continue;
    if (columns.Count() == 0) CopyColumnInfoList(ColumnsInfo, columns);
    columns[i].ColumnType = want.ColumnType;
    columns[i].Precision = std::max(want.Precision, std::min(2 * have.Precision, kMaxStringColumnLength));
  }
  if (columns.Count() != 0) ChangeColumns(columns);
}
