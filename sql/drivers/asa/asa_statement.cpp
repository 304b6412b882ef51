// Running SQL on an ASA connection. Texts are prepared into a statement
// number of the client and executed with the parameter area bound, or
// opened as a named cursor whose rows the ASA result set reads; the number
// lives until the text changes or the statement closes.

#include "sql/drivers/asa/asa_statement.h"


#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"
#include "sql/drivers/asa/asa_result_set.h"
#include "sql/drivers/asa/asa_utils.h"

// --- the connection's statement factories, kept beside the statements they make

Ref<IZStatement> TZASAConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZASAStatement>(Ref<IZASAConnection>(this), info);
}

Ref<IZPreparedStatement> TZASAConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZASAPreparedStatement>(Ref<IZASAConnection>(this), sql, info);
}

Ref<IZCallableStatement> TZASAConnection::NewCallableStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZASACallableStatement>(Ref<IZASAConnection>(this), sql, info);
}

namespace {

constexpr int kAreaSize = 20;
constexpr int kFetchSize = 20;
constexpr int kCursorNameLength = 12;
constexpr short kOptionsUpdatable = 0x1020;
constexpr short kOptionsReadOnly = 0x22;
constexpr short kOptionInsensitive = 0x400;

void Check(IZASAConnection& connection, const AnsiString& sql) {
  CheckASAError(connection.GetPlainDriver().get(), connection.GetDBHandle(), lcExecute, sql);
}

void Log(IZASAConnection& connection, const AnsiString& sql) {
  DriverManager()->LogMessage(lcExecute, connection.GetPlainDriver()->GetProtocol(), sql);
}

Ref<IZASASQLDA> NewArea(IZASAConnection& connection, const AnsiString& cursorName) {
  return MakeRef<TZASASQLDA>(connection.GetPlainDriver(), connection.GetDBHandle(), cursorName, kAreaSize);
}

// Every statement starts with the same fetch size, kind of result and a
// cursor name of its own.
void InitStatement(TZAbstractStatement& statement) {
  statement.SetFetchSize(kFetchSize);
  statement.SetResultSetConcurrency(rcUpdatable);
  statement.SetResultSetType(rtScrollSensitive);
  statement.SetCursorName(RandomString(kCursorNameLength));
}

void BindParameter(IZASASQLDA* area, int i, TZSQLType type, const TZVariant& value) {
  const IZVariantManager& soft = *SoftVarManager();
  switch (type) {
    case stBoolean: area->UpdateBoolean(i, soft.GetAsBoolean(value)); break;
    case stByte: area->UpdateByte(i, CheckedNarrow<std::int8_t>(soft.GetAsInteger(value))); break;
    case stShort: area->UpdateShort(i, CheckedNarrow<std::int16_t>(soft.GetAsInteger(value))); break;
    case stInteger: area->UpdateInt(i, CheckedNarrow<std::int32_t>(soft.GetAsInteger(value))); break;
    case stLong: area->UpdateLong(i, soft.GetAsInteger(value)); break;
    case stFloat: area->UpdateFloat(i, static_cast<float>(soft.GetAsFloat(value))); break;
    case stDouble: area->UpdateDouble(i, static_cast<double>(soft.GetAsFloat(value))); break;
    case stBigDecimal: area->UpdateBigDecimal(i, soft.GetAsFloat(value)); break;
    case stString: area->UpdateString(i, soft.GetAsString(value)); break;
    case stUnicodeString: area->UpdateString(i, WideToAnsi(soft.GetAsUnicodeString(value))); break;
    case stBytes: area->UpdateBytes(i, StrToBytes(soft.GetAsString(value))); break;
    case stDate: area->UpdateDate(i, soft.GetAsDateTime(value)); break;
    case stTime: area->UpdateTime(i, soft.GetAsDateTime(value)); break;
    case stTimestamp: area->UpdateTimestamp(i, soft.GetAsDateTime(value)); break;
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: {
      Ref<IZBlob> blob = Ref<IZBlob>(dynamic_cast<IZBlob*>(DefaultVarManager()->GetAsInterface(value).get()));
      if (blob && !blob->IsEmpty()) area->WriteBlob(i, blob->GetStream().get());
      break;
    }
    default: throw EZASAConvertError(SZUnsupportedParameterType);
  }
}

}  // namespace

