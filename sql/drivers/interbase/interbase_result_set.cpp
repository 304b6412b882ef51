// Reading the rows of an Interbase/Firebird query: column descriptions from
// the result area, isc_dsql_fetch per row, and blobs read whole or on demand.
// Fetching is the hot path: one client call per row, values read in place.

#include "sql/drivers/interbase/interbase_result_set.h"

#include <ibase.h>

#include "platform/rtl/streams.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_execution.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

constexpr ISC_STATUS kEndOfCursor = 100;

}  // namespace

class TZInterbase6Blob : public TZLazyBlob {
public:
  // The content is read on first use, in the transaction current then; a
  // text blob of a UTF8 connection becomes the program's text.
  TZInterbase6Blob(Ref<IZInterbase6Connection> connection, const ISC_QUAD& blobId, bool text);

  // A new, unread blob of the same identifier.
  Ref<IZBlob> Clone() override;
  using TZAbstractBlob::Clone;

private:
  AnsiString ReadValue() override;

  Ref<IZInterbase6Connection> ibConnection_;
  ISC_QUAD blobId_;
  bool text_;
};

TZInterbase6ResultSet::TZInterbase6ResultSet(const Ref<IZStatement>& statement, const AnsiString& sql,
                                             TZInterbaseStatementHandle stmtHandle, const AnsiString& cursorName,
                                             Ref<IZResultSQLDA> sqlData, bool cachedBlob, bool rowFetched)
    : TZAbstractResultSet(statement, sql), ibConnection_(Query<IZInterbase6Connection>(statement->GetConnection())),
      sqlData_(std::move(sqlData)), stmtHandle_(std::move(stmtHandle)), cursorName_(cursorName), cachedBlob_(cachedBlob),
      rowFetched_(rowFetched) {
  SetType(rtForwardOnly);
  SetConcurrency(rcReadOnly);
  Open();
}

void TZInterbase6ResultSet::Open() {
  if (!stmtHandle_ || *stmtHandle_.get() == 0) throw EZSQLException(SZCanNotRetrieveResultSetData);
  ColumnsInfo.Clear();
  for (int i = 0; i < sqlData_->GetFieldCount(); ++i) {
    TZColumnInfo& info = ColumnsInfo.Add();
    info.ColumnType = sqlData_->GetFieldSqlType(i);
    info.ColumnName = sqlData_->GetFieldSqlName(i);
    info.TableName = sqlData_->GetFieldRelationName(i);
    info.ColumnLabel = sqlData_->GetFieldAliasName(i);
    if (info.ColumnType == stString || info.ColumnType == stUnicodeString)
      info.Precision = sqlData_->GetFieldLength(i);
    info.ReadOnly = info.TableName.empty() || info.ColumnName.empty() || info.ColumnName == "RDB$DB_KEY" ||
                    info.ColumnType == stUnknown;
    info.Nullable = sqlData_->IsNullable(i) ? ntNullable : ntNoNulls;
    info.Scale = sqlData_->GetFieldScale(i);
    info.AutoIncrement = false;
  }
  TZAbstractResultSet::Open();
}

void TZInterbase6ResultSet::Close() {
  if (stmtHandle_ && *stmtHandle_.get() != 0) {
    // The handle is 0 afterwards even when the client refused: a second
    // Close must not drop it again. The area goes after the statement, which
    // the client may still tell about it.
    try {
      FreeStatement(ibConnection_->GetPlainDriver().get(), *stmtHandle_.get());
    } catch (...) {
      sqlData_ = nullptr;
      TZAbstractResultSet::Close();
      throw;
    }
    sqlData_ = nullptr;
  }
  TZAbstractResultSet::Close();
}

bool TZInterbase6ResultSet::MoveAbsolute(int) { RaiseForwardOnlyException(); }

bool TZInterbase6ResultSet::Next() {
  CheckClosed();
  if ((MaxRows > 0 && LastRowNo >= MaxRows) || fetchStat_ != 0) return false;
  if (rowFetched_) {
    // The one row is in the area already; there is no cursor behind it.
    fetchStat_ = LastRowNo == 0 ? 0 : kEndOfCursor;
  } else {
    ISC_STATUS_VECTOR status = {};
    IZInterbasePlainDriver* plain = ibConnection_->GetPlainDriver().get();
    fetchStat_ = plain->isc_dsql_fetch(status, stmtHandle_.get(), ibConnection_->GetDialect(), sqlData_->GetData());
    if (fetchStat_ != 0 && fetchStat_ != kEndOfCursor) CheckInterbase6Error(plain, status, lcOther);
    sqlData_->ClearBlobCache();
  }
  if (fetchStat_ != 0) return false;
  ++RowNo;
  LastRowNo = RowNo;
  return true;
}

