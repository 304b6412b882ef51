// Moving an ASA cursor, reading its values and changing its rows in place.
// A fetch moves one row into the statement's result area; nothing is
// buffered here, that is the cached result set's work.

#include "sql/drivers/asa/asa_result_set.h"

#include <cstdlib>
#include <limits>

#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/variant_bridge.h"
#include "sql/drivers/asa/asa_utils.h"

namespace {

constexpr int kUnknownLastRow = std::numeric_limits<int>::max();
constexpr short kFetchAbsolute = 1;
constexpr short kFetchRelative = 2;

}  // namespace

TZASAResultSet::TZASAResultSet(const Ref<IZStatement>& statement, const AnsiString& sql, short stmtNum,
                               const AnsiString& cursorName, Ref<IZASASQLDA> sqlData, bool cachedBlob)
    : TZAbstractResultSet(statement, sql),
      cachedBlob_(cachedBlob),
      cursorName_(cursorName),
      stmtNum_(stmtNum),
      sqlData_(std::move(sqlData)),
      connection_(Query<IZASAConnection>(statement->GetConnection())) {
  SetType(rtScrollSensitive);
  SetConcurrency(rcUpdatable);
  Open();
}

void TZASAResultSet::Open() {
  if (stmtNum_ == 0) throw EZSQLException(SZCanNotRetrieveResultSetData);
  ColumnsInfo.Clear();
  for (int i = 0; i < sqlData_->GetFieldCount(); ++i) {
    TZColumnInfo& info = ColumnsInfo.Add();
    info.ColumnName = sqlData_->GetFieldName(i);
    info.ColumnLabel = info.ColumnName;
    info.ColumnType = sqlData_->GetFieldSqlType(i);
    if (info.ColumnType == stString || info.ColumnType == stUnicodeString) info.Precision = sqlData_->GetFieldLength(i);
    info.ReadOnly = false;
    info.Nullable = ntNullable;
    info.Scale = sqlData_->GetFieldScale(i);
    info.AutoIncrement = false;
    info.CaseSensitive = false;
  }
  LastRowNo = kUnknownLastRow;
  TZAbstractResultSet::Open();
}

void TZASAResultSet::Check(const AnsiString& message) {
  CheckASAError(connection_->GetPlainDriver().get(), connection_->GetDBHandle(), lcOther, message);
}

IZASASQLDA& TZASAResultSet::Area(int column) {
  // Without a new-value area (nothing updated yet) the fetched row answers.
  if (updateSqlData_ && (insert_ || (update_ && updateSqlData_->IsAssigned(column)))) return *updateSqlData_;
  return *sqlData_;
}

IZASASQLDA& TZASAResultSet::Checked(int columnIndex, TZSQLType type) {
  CheckClosed();
  CheckColumnConversion(columnIndex, type);
  LastWasNull = IsNull(columnIndex);
  return Area(columnIndex - 1);
}

bool TZASAResultSet::IsNull(int columnIndex) {
  CheckClosed();
  return Area(columnIndex - 1).IsNull(columnIndex - 1);
}

AnsiString TZASAResultSet::GetString(int columnIndex) {
  return Checked(columnIndex, stString).GetString(columnIndex - 1);
}
bool TZASAResultSet::GetBoolean(int columnIndex) {
  return Checked(columnIndex, stBoolean).GetBoolean(columnIndex - 1);
}
std::int8_t TZASAResultSet::GetByte(int columnIndex) { return Checked(columnIndex, stByte).GetByte(columnIndex - 1); }
std::int16_t TZASAResultSet::GetShort(int columnIndex) {
  return Checked(columnIndex, stShort).GetShort(columnIndex - 1);
}
int TZASAResultSet::GetInt(int columnIndex) { return Checked(columnIndex, stInteger).GetInt(columnIndex - 1); }
std::int64_t TZASAResultSet::GetLong(int columnIndex) { return Checked(columnIndex, stLong).GetLong(columnIndex - 1); }
float TZASAResultSet::GetFloat(int columnIndex) { return Checked(columnIndex, stFloat).GetFloat(columnIndex - 1); }
double TZASAResultSet::GetDouble(int columnIndex) {
  return Checked(columnIndex, stDouble).GetDouble(columnIndex - 1);
}
long double TZASAResultSet::GetBigDecimal(int columnIndex) {
  return Checked(columnIndex, stBigDecimal).GetBigDecimal(columnIndex - 1);
}
TByteDynArray TZASAResultSet::GetBytes(int columnIndex) {
  return Checked(columnIndex, stBytes).GetBytes(columnIndex - 1);
}
TDateTime TZASAResultSet::GetDate(int columnIndex) { return Checked(columnIndex, stDate).GetDate(columnIndex - 1); }
TDateTime TZASAResultSet::GetTime(int columnIndex) { return Checked(columnIndex, stTime).GetTime(columnIndex - 1); }
TDateTime TZASAResultSet::GetTimestamp(int columnIndex) {
  return Checked(columnIndex, stTimestamp).GetTimestamp(columnIndex - 1);
}

