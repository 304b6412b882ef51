// The DB-Library cursor: column descriptions from the library, values read
// from its row buffer or converted by it, and the resolver's identity query.

#include "sql/drivers/dblib/dblib_result_set.h"

#include <cmath>
#include <cstring>

#include "platform/rtl/format.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/dblib/dblib_utils.h"

namespace {

// dbnextrow's answers.
constexpr STATUS kRegularRow = -1;
constexpr STATUS kFailedRow = 0;
// Three hundred ticks a second, 86400 seconds a day.
constexpr double kTicksPerDay = 25920000.0;
// Day 0 of the library is 1900-01-01, two days after TDateTime's day 0.
constexpr double kEpochShift = 2.0;
// Room for a value converted to text.
constexpr int kTextBufferSize = 4001;

AnsiString WithoutTrailingBlanks(const char* text, std::size_t length) {
  while (length > 0 && text[length - 1] == ' ') --length;
  return AnsiString(text, length);
}

}  // namespace

TDateTime DBLibDateTimeToDateTime(const BYTE* data) {
  DBINT days, time;
  std::memcpy(&days, data, sizeof days);
  std::memcpy(&time, data + sizeof days, sizeof time);
  // Before TDateTime's day 0 the time of day counts away from zero.
  const TDateTime date = days + kEpochShift;
  return date < 0 ? date - time / kTicksPerDay : date + time / kTicksPerDay;
}

// --- TZDBLibResultSet

TZDBLibResultSet::TZDBLibResultSet(const Ref<IZStatement>& statement, const AnsiString& sql)
    : TZAbstractResultSet(statement, sql), connection_(Query<IZDBLibConnection>(statement->GetConnection())) {
  plainDriver_ = connection_->GetPlainDriver();
  handle_ = connection_->GetConnectionHandle();
  msSql_ = plainDriver_->GetProtocol() == "mssql";
  Open();
}

void TZDBLibResultSet::Open() {
  if (plainDriver_->dbcmdrow(handle_) != kDBSucceed) throw EZSQLException(SZCanNotRetrieveResultSetData);
  ColumnsInfo.Clear();
  columnCount_ = plainDriver_->dbnumcols(handle_);
  colTypes_.assign(columnCount_ + 1, 0);
  for (int i = 1; i <= columnCount_; ++i) {
    const AnsiString name = plainDriver_->dbcolname(handle_, i);
    const int type = plainDriver_->dbcoltype(handle_, i);
    TZColumnInfo& column = ColumnsInfo.Add();
    column.ColumnLabel = name;
    column.ColumnName = name;
    column.ColumnType = ConvertDBLibToSqlType(static_cast<std::int16_t>(type));
    column.Currency = type == kDBLibMoney || type == kDBLibMoneyN || type == kDBLibMoney4;
    column.Precision = plainDriver_->dbcollen(handle_, i);
    column.Scale = 0;
    column.Signed = type != kDBLibInt1;
    colTypes_[i] = type;
  }
  TZAbstractResultSet::Open();
}

void TZDBLibResultSet::Close() {
  handle_ = nullptr;
  colTypes_.clear();
  columnCount_ = 0;
  TZAbstractResultSet::Close();
}

bool TZDBLibResultSet::Next() {
  if (Closed) return false;
  if (msSql_ && plainDriver_->dbdead(handle_)) return false;
  const STATUS status = plainDriver_->dbnextrow(handle_);
  if (status == kRegularRow) return true;
  if (status == kFailedRow) connection_->CheckDBLibError(lcOther, "NEXT");
  return false;
}

bool TZDBLibResultSet::MoveAbsolute(int) { RaiseUnsupportedException(); }

BYTE* TZDBLibResultSet::ColumnData(int columnIndex, DBINT& length) {
  CheckClosed();
  if (columnIndex < 1 || columnIndex > columnCount_)
    throw EZSQLException(Format(SZColumnIsNotAccessable, {columnIndex}));
  BYTE* data = plainDriver_->dbdata(handle_, columnIndex);
  length = plainDriver_->dbdatlen(handle_, columnIndex);
  LastWasNull = data == nullptr;
  return data;
}

bool TZDBLibResultSet::ReadAs(int columnIndex, int nativeType, void* result, int size, const char* logText) {
  DBINT length = 0;
  const BYTE* data = ColumnData(columnIndex, length);
  std::memset(result, 0, size);
  if (data) {
    if (colTypes_[columnIndex] == nativeType)
      std::memcpy(result, data, size);
    else
      plainDriver_->dbconvert(handle_, colTypes_[columnIndex], data, length, nativeType, static_cast<BYTE*>(result),
                              size);
  }
  connection_->CheckDBLibError(lcOther, logText);
  return data != nullptr;
}

bool TZDBLibResultSet::IsNull(int columnIndex) {
  DBINT length = 0;
  return ColumnData(columnIndex, length) == nullptr;
}