bool TZInterbase6ResultSet::IsNull(int columnIndex) {
  CheckClosed();
  return sqlData_->IsNull(columnIndex - 1);
}

void TZInterbase6ResultSet::Checked(int columnIndex, TZSQLType type) {
  CheckColumnConversion(columnIndex, type);
  LastWasNull = sqlData_->IsNull(columnIndex - 1);
}

AnsiString TZInterbase6ResultSet::GetString(int columnIndex) {
  Checked(columnIndex, stString);
  return sqlData_->GetString(columnIndex - 1);
}

bool TZInterbase6ResultSet::GetBoolean(int columnIndex) {
  Checked(columnIndex, stBoolean);
  return sqlData_->GetBoolean(columnIndex - 1);
}

std::int8_t TZInterbase6ResultSet::GetByte(int columnIndex) {
  Checked(columnIndex, stByte);
  return static_cast<std::int8_t>(sqlData_->GetByte(columnIndex - 1));
}

std::int16_t TZInterbase6ResultSet::GetShort(int columnIndex) {
  Checked(columnIndex, stShort);
  return sqlData_->GetShort(columnIndex - 1);
}

int TZInterbase6ResultSet::GetInt(int columnIndex) {
  Checked(columnIndex, stInteger);
  return sqlData_->GetInt(columnIndex - 1);
}

std::int64_t TZInterbase6ResultSet::GetLong(int columnIndex) {
  Checked(columnIndex, stLong);
  return sqlData_->GetLong(columnIndex - 1);
}

float TZInterbase6ResultSet::GetFloat(int columnIndex) {
  Checked(columnIndex, stFloat);
  return sqlData_->GetFloat(columnIndex - 1);
}

double TZInterbase6ResultSet::GetDouble(int columnIndex) {
  Checked(columnIndex, stDouble);
  return sqlData_->GetDouble(columnIndex - 1);
}

long double TZInterbase6ResultSet::GetBigDecimal(int columnIndex) {
  Checked(columnIndex, stBigDecimal);
  return sqlData_->GetBigDecimal(columnIndex - 1);
}

TByteDynArray TZInterbase6ResultSet::GetBytes(int columnIndex) {
  Checked(columnIndex, stBytes);
  return sqlData_->GetBytes(columnIndex - 1);
}

TDateTime TZInterbase6ResultSet::GetDate(int columnIndex) {
  Checked(columnIndex, stDate);
  return sqlData_->GetDate(columnIndex - 1);
}

TDateTime TZInterbase6ResultSet::GetTime(int columnIndex) {
  Checked(columnIndex, stTime);
  return sqlData_->GetTime(columnIndex - 1);
}

TDateTime TZInterbase6ResultSet::GetTimestamp(int columnIndex) {
  Checked(columnIndex, stTimestamp);
  return sqlData_->GetTimestamp(columnIndex - 1);
}

Ref<IZBlob> TZInterbase6ResultSet::GetBlob(int columnIndex) {
  CheckClosed();
  CheckBlobColumn(columnIndex);
  LastWasNull = IsNull(columnIndex);
  if (LastWasNull) return nullptr;
  const ISC_QUAD blobId = sqlData_->GetQuad(columnIndex - 1);
  auto blob = MakeRef<TZInterbase6Blob>(ibConnection_, blobId, GetMetadata()->GetColumnType(columnIndex) == stAsciiStream);
  if (!cachedBlob_) return blob;
  const AnsiString data = blob->GetString();
  return TZAbstractBlob::CreateWithData(data.data(), static_cast<int>(data.size()));
}

// --- TZInterbase6Blob

TZInterbase6Blob::TZInterbase6Blob(Ref<IZInterbase6Connection> connection, const ISC_QUAD& blobId, bool text)
    : ibConnection_(std::move(connection)), blobId_(blobId), text_(text) {}

AnsiString TZInterbase6Blob::ReadValue() {
  const AnsiString data = ReadBlobBuffer(ibConnection_->GetPlainDriver().get(), ibConnection_->GetDBHandle(),
                                         ibConnection_->GetTrHandle(), blobId_);
  return text_ && ibConnection_->IsUtf8Text() ? ProgramText(data) : data;
}

Ref<IZBlob> TZInterbase6Blob::Clone() { return MakeRef<TZInterbase6Blob>(ibConnection_, blobId_, text_); }