Ref<IZBlob> TZASAResultSet::GetBlob(int columnIndex) {
  CheckClosed();
  CheckBlobColumn(columnIndex);
  LastWasNull = IsNull(columnIndex);
  if (LastWasNull) return nullptr;
  auto blob = MakeRef<TZASABlob>(Ref<TZASAResultSet>(this), RowNo, columnIndex - 1);
  if (cachedBlob_) blob->Load();
  return blob;
}

TByteDynArray TZASAResultSet::ReadBlobOfRow(int row, int column) {
  CheckClosed();
  if (row == RowNo) return Area(column).ReadBlobToMem(column);
  // Another row's value: read it there, then stand where the cursor stood,
  // so that the caller's current row is not changed under it.
  IZASAPlainDriver& plain = *connection_->GetPlainDriver();
  SQLCA* handle = connection_->GetDBHandle();
  plain.dbpp_fetch(handle, cursorName_.c_str(), kFetchAbsolute, row, sqlData_->GetData(), kFetchTrailing, 0);
  Check("");
  if (handle->sqlcode == kSqlNotFound) throw EZSQLException(SZRowDataIsNotAvailable);
  TByteDynArray value = sqlData_->ReadBlobToMem(column);
  plain.dbpp_fetch(handle, cursorName_.c_str(), kFetchAbsolute, RowNo, sqlData_->GetData(), kFetchTrailing, 0);
  Check("");
  return value;
}

bool TZASAResultSet::Fetch(short kind, int offset) {
  SQLCA* handle = connection_->GetDBHandle();
  connection_->GetPlainDriver()->dbpp_fetch(handle, cursorName_.c_str(), kind, offset, sqlData_->GetData(),
                                            kFetchTrailing, 0);
  Check("");
  if (handle->sqlcode == kSqlNotFound) {
    fetchStat_ = handle->sqlerrd[2];
    return false;
  }
  fetchStat_ = 0;
  delete_ = insert_ = update_ = false;
  return true;
}

bool TZASAResultSet::MoveAbsolute(int row) {
  // Row MaxRows is the last one reached.
  if (MaxRows > 0 && row > MaxRows) return false;
  if (!Fetch(kFetchAbsolute, row)) {
    if (fetchStat_ > 0) LastRowNo = std::max(row - fetchStat_, 0);
    return false;
  }
  RowNo = row;
  return true;
}

bool TZASAResultSet::MoveRelative(int rows) {
  if (MaxRows > 0 && std::abs(RowNo) + rows > MaxRows) return false;
  if (!Fetch(kFetchRelative, rows)) {
    if (fetchStat_ > 0 && RowNo > 0) LastRowNo = std::max(RowNo + rows - fetchStat_, 0);
    return false;
  }
  // A negative row counts from the end and stays so until it would reach
  // the front.
  if (RowNo >= 0 || RowNo + rows < 0) RowNo += rows;
  return true;
}

bool TZASAResultSet::Next() { return MoveRelative(1); }
bool TZASAResultSet::Previous() { return MoveRelative(-1); }
bool TZASAResultSet::Last() { return MoveAbsolute(LastRowNo == kUnknownLastRow ? -1 : LastRowNo); }
void TZASAResultSet::RefreshRow() { MoveRelative(0); }

// --- row changes

void TZASAResultSet::PrepareUpdateSQLData() {
  update_ = !insert_;
  if (!updateSqlData_)
    updateSqlData_ = MakeRef<TZASASQLDA>(connection_->GetPlainDriver(), connection_->GetDBHandle(), cursorName_,
                                         sqlData_->GetFieldCount());
  else if (updateSqlData_->GetFieldCount() == 0)
    updateSqlData_->AllocateSQLDA(sqlData_->GetFieldCount());
  // Nothing describes this area: its variables are the result's columns,
  // which the setters may only reach once counted.
  SQLDA* area = updateSqlData_->GetData();
  area->sqld = area->sqln;
}

IZASASQLDA& TZASAResultSet::ForUpdate() {
  PrepareUpdateSQLData();
  return *updateSqlData_;
}

