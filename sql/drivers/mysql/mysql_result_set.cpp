// The native MySQL result set: field descriptors to column descriptions and
// types, cursor moves over stored and streamed results, and the typed reading
// of the column texts the library delivers.

#include "sql/drivers/mysql/mysql_result_set.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <mariadb/mysql.h>

#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/column_text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/mysql/mysql_utils.h"

namespace {

// Field flags of the client protocol.
constexpr int kNotNullFlag = 1;
constexpr int kUnsignedFlag = 32;
constexpr int kBinaryFlag = 128;
constexpr int kAutoIncrementFlag = 512;
constexpr int kTimestampFlag = 1024;

// Widest DECIMAL(n,0) that still fits a 32-bit integer, counted in the
// field's display length (digits plus sign).
constexpr int kMaxIntegerDecimalLength = 10;
// Most digits a double and a 64-bit integer always keep; an exact number
// with more is carried as its text, so that no digit is lost.
constexpr int kMaxDoubleDigits = 15;
constexpr int kMaxLongDigits = 18;
// The character set of binary strings: their bytes are no text.
constexpr int kBinaryCharset = 63;

TZSQLType DecimalType(IZMySQLPlainDriver* plainDriver, MYSQL_FIELD* field, int flags) {
  const int length = plainDriver->GetFieldLength(field);
  const int decimals = plainDriver->GetFieldDecimals(field);
  const int digits = length - (decimals != 0 ? 1 : 0) - ((flags & kUnsignedFlag) ? 0 : 1);
  if (decimals != 0) return digits > kMaxDoubleDigits ? stString : stDouble;
  if (digits > kMaxLongDigits) return stString;
  return length > kMaxIntegerDecimalLength ? stLong : stInteger;
}

TZSQLType SignedOrUnsigned(int flags, TZSQLType signedType, TZSQLType unsignedType) {
  return (flags & kUnsignedFlag) ? unsignedType : signedType;
}

TZSQLType FieldTypeByCode(IZMySQLPlainDriver* plainDriver, MYSQL_FIELD* field, int flags) {
  switch (plainDriver->GetFieldType(field)) {
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
      return DecimalType(plainDriver, field, flags);
    case MYSQL_TYPE_TINY:
      return SignedOrUnsigned(flags, stByte, stShort);
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_YEAR:
      return SignedOrUnsigned(flags, stShort, stInteger);
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
      return SignedOrUnsigned(flags, stInteger, stLong);
    case MYSQL_TYPE_LONGLONG:
      // Above 2^53 no double holds an unsigned value: its digits are kept.
      return SignedOrUnsigned(flags, stLong, stString);
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
      return stDouble;
    case MYSQL_TYPE_NULL:
      return stString;
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_DATETIME:
      return stTimestamp;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
      return stDate;
    case MYSQL_TYPE_TIME:
      return stTime;
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET:
      return stString;
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_STRING:
      return plainDriver->GetFieldCharsetNr(field) == kBinaryCharset ? stBytes : stString;
    case MYSQL_TYPE_BIT:
    case MYSQL_TYPE_GEOMETRY:
      return stBinaryStream;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
      return (flags & kBinaryFlag) ? stBinaryStream : stAsciiStream;
    default:
      throw Exception(SZUnknownMySQLDataType);
  }
}

}  // namespace

TZSQLType ConvertMySQLFieldToSQLType(IZMySQLPlainDriver* plainDriver, MYSQL_FIELD* field, int flags) {
  TZSQLType type = FieldTypeByCode(plainDriver, field, flags);
  if (plainDriver->GetFieldLength(field) <= kMaxStringColumnLength) return type;
  if (type == stString) return stAsciiStream;
  return type == stBytes ? stBinaryStream : type;
}

// --- metadata

TZMySQLResultSetMetadata::TZMySQLResultSetMetadata(Ref<IZDatabaseMetadata> metadata, const AnsiString& sql,
                                                   TZAbstractResultSet* parentResultSet, bool streamed)
    : TZAbstractResultSetMetadata(std::move(metadata), sql, parentResultSet) {
  // The session of a streamed result is busy until its last row is read, so
  // the catalogue cannot be asked meanwhile: the driver's descriptions stand.
  if (streamed) Loaded = true;
}

TZSQLType TZMySQLResultSetMetadata::GetColumnType(int column) {
  if (!Loaded && Metadata()) LoadColumns();
  return TZAbstractResultSetMetadata::GetColumnType(column);
}

// --- result set

TZMySQLResultSet::TZMySQLResultSet(Ref<IZMySQLPlainDriver> plainDriver, const Ref<IZStatement>& statement,
                                   const AnsiString& sql, MYSQL* handle, bool useResult)
    : TZAbstractResultSet(statement, sql), handle_(handle), plainDriver_(std::move(plainDriver)),
      useResult_(useResult) {
  Ref<IZDatabaseMetadata> databaseMetadata;
  if (statement)
    if (Ref<IZConnection> connection = statement->GetConnection()) databaseMetadata = connection->GetMetadata();
  SetMetadata(std::make_unique<TZMySQLResultSetMetadata>(std::move(databaseMetadata), sql, this, useResult));
  SetConcurrency(rcReadOnly);
  Open();
}