void PrepareParameters(const TZVariantDynArray& values, const TZSQLTypeArray& types, int count,
                       IZASASQLDA* paramSqlData) {
  // The arrays must hold a value and a type for each marker.
  if (paramSqlData->GetFieldCount() != count || static_cast<int>(values.size()) < count ||
      static_cast<int>(types.size()) < count)
    throw EZSQLException(SZInvalidInputParameterCount);
  for (int i = 0; i < count; ++i) {
    if (DefaultVarManager()->IsNull(values[i]))
      paramSqlData->UpdateNull(i, true);
    else
      BindParameter(paramSqlData, i, types[i], values[i]);
  }
}

short CursorOptions(IZStatement& statement) {
  short options = statement.GetResultSetConcurrency() == rcUpdatable ? kOptionsUpdatable : kOptionsReadOnly;
  if (statement.GetResultSetType() == rtScrollInsensitive) options |= kOptionInsensitive;
  return options;
}

void DescribeCursor(IZASAConnection& connection, IZASASQLDA& sqlData, const AnsiString& cursor,
                    const AnsiString& sql) {
  IZASAPlainDriver& plain = *connection.GetPlainDriver();
  sqlData.AllocateSQLDA(kAreaSize);
  plain.dbpp_describe_cursor(connection.GetDBHandle(), cursor.c_str(), sqlData.GetData(), kDescribeKindColumns);
  Check(connection, sql);
  if (sqlData.GetData()->sqld == 0) throw EZSQLException(SZCanNotRetrieveResultSetData);
  if (sqlData.GetData()->sqld > sqlData.GetData()->sqln) {
    sqlData.AllocateSQLDA(sqlData.GetData()->sqld);
    plain.dbpp_describe_cursor(connection.GetDBHandle(), cursor.c_str(), sqlData.GetData(), kDescribeKindColumns);
    Check(connection, sql);
  }
  sqlData.InitFields();
}

// --- TZASAStatementState

TZASAStatementState::TZASAStatementState(Ref<IZASAConnection> connection, IZStatement* statement)
    : connection(std::move(connection)),
      cachedBlob(StrToBoolEx(GetStatementProperty(statement, "cashedblob", "true"))) {}

void TZASAStatementState::Close(const AnsiString& cursorName, bool closed) {
  IZASAPlainDriver& plain = *connection->GetPlainDriver();
  if (!closed) plain.dbpp_close(connection->GetDBHandle(), cursorName.c_str());
  if (stmtNum != 0) {
    plain.dbpp_dropstmt(connection->GetDBHandle(), nullptr, nullptr, &stmtNum);
    stmtNum = 0;
  }
}

void TZASAStatementState::Cancel(const AnsiString& sql) {
  connection->GetPlainDriver()->db_cancel_request(connection->GetDBHandle());
  Check(*connection, sql);
}

void TZASAStatementState::Prepare(const AnsiString& sql, IZASASQLDA& params, IZASASQLDA& columns) {
  IZASAPlainDriver& plain = *connection->GetPlainDriver();
  SQLCA* handle = connection->GetDBHandle();
  if (prepared) {
    params.AllocateSQLDA(kAreaSize);
    columns.AllocateSQLDA(kAreaSize);
    if (stmtNum != 0) plain.dbpp_dropstmt(handle, nullptr, nullptr, &stmtNum);
    stmtNum = 0;
  }
  try {
    plain.dbpp_prepare_describe(handle, nullptr, &stmtNum, sql.c_str(), params.GetData(), kDescribeParams, 0);
    Check(*connection, sql);
    moreResults = handle->sqlerrd[2] == 0;
    if (params.GetData()->sqld > params.GetData()->sqln) {
      params.AllocateSQLDA(params.GetData()->sqld);
      plain.dbpp_describe(handle, nullptr, &stmtNum, params.GetData(), kDescribeKindParams);
      Check(*connection, sql);
    }
    if (!moreResults) {
      plain.dbpp_describe(handle, nullptr, &stmtNum, columns.GetData(), kDescribeKindColumns);
      Check(*connection, sql);
      if (columns.GetData()->sqld > columns.GetData()->sqln) {
        columns.AllocateSQLDA(columns.GetData()->sqld);
        plain.dbpp_describe(handle, nullptr, &stmtNum, columns.GetData(), kDescribeKindColumns);
        Check(*connection, sql);
      }
      columns.InitFields();
    }
    prepared = true;
    Log(*connection, "Prepare: " + sql);
  } catch (...) {
    // Forgotten once dropped: a later Close must not drop a number the
    // client may since have given to another statement.
    if (stmtNum != 0) plain.dbpp_dropstmt(handle, nullptr, nullptr, &stmtNum);
    stmtNum = 0;
    throw;
  }
}