void TZASAResultSet::UpdateNull(int columnIndex) { ForUpdate().UpdateNull(columnIndex - 1, true); }
void TZASAResultSet::UpdateBoolean(int columnIndex, bool value) { ForUpdate().UpdateBoolean(columnIndex - 1, value); }
void TZASAResultSet::UpdateByte(int columnIndex, std::int8_t value) { ForUpdate().UpdateByte(columnIndex - 1, value); }
void TZASAResultSet::UpdateShort(int columnIndex, std::int16_t value) {
  ForUpdate().UpdateShort(columnIndex - 1, value);
}
void TZASAResultSet::UpdateInt(int columnIndex, int value) { ForUpdate().UpdateInt(columnIndex - 1, value); }
void TZASAResultSet::UpdateLong(int columnIndex, std::int64_t value) { ForUpdate().UpdateLong(columnIndex - 1, value); }
void TZASAResultSet::UpdateFloat(int columnIndex, float value) { ForUpdate().UpdateFloat(columnIndex - 1, value); }
void TZASAResultSet::UpdateDouble(int columnIndex, double value) { ForUpdate().UpdateDouble(columnIndex - 1, value); }
void TZASAResultSet::UpdateBigDecimal(int columnIndex, long double value) {
  ForUpdate().UpdateBigDecimal(columnIndex - 1, value);
}
void TZASAResultSet::UpdatePChar(int columnIndex, const char* value) {
  ForUpdate().UpdatePChar(columnIndex - 1, value);
}
void TZASAResultSet::UpdateString(int columnIndex, const AnsiString& value) {
  ForUpdate().UpdateString(columnIndex - 1, value);
}
void TZASAResultSet::UpdateUnicodeString(int columnIndex, const WideString& value) {
  ForUpdate().UpdateString(columnIndex - 1, WideToAnsi(value));
}
void TZASAResultSet::UpdateBytes(int columnIndex, const TByteDynArray& value) {
  ForUpdate().UpdateBytes(columnIndex - 1, value);
}
void TZASAResultSet::UpdateDate(int columnIndex, TDateTime value) { ForUpdate().UpdateDate(columnIndex - 1, value); }
void TZASAResultSet::UpdateTime(int columnIndex, TDateTime value) { ForUpdate().UpdateTime(columnIndex - 1, value); }
void TZASAResultSet::UpdateTimestamp(int columnIndex, TDateTime value) {
  ForUpdate().UpdateTimestamp(columnIndex - 1, value);
}
void TZASAResultSet::UpdateAsciiStream(int columnIndex, TStream* value) {
  ForUpdate().WriteBlob(columnIndex - 1, value);
}
void TZASAResultSet::UpdateUnicodeStream(int columnIndex, TStream* value) {
  ForUpdate().WriteBlob(columnIndex - 1, value);
}
void TZASAResultSet::UpdateBinaryStream(int columnIndex, TStream* value) {
  ForUpdate().WriteBlob(columnIndex - 1, value);
}
void TZASAResultSet::UpdateValue(int columnIndex, const TZVariant& value) {
  ForUpdate().UpdateValue(columnIndex - 1, EncodeVariant(value));
}

void TZASAResultSet::InsertRow() {
  if (!updateSqlData_ || !insert_) return;
  connection_->GetPlainDriver()->dbpp_put_into(connection_->GetDBHandle(), cursorName_.c_str(),
                                               updateSqlData_->GetData(), sqlData_->GetData());
  Check("Insert row");
  insert_ = false;
  updateSqlData_->FreeSQLDA();
}

void TZASAResultSet::UpdateRow() {
  if (!updateSqlData_ || !update_) return;
  connection_->GetPlainDriver()->dbpp_update(connection_->GetDBHandle(), cursorName_.c_str(),
                                             updateSqlData_->GetData());
  Check("Update row:" + IntToStr(RowNo));
  update_ = false;
  updateSqlData_->FreeSQLDA();
}

void TZASAResultSet::DeleteRow() {
  SQLCA* handle = connection_->GetDBHandle();
  connection_->GetPlainDriver()->dbpp_delete(handle, cursorName_.c_str());
  Check("Delete row:" + IntToStr(RowNo));
  delete_ = true;
  if (LastRowNo != kUnknownLastRow) LastRowNo -= handle->sqlerrd[2];
}

void TZASAResultSet::CancelRowUpdates() {
  update_ = false;
  if (updateSqlData_) updateSqlData_->FreeSQLDA();
}

void TZASAResultSet::MoveToCurrentRow() {
  insert_ = false;
  if (updateSqlData_) updateSqlData_->FreeSQLDA();
}

// --- TZASABlob

TZASABlob::TZASABlob(Ref<TZASAResultSet> resultSet, int row, int column)
    : resultSet_(std::move(resultSet)), row_(row), column_(column) {}

AnsiString TZASABlob::ReadValue() {
  const AnsiString value = BytesToStr(resultSet_->ReadBlobOfRow(row_, column_));
  resultSet_ = nullptr;
  return value;
}
