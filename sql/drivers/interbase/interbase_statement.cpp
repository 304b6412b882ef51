// Running SQL on an Interbase/Firebird connection: every execution prepares
// its text on a new client statement handle, describes the areas, executes,
// and either hands the handle to a result set or drops it again, also when
// anything fails.

#include "sql/drivers/interbase/interbase_statement.h"

#include <memory>

#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/variant.h"
#include "sql/drivers/interbase/interbase_execution.h"
#include "sql/drivers/interbase/interbase_params_sqlda.h"
#include "sql/drivers/interbase/interbase_result_set.h"
#include "sql/drivers/interbase/interbase_result_sqlda.h"
#include "sql/drivers/interbase/interbase_utils.h"

// --- the connection's statement factories, kept beside the statements they make

Ref<IZStatement> TZInterbase6Connection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZInterbase6Statement>(Ref<IZInterbase6Connection>(this), info);
}

Ref<IZPreparedStatement> TZInterbase6Connection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZInterbase6PreparedStatement>(Ref<IZInterbase6Connection>(this), sql, info);
}

Ref<IZCallableStatement> TZInterbase6Connection::NewCallableStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZInterbase6CallableStatement>(Ref<IZInterbase6Connection>(this), sql, info);
}

namespace {

// INSERT, UPDATE and DELETE report no result.
bool ReportsResult(int type) { return type != kStmtInsert && type != kStmtUpdate && type != kStmtDelete; }

// SELECT ... FOR UPDATE (WITH LOCK) has rows as any other SELECT.
bool SelectLike(int type) {
  return type == kStmtSelect || type == kStmtSelectForUpdate || type == kStmtExecProcedure;
}

// One execution on a connection: its handles, and the statement handle,
// which is dropped with this object unless a result set took it over (only
// when the execution failed: the failure is what the caller hears of).
class TZExecution {
public:
  explicit TZExecution(IZInterbase6Connection& connection)
      : connection_(connection), plain_(connection.GetPlainDriver()),
        handle_(NewInterbaseStatementHandle(plain_.get())) {}
  TZExecution(const TZExecution&) = delete;
  TZExecution& operator=(const TZExecution&) = delete;

  IZInterbasePlainDriver* Plain() const { return plain_.get(); }
  std::uint16_t Dialect() const { return connection_.GetDialect(); }
  // Read at each use: with hard_commit a transaction may start in between.
  isc_tr_handle* Tr() const { return connection_.GetTrHandle(); }

  int Prepare(const AnsiString& sql) {
    type = PrepareStatement(Plain(), connection_.GetDBHandle(), Tr(), Dialect(), sql, *handle_.get(),
                            connection_.IsUtf8Text());
    return type;
  }
  Ref<TZResultSQLDA> NewResultArea() const {
    auto area = MakeRef<TZResultSQLDA>(plain_, connection_.GetDBHandle(), connection_.GetTrHandle());
    area->SetUtf8Text(connection_.IsUtf8Text());
    return area;
  }
  void DescribeResult(const AnsiString& sql, IZResultSQLDA* area) {
    PrepareResultSqlData(Plain(), Dialect(), sql, *handle_.get(), area);
  }
  // An EXECUTE PROCEDURE returns its one row here, into the result area;
  // it has no cursor to fetch it from later.
  void Execute(const AnsiString& sql, const TZIbXSQLDA* in, IZResultSQLDA* area = nullptr) {
    const TZIbXSQLDA* out = area && type == kStmtExecProcedure ? area->GetData() : nullptr;
    plain_->isc_dsql_execute2(status_, Tr(), handle_.get(), Dialect(), in, out);
    Check(sql);
  }
  void SetCursorName(const AnsiString& sql, const AnsiString& name) {
    if (name.empty()) return;
    plain_->isc_dsql_set_cursor_name(status_, handle_.get(), name.c_str(), 0);
    Check(sql);
  }
  int AffectedRows() { return GetAffectedRows(Plain(), *handle_.get(), type); }
  void Free() { FreeStatement(Plain(), *handle_.get()); }
  isc_stmt_handle& Handle() { return *handle_.get(); }
  // The native result set over the handle, which it owns from now on,
  // wrapped for caching as the statement asks.
  Ref<IZResultSet> ResultSet(const Ref<IZStatement>& statement, const AnsiString& sql, const AnsiString& cursorName,
                             const Ref<IZResultSQLDA>& area, bool cachedBlob) {
    auto native = MakeRef<TZInterbase6ResultSet>(statement, sql, std::move(handle_), cursorName, area, cachedBlob,
                                                 type == kStmtExecProcedure);
    return GetCachedResultSet(sql, statement, native);
  }
  void Finish(const AnsiString& logged) {
    if (connection_.GetAutoCommit()) connection_.Commit();
    DriverManager()->LogMessage(lcExecute, plain_->GetProtocol(), logged);
  }