Ref<IZResultSet> TZASAStatementState::Open(const Ref<IZStatement>& statement, const AnsiString& cursorName,
                                           bool& closed, const AnsiString& sql, IZASASQLDA* params,
                                           const Ref<IZASASQLDA>& columns, const AnsiString& describeSql) {
  IZASAPlainDriver& plain = *connection->GetPlainDriver();
  SQLCA* handle = connection->GetDBHandle();
  // The client refuses to open a cursor that is open already.
  if (!closed) plain.dbpp_close(handle, cursorName.c_str());
  plain.dbpp_open(handle, cursorName.c_str(), nullptr, &stmtNum, params ? params->GetData() : nullptr,
                  CheckedNarrow<short>(statement->GetFetchSize()), 0, CursorOptions(*statement));
  Check(*connection, sql);
  closed = false;
  try {
    if (moreResults) DescribeCursor(*connection, *columns, cursorName, describeSql);
    auto native = MakeRef<TZASAResultSet>(statement, sql, stmtNum, cursorName, columns, cachedBlob);
    Ref<IZResultSet> result = CachedUnlessForwardReadOnly<TZASACachedResolver>(sql, statement, native);
    Log(*connection, sql);
    return result;
  } catch (...) {
    statement->Close();
    throw;
  }
}

int TZASAStatementState::ExecuteInto(IZASASQLDA& params, IZASASQLDA* output, const AnsiString& sql,
                                     bool passTooManyRows) {
  SQLCA* handle = connection->GetDBHandle();
  connection->GetPlainDriver()->dbpp_execute_into(handle, nullptr, nullptr, &stmtNum, params.GetData(),
                                                  output ? output->GetData() : nullptr);
  if (handle->sqlcode != kSqlTooManyRows || !passTooManyRows) Check(*connection, sql);
  return handle->sqlerrd[2];
}

bool TZASAStatementState::GetMoreResults(const AnsiString& cursorName, IZASASQLDA& columns) {
  if (!moreResults) return false;
  connection->GetPlainDriver()->dbpp_resume(connection->GetDBHandle(), cursorName.c_str());
  Check(*connection, "");
  if (connection->GetDBHandle()->sqlcode == kSqlNoMoreResults) return false;
  DescribeCursor(*connection, columns, cursorName, "");
  return true;
}

// --- TZASAStatement

TZASAStatement::TZASAStatement(Ref<IZASAConnection> connection, TStrings* properties)
    : TZAbstractStatement(connection, properties), state_(connection, this) {
  InitStatement(*this);
  sqlData_ = NewArea(*connection, CursorName);
}

bool TZASAStatement::TryQuery(const AnsiString& sql, Ref<IZResultSet>& result) {
  Close();
  IZASAConnection& connection = *state_.connection;
  IZASAPlainDriver& plain = *connection.GetPlainDriver();
  SQLCA* handle = connection.GetDBHandle();
  try {
    plain.dbpp_prepare_describe(handle, nullptr, &state_.stmtNum, sql.c_str(), sqlData_->GetData(), kDescribeResult,
                                0);
    Check(connection, sql);
    state_.moreResults = handle->sqlerrd[2] == 0;
    if (!state_.moreResults) {
      if (sqlData_->GetData()->sqld == 0) {
        Close();
        return false;
      }
      if (sqlData_->GetData()->sqld > sqlData_->GetData()->sqln) {
        sqlData_->AllocateSQLDA(sqlData_->GetData()->sqld);
        plain.dbpp_describe(handle, nullptr, &state_.stmtNum, sqlData_->GetData(), kDescribeKindColumns);
        Check(connection, sql);
      }
      sqlData_->InitFields();
    }
    LastUpdateCount = -1;
    result = state_.Open(Ref<IZStatement>(this), CursorName, Closed, sql, nullptr, sqlData_, sql);
    return true;
  } catch (...) {
    Close();
    throw;
  }
}

Ref<IZResultSet> TZASAStatement::ExecuteQuery(const AnsiString& sql) {
  Ref<IZResultSet> result;
  if (!TryQuery(sql, result)) throw EZSQLException(SZCanNotRetrieveResultSetData);
  return result;
}