void TZMySQLResultSet::Open() {
  if (ResultSetConcurrency == rcUpdatable) throw EZSQLException(SZLiveResultSetsAreNotSupported);
  if (useResult_) {
    queryHandle_.Reset(plainDriver_.get(), plainDriver_->UseResult(handle_));
    LastRowNo = 0;
  } else {
    queryHandle_.Reset(plainDriver_.get(), plainDriver_->StoreResult(handle_));
    LastRowNo = queryHandle_ ? static_cast<int>(plainDriver_->GetRowCount(queryHandle_.get())) : 0;
  }
  if (!queryHandle_) {
    // A stored result fails whole when the server fails while sending it.
    CheckMySQLError(plainDriver_.get(), handle_, lcOther, "FETCH");
    throw EZSQLException(SZCanNotRetrieveResultSetData);
  }

  try {
    ColumnsInfo.Clear();
    const int fieldCount = plainDriver_->GetFieldCount(queryHandle_.get());
    for (int i = 0; i < fieldCount; ++i) {
      plainDriver_->SeekField(queryHandle_.get(), static_cast<MYSQL_FIELD_OFFSET>(i));
      MYSQL_FIELD* field = plainDriver_->FetchField(queryHandle_.get());
      if (!field) break;
      AddColumn(field);
    }
  } catch (...) {
    queryHandle_.Reset();
    throw;
  }
  TZAbstractResultSet::Open();
}

void TZMySQLResultSet::AddColumn(MYSQL_FIELD* field) {
  const int flags = plainDriver_->GetFieldFlags(field);
  TZColumnInfo& column = ColumnsInfo.Add();
  const char* name = plainDriver_->GetFieldName(field);
  const char* table = plainDriver_->GetFieldTable(field);
  column.ColumnLabel = name ? name : "";
  column.TableName = table ? table : "";
  // Computed columns come with an empty table name from newer libraries.
  column.ReadOnly = table == nullptr || *table == '\0';
  column.ColumnType = ConvertMySQLFieldToSQLType(plainDriver_.get(), field, flags);
  column.ColumnDisplaySize = plainDriver_->GetFieldLength(field);
  column.Precision = std::max(plainDriver_->GetFieldMaxLength(field), column.ColumnDisplaySize);
  column.Scale = plainDriver_->GetFieldDecimals(field);
  column.AutoIncrement = (flags & (kAutoIncrementFlag | kTimestampFlag)) != 0;
  column.Signed = (flags & kUnsignedFlag) == 0;
  column.Nullable = (flags & kNotNullFlag) ? ntNoNulls : ntNullable;
}

void TZMySQLResultSet::Close() {
  queryHandle_.Reset();
  rowHandle_ = nullptr;
  TZAbstractResultSet::Close();
}

bool TZMySQLResultSet::Next() {
  if (!queryHandle_) return false;
  if (MaxRows > 0 && RowNo >= MaxRows) return false;
  rowHandle_ = plainDriver_->FetchRow(queryHandle_.get());
  if (!rowHandle_) {
    // A streamed result ends the same way when the server fails midway:
    // only the session's error tells a short result from a whole one.
    if (useResult_) CheckMySQLError(plainDriver_.get(), handle_, lcOther, "FETCH");
    if (LastRowNo >= RowNo) RowNo = LastRowNo + 1;
    return false;
  }
  ++RowNo;
  if (LastRowNo < RowNo) LastRowNo = RowNo;
  return true;
}

bool TZMySQLResultSet::MoveAbsolute(int row) {
  CheckClosed();
  if (MaxRows > 0 && row > MaxRows) return false;
  if (useResult_) RaiseForwardOnlyException();
  if (row < 0) row = std::max(LastRowNo + row + 1, 0);
  if (row <= LastRowNo + 1) {
    RowNo = row;
    rowHandle_ = nullptr;
    if (row >= 1 && row <= LastRowNo) {
      plainDriver_->SeekData(queryHandle_.get(), static_cast<std::uint32_t>(row - 1));
      rowHandle_ = plainDriver_->FetchRow(queryHandle_.get());
    }
  }
  return rowHandle_ != nullptr;
}

void TZMySQLResultSet::StoreRow(TZRowAccessor& dest, const TZColumnInfoList& columns) {
  if (!rowHandle_) throw EZSQLException(SZRowDataIsNotAvailable);
  const unsigned long* lengths = plainDriver_->FetchLengths(queryHandle_.get());
  for (int column = 1; column <= columns.Count(); ++column) {
    const char* text = plainDriver_->GetFieldData(rowHandle_, column - 1);
    // The fresh row is null already.
    if (!text) continue;
    const TZSQLType type = columns[column - 1].ColumnType;
    const std::size_t length = lengths ? lengths[column - 1] : std::strlen(text);
    if (!StoreColumnText(text, length, dest, column, type)) CopyResultSetColumn(*this, column, dest, column, type);
  }
}