  int type = 0;

private:
  void Check(const AnsiString& sql) { CheckInterbase6Error(Plain(), status_, lcExecute, sql); }

  IZInterbase6Connection& connection_;
  Ref<IZInterbasePlainDriver> plain_;
  ISC_STATUS_VECTOR status_ = {};
  TZInterbaseStatementHandle handle_;  // after the driver that drops it
};

bool CachedBlobProperty(IZStatement* statement) {
  return StrToBoolEx(GetStatementProperty(statement, "cashedblob", "true"));
}

// The rows of an executed select-like statement, or "Cannot retrieve
// Resultset data" when it has no columns.
Ref<IZResultSet> QueryResult(TZExecution& execution, const Ref<IZStatement>& statement, const AnsiString& sql,
                             const AnsiString& cursorName, const Ref<IZResultSQLDA>& area, bool cachedBlob) {
  if (!SelectLike(execution.type) || area->GetFieldCount() == 0)
    throw EZSQLException(SZCanNotRetrieveResultSetData);
  execution.SetCursorName(sql, cursorName);
  Ref<IZResultSet> result = execution.ResultSet(statement, sql, cursorName, area, cachedBlob);
  DriverManager()->LogMessage(lcExecute, execution.Plain()->GetProtocol(), sql);
  return result;
}

// The kind of change a statement kind makes: -1 for none that counts rows.
int UpdateCount(TZExecution& execution) {
  const int type = execution.type;
  if (type == 0 || type == kStmtCommit || type == kStmtRollback) return -1;
  return execution.AffectedRows();
}

}  // namespace

// --- TZInterbase6Statement

TZInterbase6Statement::TZInterbase6Statement(Ref<IZInterbase6Connection> connection, TStrings* properties)
    : TZAbstractStatement(connection, properties), ibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  cachedBlob_ = CachedBlobProperty(this);
}

Ref<IZResultSet> TZInterbase6Statement::ExecuteQuery(const AnsiString& sql) {
  TZExecution execution(*ibConnection_);
  Ref<TZResultSQLDA> area = execution.NewResultArea();
  execution.Prepare(sql);
  execution.DescribeResult(sql, area.get());
  // The statement has no parameters: no input area goes with it.
  execution.Execute(sql, nullptr, area.get());
  return QueryResult(execution, Ref<IZStatement>(this), sql, CursorName, area, cachedBlob_);
}

int TZInterbase6Statement::ExecuteUpdate(const AnsiString& sql) {
  TZExecution execution(*ibConnection_);
  execution.Prepare(sql);
  execution.Execute(sql, nullptr);
  const int result = UpdateCount(execution);
  LastUpdateCount = result;
  execution.Free();
  execution.Finish(sql);
  return result;
}

bool TZInterbase6Statement::Execute(const AnsiString& sql) {
  TZExecution execution(*ibConnection_);
  const int type = execution.Prepare(sql);
  Ref<TZResultSQLDA> area;
  if (SelectLike(type)) {
    area = execution.NewResultArea();
    execution.DescribeResult(sql, area.get());
  }
  execution.Execute(sql, nullptr, area.get());
  LastUpdateCount = execution.AffectedRows();
  if (area && area->GetFieldCount() > 0) {
    execution.SetCursorName(sql, CursorName);
    SetLastResultSet(execution.ResultSet(Ref<IZStatement>(this), sql, CursorName, area, cachedBlob_));
  } else {
    SetLastResultSet(nullptr);
    execution.Free();
  }
  execution.Finish(sql);
  return ReportsResult(type);
}

// --- TZInterbase6PreparedStatement