AnsiString TZDBLibResultSet::GetString(int columnIndex) {
  DBINT length = 0;
  const BYTE* data = ColumnData(columnIndex, length);
  AnsiString result;
  if (data) {
    const int type = colTypes_[columnIndex];
    if (type == kDBLibText || type == kDBLibChar) {
      result = WithoutTrailingBlanks(reinterpret_cast<const char*>(data), length);
    } else if (type == kDBLibImage) {
      result.assign(reinterpret_cast<const char*>(data), length);
    } else {
      char buffer[kTextBufferSize] = {};
      const DBINT written = plainDriver_->dbconvert(handle_, type, data, length, kDBLibChar,
                                                    reinterpret_cast<BYTE*>(buffer), kTextBufferSize);
      if (written > 0) result = WithoutTrailingBlanks(buffer, std::min<DBINT>(written, kTextBufferSize));
    }
  }
  connection_->CheckDBLibError(lcOther, "GETSTRING");
  return result;
}

bool TZDBLibResultSet::GetBoolean(int columnIndex) {
  BYTE value;
  ReadAs(columnIndex, kDBLibBit, &value, sizeof value, "GETBOOLEAN");
  return value != 0;
}

std::int8_t TZDBLibResultSet::GetByte(int columnIndex) {
  std::int8_t value;
  ReadAs(columnIndex, kDBLibInt1, &value, sizeof value, "GETBYTE");
  return value;
}

std::int16_t TZDBLibResultSet::GetShort(int columnIndex) {
  std::int16_t value;
  ReadAs(columnIndex, kDBLibInt2, &value, sizeof value, "GETSHORT");
  return value;
}

int TZDBLibResultSet::GetInt(int columnIndex) {
  DBINT value;
  ReadAs(columnIndex, kDBLibInt4, &value, sizeof value, "GETINT");
  return value;
}

std::int64_t TZDBLibResultSet::GetLong(int columnIndex) {
  // Read through four bytes, a bigint would lose its upper half.
  if (columnIndex >= 1 && columnIndex <= columnCount_ && colTypes_[columnIndex] == kDBLibInt8) {
    std::int64_t value;
    ReadAs(columnIndex, kDBLibInt8, &value, sizeof value, "GETLONG");
    return value;
  }
  return GetInt(columnIndex);
}

float TZDBLibResultSet::GetFloat(int columnIndex) {
  float value;
  ReadAs(columnIndex, kDBLibReal, &value, sizeof value, "GETFLOAT");
  return value;
}

double TZDBLibResultSet::GetDouble(int columnIndex) {
  double value;
  ReadAs(columnIndex, kDBLibFloat, &value, sizeof value, "GETDOUBLE");
  return value;
}

long double TZDBLibResultSet::GetBigDecimal(int columnIndex) { return GetDouble(columnIndex); }

TDateTime TZDBLibResultSet::GetTimestamp(int columnIndex) {
  BYTE value[2 * sizeof(DBINT)];
  if (!ReadAs(columnIndex, kDBLibDateTime, value, sizeof value, "GETTIMESTAMP")) return 0;
  return DBLibDateTimeToDateTime(value);
}

TDateTime TZDBLibResultSet::GetDate(int columnIndex) { return std::trunc(GetTimestamp(columnIndex)); }

TDateTime TZDBLibResultSet::GetTime(int columnIndex) {
  const TDateTime value = GetTimestamp(columnIndex);
  return std::fabs(value - std::trunc(value));
}

TByteDynArray TZDBLibResultSet::GetBytes(int columnIndex) {
  DBINT length = 0;
  const BYTE* data = ColumnData(columnIndex, length);
  connection_->CheckDBLibError(lcOther, "GETBYTES");
  return data ? TByteDynArray(data, data + length) : TByteDynArray();
}

Ref<IZBlob> TZDBLibResultSet::GetBlob(int columnIndex) {
  CheckBlobColumn(columnIndex);
  DBINT length = 0;
  const BYTE* data = ColumnData(columnIndex, length);
  if (!data) return MakeRef<TZAbstractBlob>();
  return TZAbstractBlob::CreateWithData(data, length);
}

// --- TZDBLibCachedResolver

TZDBLibCachedResolver::TZDBLibCachedResolver(const Ref<IZStatement>& statement,
                                             const Ref<IZResultSetMetadata>& metadata)
    : TZGenericCachedResolver(statement, metadata) {}

void TZDBLibCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                        TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  TZGenericCachedResolver::PostUpdates(sender, updateType, oldRowAccessor, newRowAccessor);
  if (autoColumnIndex_ < 0) {
    autoColumnIndex_ = 0;
    for (int i = 1; i <= Metadata->GetColumnCount() && autoColumnIndex_ == 0; ++i)
      if (Metadata->IsAutoIncrement(i)) autoColumnIndex_ = i;
  }
  if (updateType == utInserted && autoColumnIndex_ > 0)
    FillGeneratedValue(newRowAccessor, autoColumnIndex_, "SELECT @@IDENTITY");
}
