// Running SQL on an ASA connection. Texts are prepared into a statement
// number of the client and executed with the parameter area bound; the
// number lives until the text changes or the statement closes.

#include "sql/drivers/asa/asa_statement.h"

#include <limits>

#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"
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

namespace {

constexpr int kAreaSize = 20;
constexpr int kFetchSize = 20;
constexpr int kCursorNameLength = 12;

void Check(IZASAConnection& connection, const AnsiString& sql) {
  CheckASAError(connection.GetPlainDriver().get(), connection.GetDBHandle(), lcExecute, sql);
}

void Log(IZASAConnection& connection, const AnsiString& sql) {
  DriverManager()->LogMessage(lcExecute, connection.GetPlainDriver()->GetProtocol(), sql);
}

Ref<IZASASQLDA> NewArea(IZASAConnection& connection, const AnsiString& cursorName) {
  return MakeRef<TZASASQLDA>(connection.GetPlainDriver(), connection.GetDBHandle(), cursorName, kAreaSize);
}

template <class T>
T Narrow(std::int64_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) throw ERangeError(SRangeError);
  return static_cast<T>(value);
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
    case stByte: area->UpdateByte(i, Narrow<std::int8_t>(soft.GetAsInteger(value))); break;
    case stShort: area->UpdateShort(i, Narrow<std::int16_t>(soft.GetAsInteger(value))); break;
    case stInteger: area->UpdateInt(i, Narrow<std::int32_t>(soft.GetAsInteger(value))); break;
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

// --- TZASAStatement

TZASAStatement::TZASAStatement(Ref<IZASAConnection> connection, TStrings* properties)
    : TZAbstractStatement(connection, properties), state_(connection, this) {
  InitStatement(*this);
  sqlData_ = NewArea(*connection, CursorName);
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
  Prepare();
}

void TZASAPreparedStatement::Prepare() {
  IZASAConnection& connection = *state_.connection;
  IZASAPlainDriver& plain = *connection.GetPlainDriver();
  SQLCA* handle = connection.GetDBHandle();
  if (prepared_) {
    paramSqlData_->AllocateSQLDA(kAreaSize);
    sqlData_->AllocateSQLDA(kAreaSize);
    if (state_.stmtNum != 0) plain.dbpp_dropstmt(handle, nullptr, nullptr, &state_.stmtNum);
    state_.stmtNum = 0;
  }
  try {
    plain.dbpp_prepare_describe(handle, nullptr, &state_.stmtNum, SQL.c_str(), paramSqlData_->GetData(),
                                kDescribeParams, 0);
    Check(connection, SQL);
    state_.moreResults = handle->sqlerrd[2] == 0;
    if (paramSqlData_->GetData()->sqld > paramSqlData_->GetData()->sqln) {
      paramSqlData_->AllocateSQLDA(paramSqlData_->GetData()->sqld);
      plain.dbpp_describe(handle, nullptr, &state_.stmtNum, paramSqlData_->GetData(), kDescribeKindParams);
      Check(connection, SQL);
    }
    if (!state_.moreResults) {
      plain.dbpp_describe(handle, nullptr, &state_.stmtNum, sqlData_->GetData(), kDescribeKindColumns);
      Check(connection, SQL);
      if (sqlData_->GetData()->sqld > sqlData_->GetData()->sqln) {
        sqlData_->AllocateSQLDA(sqlData_->GetData()->sqld);
        plain.dbpp_describe(handle, nullptr, &state_.stmtNum, sqlData_->GetData(), kDescribeKindColumns);
        Check(connection, SQL);
      }
      sqlData_->InitFields();
    }
    prepared_ = true;
    Log(connection, "Prepare: " + SQL);
  } catch (...) {
    // Forgotten once dropped: a later Close must not drop a number the
    // client may since have given to another statement.
    if (state_.stmtNum != 0) plain.dbpp_dropstmt(handle, nullptr, nullptr, &state_.stmtNum);
    state_.stmtNum = 0;
    throw;
  }
}

int TZASAPreparedStatement::ExecuteUpdate(const AnsiString& sql) {
  if (sql != SQL) {
    Close();
    SQL = sql;
    Prepare();
  }
  return ExecuteUpdatePrepared();
}

int TZASAPreparedStatement::ExecuteUpdatePrepared() {
  IZASAConnection& connection = *state_.connection;
  SQLCA* handle = connection.GetDBHandle();
  PrepareParameters(InParamValues, InParamTypes, InParamCount, paramSqlData_.get());
  connection.GetPlainDriver()->dbpp_execute_into(handle, nullptr, nullptr, &state_.stmtNum,
                                                 paramSqlData_->GetData(), nullptr);
  // A SELECT run for its count yields several rows into no output area.
  if (handle->sqlcode != kSqlTooManyRows || sqlData_->GetFieldCount() == 0) Check(connection, SQL);
  LastUpdateCount = handle->sqlerrd[2];
  Log(connection, SQL);
  return LastUpdateCount;
}

void TZASAPreparedStatement::Close() {
  state_.Close(CursorName, Closed);
  TZAbstractStatement::Close();
}

void TZASAPreparedStatement::Cancel() { state_.Cancel(SQL); }