TZInterbase6PreparedStatement::TZInterbase6PreparedStatement(Ref<IZInterbase6Connection> connection,
                                                             const AnsiString& sql, TStrings* properties)
    : TZAbstractPreparedStatement(connection, sql, properties), ibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  cachedBlob_ = CachedBlobProperty(this);
  auto params = MakeRef<TZParamsSQLDA>(ibConnection_->GetPlainDriver(), ibConnection_->GetDBHandle(),
                                       ibConnection_->GetTrHandle());
  params->SetUtf8Text(ibConnection_->IsUtf8Text());
  paramSqlData_ = params;
}

Ref<IZResultSet> TZInterbase6PreparedStatement::ExecuteQuery(const AnsiString& sql) {
  SQL = sql;
  return ExecuteQueryPrepared();
}

int TZInterbase6PreparedStatement::ExecuteUpdate(const AnsiString& sql) {
  SQL = sql;
  return ExecuteUpdatePrepared();
}

bool TZInterbase6PreparedStatement::Execute(const AnsiString& sql) {
  SQL = sql;
  return ExecutePrepared();
}

bool TZInterbase6PreparedStatement::ExecutePrepared() {
  TZExecution execution(*ibConnection_);
  const int type = execution.Prepare(SQL);
  Ref<TZResultSQLDA> area;
  if (SelectLike(type)) {
    area = execution.NewResultArea();
    execution.DescribeResult(SQL, area.get());
  }
  PrepareParameters(execution.Plain(), SQL, InParamValues, InParamTypes, InParamCount, execution.Dialect(),
                    execution.Handle(), paramSqlData_.get());
  execution.Execute(SQL, paramSqlData_->GetData(), area.get());
  LastUpdateCount = execution.AffectedRows();
  if (area && area->GetFieldCount() > 0) {
    SetLastResultSet(execution.ResultSet(Ref<IZStatement>(this), SQL, RandomString(12), area, cachedBlob_));
  } else {
    SetLastResultSet(nullptr);
    execution.Free();
  }
  execution.Finish(SQL);
  return ReportsResult(type);
}

Ref<IZResultSet> TZInterbase6PreparedStatement::ExecuteQueryPrepared() {
  TZExecution execution(*ibConnection_);
  Ref<TZResultSQLDA> area = execution.NewResultArea();
  execution.Prepare(SQL);
  execution.DescribeResult(SQL, area.get());
  PrepareParameters(execution.Plain(), SQL, InParamValues, InParamTypes, InParamCount, execution.Dialect(),
                    execution.Handle(), paramSqlData_.get());
  execution.Execute(SQL, paramSqlData_->GetData(), area.get());
  return QueryResult(execution, Ref<IZStatement>(this), SQL, CursorName, area, cachedBlob_);
}

int TZInterbase6PreparedStatement::ExecuteUpdatePrepared() {
  TZExecution execution(*ibConnection_);
  execution.Prepare(SQL);
  PrepareParameters(execution.Plain(), SQL, InParamValues, InParamTypes, InParamCount, execution.Dialect(),
                    execution.Handle(), paramSqlData_.get());
  execution.Execute(SQL, paramSqlData_->GetData());
  const int result = UpdateCount(execution);
  LastUpdateCount = result;
  execution.Free();
  execution.Finish(SQL);
  return result;
}

// --- TZInterbase6CallableStatement

TZInterbase6CallableStatement::TZInterbase6CallableStatement(Ref<IZInterbase6Connection> connection,
                                                             const AnsiString& sql, TStrings* properties)
    : TZAbstractCallableStatement(connection, sql, properties), ibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  cachedBlob_ = CachedBlobProperty(this);
  auto params = MakeRef<TZParamsSQLDA>(ibConnection_->GetPlainDriver(), ibConnection_->GetDBHandle(),
                                       ibConnection_->GetTrHandle());
  params->SetUtf8Text(ibConnection_->IsUtf8Text());
  paramSqlData_ = params;
}

Ref<IZResultSet> TZInterbase6CallableStatement::ExecuteQuery(const AnsiString& sql) {
  SQL = sql;
  return ExecuteQueryPrepared();
}

int TZInterbase6CallableStatement::ExecuteUpdate(const AnsiString& sql) {
  SQL = sql;
  return ExecuteUpdatePrepared();
}

bool TZInterbase6CallableStatement::Execute(const AnsiString& sql) {
  SQL = sql;
  return ExecutePrepared();
}

AnsiString TZInterbase6CallableStatement::GetProcedureSql(bool selectProc) const {
  return (selectProc ? "SELECT * FROM " : "EXECUTE PROCEDURE ") + SQL + InParameterMarkers();
}