// --- values

const char* TZMySQLResultSet::ColumnText(int columnIndex) {
  if (!rowHandle_) throw EZSQLException(SZRowDataIsNotAvailable);
  if (columnIndex < 1) throw ERangeError(SRangeError);
  const char* text = plainDriver_->GetFieldData(rowHandle_, columnIndex - 1);
  LastWasNull = text == nullptr;
  return text;
}

const char* TZMySQLResultSet::CheckedText(int columnIndex, TZSQLType resultType) {
  CheckColumnConversion(columnIndex, resultType);
  return ColumnText(columnIndex);
}

bool TZMySQLResultSet::IsNull(int columnIndex) {
  CheckClosed();
  const char* text = ColumnText(columnIndex);
  if (!text) return true;
  TZSQLType type = Metadata->GetColumnType(columnIndex);
  if (type != stDate && type != stTimestamp) return false;
  // Zero dates, with or without a zero time, stand for "no date".
  return IsZeroSqlDate(text);
}

const char* TZMySQLResultSet::GetPChar(int columnIndex) {
  CheckClosed();
  return ColumnText(columnIndex);
}

AnsiString TZMySQLResultSet::GetString(int columnIndex) {
  CheckClosed();
  const char* text = ColumnText(columnIndex);
  if (!text) return AnsiString();
  // Binary values may hold NUL bytes: the library's length is the truth.
  const unsigned long* lengths = plainDriver_->FetchLengths(queryHandle_.get());
  return lengths ? AnsiString(text, lengths[columnIndex - 1]) : AnsiString(text);
}

WideString TZMySQLResultSet::GetUnicodeString(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeString);
  return AnsiToWide(GetString(columnIndex));
}

bool TZMySQLResultSet::GetBoolean(int columnIndex) {
  const char* text = CheckedText(columnIndex, stBoolean);
  return text && StrToBoolEx(text);
}

std::int8_t TZMySQLResultSet::GetByte(int columnIndex) {
  return static_cast<std::int8_t>(ColumnIntegerOrZero<int>(CheckedText(columnIndex, stByte)));
}

std::int16_t TZMySQLResultSet::GetShort(int columnIndex) {
  return static_cast<std::int16_t>(ColumnIntegerOrZero<int>(CheckedText(columnIndex, stShort)));
}

int TZMySQLResultSet::GetInt(int columnIndex) { return ColumnIntegerOrZero<int>(CheckedText(columnIndex, stInteger)); }

std::int64_t TZMySQLResultSet::GetLong(int columnIndex) {
  return ColumnIntegerOrZero<std::int64_t>(CheckedText(columnIndex, stLong));
}

float TZMySQLResultSet::GetFloat(int columnIndex) {
  return static_cast<float>(ColumnFloatOrZero(CheckedText(columnIndex, stFloat)));
}

double TZMySQLResultSet::GetDouble(int columnIndex) {
  return static_cast<double>(ColumnFloatOrZero(CheckedText(columnIndex, stDouble)));
}

long double TZMySQLResultSet::GetBigDecimal(int columnIndex) {
  const char* text = CheckedText(columnIndex, stBigDecimal);
  return text ? SqlStrToFloatDef(text, 0) : 0;
}

TByteDynArray TZMySQLResultSet::GetBytes(int columnIndex) {
  CheckColumnConversion(columnIndex, stBytes);
  return StrToBytes(GetString(columnIndex));
}

TDateTime TZMySQLResultSet::GetDate(int columnIndex) {
  const char* text = CheckedText(columnIndex, stDate);
  if (!text) return 0;
  return ColumnDate(text, LastWasNull);
}

TDateTime TZMySQLResultSet::GetTime(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTime);
  if (!text) return 0;
  return ColumnTime(text);
}

TDateTime TZMySQLResultSet::GetTimestamp(int columnIndex) {
  const char* text = CheckedText(columnIndex, stTimestamp);
  if (!text) return 0;
  return ColumnTimestamp(text, LastWasNull);
}

std::unique_ptr<TStream> TZMySQLResultSet::GetAsciiStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stAsciiStream);
  return std::make_unique<TStringStream>(GetString(columnIndex));
}

std::unique_ptr<TStream> TZMySQLResultSet::GetUnicodeStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stUnicodeStream);
  return nullptr;
}

std::unique_ptr<TStream> TZMySQLResultSet::GetBinaryStream(int columnIndex) {
  CheckColumnConversion(columnIndex, stBinaryStream);
  return std::make_unique<TStringStream>(GetString(columnIndex));
}

Ref<IZBlob> TZMySQLResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  if (IsNull(columnIndex)) return MakeRef<TZAbstractBlob>();
  AnsiString value = GetString(columnIndex);
  return TZAbstractBlob::CreateWithData(value.data(), static_cast<int>(value.size()));
}