int TZASAStatement::ExecuteUpdate(const AnsiString& sql) {
  Close();
  IZASAConnection& connection = *state_.connection;
  LastUpdateCount = -1;
  connection.GetPlainDriver()->dbpp_execute_imm(connection.GetDBHandle(), sql.c_str());
  Check(connection, sql);
  LastUpdateCount = connection.GetDBHandle()->sqlerrd[2];
  Log(connection, sql);
  return LastUpdateCount;
}

bool TZASAStatement::Execute(const AnsiString& sql) {
  Ref<IZResultSet> result;
  if (TryQuery(sql, result)) {
    SetLastResultSet(result);
    return true;
  }
  ExecuteUpdate(sql);
  return false;
}

bool TZASAStatement::GetMoreResults() { return state_.GetMoreResults(CursorName, *sqlData_); }

void TZASAStatement::Close() {
  state_.Close(CursorName, Closed);
  TZAbstractStatement::Close();
}

void TZASAStatement::Cancel() { state_.Cancel(""); }

// --- TZASAPreparedStatement

TZASAPreparedStatement::TZASAPreparedStatement(Ref<IZASAConnection> connection, const AnsiString& sql,
                                               TStrings* properties)
    : TZAbstractPreparedStatement(connection, sql, properties), state_(connection, this) {
  InitStatement(*this);
  paramSqlData_ = NewArea(*connection, CursorName);
  sqlData_ = NewArea(*connection, CursorName);
  state_.Prepare(SQL, *paramSqlData_, *sqlData_);
}

void TZASAPreparedStatement::PrepareText(const AnsiString& sql) {
  if (sql == SQL) return;
  Close();
  SQL = sql;
  state_.Prepare(SQL, *paramSqlData_, *sqlData_);
}

Ref<IZResultSet> TZASAPreparedStatement::ExecuteQuery(const AnsiString& sql) {
  PrepareText(sql);
  return ExecuteQueryPrepared();
}

int TZASAPreparedStatement::ExecuteUpdate(const AnsiString& sql) {
  PrepareText(sql);
  return ExecuteUpdatePrepared();
}

bool TZASAPreparedStatement::Execute(const AnsiString& sql) {
  PrepareText(sql);
  return ExecutePrepared();
}

Ref<IZResultSet> TZASAPreparedStatement::ExecuteQueryPrepared() {
  PrepareParameters(InParamValues, InParamTypes, InParamCount, paramSqlData_.get());
  LastUpdateCount = -1;
  return state_.Open(Ref<IZStatement>(this), CursorName, Closed, SQL, paramSqlData_.get(), sqlData_, "");
}

int TZASAPreparedStatement::ExecuteUpdatePrepared() {
  PrepareParameters(InParamValues, InParamTypes, InParamCount, paramSqlData_.get());
  // A SELECT run for its count yields several rows into no output area.
  LastUpdateCount = state_.ExecuteInto(*paramSqlData_, nullptr, SQL, sqlData_->GetFieldCount() > 0);
  Log(*state_.connection, SQL);
  return LastUpdateCount;
}

bool TZASAPreparedStatement::ExecutePrepared() {
  if (!state_.moreResults && sqlData_->GetData()->sqld == 0) {
    ExecuteUpdatePrepared();
    return false;
  }
  SetLastResultSet(ExecuteQueryPrepared());
  return true;
}

bool TZASAPreparedStatement::GetMoreResults() { return state_.GetMoreResults(CursorName, *sqlData_); }

void TZASAPreparedStatement::Close() {
  state_.Close(CursorName, Closed);
  TZAbstractStatement::Close();
}

void TZASAPreparedStatement::Cancel() { state_.Cancel(SQL); }

// --- TZASACallableStatement

TZASACallableStatement::TZASACallableStatement(Ref<IZASAConnection> connection, const AnsiString& procedure,
                                               TStrings* properties)
    : TZAbstractCallableStatement(connection, procedure, properties), state_(connection, this) {
  InitStatement(*this);
  paramSqlData_ = NewArea(*connection, CursorName);
  sqlData_ = NewArea(*connection, CursorName);
}

void TZASACallableStatement::PrepareCall() {
  TrimInParameters();
  const AnsiString text = "call " + SQL + InParameterMarkers();
  if (state_.prepared && text == callText_) return;
  Close();
  state_.Prepare(text, *paramSqlData_, *sqlData_);
  callText_ = text;
}