void TZInterbase6CallableStatement::FetchOutParams(IZResultSQLDA* resultSqlData) {
  const int count = resultSqlData->GetFieldCount();
  SetOutParamCount(count);
  const IZVariantManager& manager = *DefaultVarManager();
  for (int i = 0; i < count; ++i) {
    // A value of its own per column: a type without a conversion stays null
    // rather than repeating the column before it.
    TZVariant value;
    if (!resultSqlData->IsNull(i)) {
      switch (resultSqlData->GetFieldSqlType(i)) {
        case stBoolean: manager.SetAsBoolean(value, resultSqlData->GetBoolean(i)); break;
        case stByte: manager.SetAsInteger(value, resultSqlData->GetByte(i)); break;
        case stShort: manager.SetAsInteger(value, resultSqlData->GetShort(i)); break;
        case stInteger: manager.SetAsInteger(value, resultSqlData->GetInt(i)); break;
        case stLong: manager.SetAsInteger(value, resultSqlData->GetLong(i)); break;
        case stFloat:
        case stDouble:
        case stBigDecimal: manager.SetAsFloat(value, resultSqlData->GetBigDecimal(i)); break;
        // Texts, bytes and blobs as their bytes.
        case stString:
        case stBytes:
        case stAsciiStream:
        case stBinaryStream: manager.SetAsString(value, resultSqlData->GetString(i)); break;
        case stUnicodeString:
        case stUnicodeStream: manager.SetAsUnicodeString(value, AnsiToWide(resultSqlData->GetString(i))); break;
        case stDate: manager.SetAsDateTime(value, resultSqlData->GetDate(i)); break;
        case stTime: manager.SetAsDateTime(value, resultSqlData->GetTime(i)); break;
        case stTimestamp: manager.SetAsDateTime(value, resultSqlData->GetTimestamp(i)); break;
        default: break;
      }
    }
    OutParamValues[static_cast<std::size_t>(i)] = value;
  }
}

// EXECUTE PROCEDURE returns its one row with the execution: the procedure's
// outputs are read into the output parameters at once, never left to a
// cursor, which such a statement does not have.
int TZInterbase6CallableStatement::ExecuteProcedure() {
  TrimInParameters();
  const AnsiString sql = GetProcedureSql(false);
  TZExecution execution(*ibConnection_);
  Ref<TZResultSQLDA> area = execution.NewResultArea();
  const int type = execution.Prepare(sql);
  execution.DescribeResult(SQL, area.get());
  PrepareParameters(execution.Plain(), sql, InParamValues, InParamTypes, InParamCount, execution.Dialect(),
                    execution.Handle(), paramSqlData_.get());
  execution.Execute(sql, paramSqlData_->GetData(), area.get());
  LastUpdateCount = execution.AffectedRows();
  FetchOutParams(area.get());
  execution.Free();
  execution.Finish(SQL);
  return type;
}

bool TZInterbase6CallableStatement::ExecutePrepared() {
  SetLastResultSet(nullptr);
  return ReportsResult(ExecuteProcedure());
}

Ref<IZResultSet> TZInterbase6CallableStatement::ExecuteQueryPrepared() {
  TrimInParameters();
  const AnsiString sql = GetProcedureSql(true);
  TZExecution execution(*ibConnection_);
  Ref<TZResultSQLDA> area = execution.NewResultArea();
  execution.Prepare(sql);
  execution.DescribeResult(SQL, area.get());
  PrepareParameters(execution.Plain(), sql, InParamValues, InParamTypes, InParamCount, execution.Dialect(),
                    execution.Handle(), paramSqlData_.get());
  execution.Execute(sql, paramSqlData_->GetData());
  // Without columns the handle goes with the execution.
  if (!SelectLike(execution.type) || area->GetFieldCount() == 0) return nullptr;
  execution.SetCursorName(sql, CursorName);
  Ref<IZResultSet> result = execution.ResultSet(Ref<IZStatement>(this), sql, CursorName, area, cachedBlob_);
  DriverManager()->LogMessage(lcExecute, execution.Plain()->GetProtocol(), SQL);
  return result;
}

int TZInterbase6CallableStatement::ExecuteUpdatePrepared() {
  ExecuteProcedure();
  return LastUpdateCount;
}