Ref<IZResultSet> TZASACallableStatement::ExecuteQuery(const AnsiString&) {
  PrepareCall();
  return ExecuteQueryPrepared();
}

int TZASACallableStatement::ExecuteUpdate(const AnsiString&) {
  PrepareCall();
  return ExecuteUpdatePrepared();
}

bool TZASACallableStatement::Execute(const AnsiString&) {
  PrepareCall();
  return ExecutePrepared();
}

Ref<IZResultSet> TZASACallableStatement::ExecuteQueryPrepared() {
  if (!state_.prepared) return ExecuteQuery(SQL);
  PrepareParameters(InParamValues, InParamTypes, InParamCount, paramSqlData_.get());
  LastUpdateCount = -1;
  return state_.Open(Ref<IZStatement>(this), CursorName, Closed, callText_, paramSqlData_.get(), sqlData_,
                     callText_);
}

int TZASACallableStatement::ExecuteUpdatePrepared() {
  if (!state_.prepared) return ExecuteUpdate(SQL);
  PrepareParameters(InParamValues, InParamTypes, InParamCount, paramSqlData_.get());
  LastUpdateCount = state_.ExecuteInto(*paramSqlData_, sqlData_.get(), callText_, true);
  FetchOutParams();
  Log(*state_.connection, callText_);
  return LastUpdateCount;
}

bool TZASACallableStatement::ExecutePrepared() {
  if (!state_.prepared) return Execute(SQL);
  const SQLDA* columns = sqlData_->GetData();
  if (state_.moreResults || (columns->sqld > 0 && !(columns->sqlvar[0].sqlind && *columns->sqlvar[0].sqlind < 0))) {
    SetLastResultSet(ExecuteQueryPrepared());
    return true;
  }
  ExecuteUpdatePrepared();
  return false;
}

void TZASACallableStatement::FetchOutParams() {
  const int count = sqlData_->GetFieldCount();
  SetOutParamCount(count);
  const IZVariantManager& manager = *DefaultVarManager();
  for (int i = 0; i < count; ++i) {
    // A value of its own per variable: a type without a conversion stays
    // null.
    TZVariant value;
    if (!sqlData_->IsNull(i)) {
      switch (sqlData_->GetFieldSqlType(i)) {
        case stBoolean: manager.SetAsBoolean(value, sqlData_->GetBoolean(i)); break;
        case stByte: manager.SetAsInteger(value, sqlData_->GetByte(i)); break;
        case stShort: manager.SetAsInteger(value, sqlData_->GetShort(i)); break;
        case stInteger: manager.SetAsInteger(value, sqlData_->GetInt(i)); break;
        case stLong: manager.SetAsInteger(value, sqlData_->GetLong(i)); break;
        case stFloat: manager.SetAsFloat(value, sqlData_->GetFloat(i)); break;
        case stDouble: manager.SetAsFloat(value, sqlData_->GetDouble(i)); break;
        case stBigDecimal: manager.SetAsFloat(value, sqlData_->GetBigDecimal(i)); break;
        case stString: manager.SetAsString(value, sqlData_->GetString(i)); break;
        case stUnicodeString: manager.SetAsUnicodeString(value, AnsiToWide(sqlData_->GetString(i))); break;
        case stBytes: manager.SetAsString(value, BytesToStr(sqlData_->GetBytes(i))); break;
        case stDate: manager.SetAsDateTime(value, sqlData_->GetDate(i)); break;
        case stTime: manager.SetAsDateTime(value, sqlData_->GetTime(i)); break;
        case stTimestamp: manager.SetAsDateTime(value, sqlData_->GetTimestamp(i)); break;
        case stAsciiStream:
        case stUnicodeStream:
        case stBinaryStream: {
          const TByteDynArray bytes = sqlData_->ReadBlobToMem(i);
          manager.SetAsInterface(
              value, Ref<IZInterface>(TZAbstractBlob::CreateWithData(bytes.data(), static_cast<int>(bytes.size()))));
          break;
        }
        default: break;
      }
    }
    OutParamValues[static_cast<std::size_t>(i)] = value;
  }
}

bool TZASACallableStatement::GetMoreResults() { return state_.GetMoreResults(CursorName, *sqlData_); }

void TZASACallableStatement::Close() {
  state_.Close(CursorName, Closed);
  TZAbstractStatement::Close();
}

void TZASACallableStatement::Cancel() { state_.Cancel(SQL); }
