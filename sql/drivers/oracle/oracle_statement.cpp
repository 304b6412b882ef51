// The Oracle statements: handles per execution for plain text, one prepared
// handle pair with bound variables for "?" statements, the choice between
// the native and the cached result set, and the resolver's DUAL queries.

#include "sql/drivers/oracle/oracle_statement.h"

#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_result_set.h"
#include "sql/drivers/oracle/oracle_utils.h"

namespace {

IZOracleConnection& OracleConnection(IZStatement& statement) {
  return *Query<IZOracleConnection>(statement.GetConnection());
}

void PrepareOracleSQL(IZOraclePlainDriver* plainDriver, const AnsiString& sql, OCIStmt* handle,
                      OCIError* errorHandle) {
  sword status = plainDriver->OCIStmtPrepare(handle, errorHandle, reinterpret_cast<const OraText*>(sql.data()),
                                             static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  CheckOracleStatus(plainDriver, errorHandle, status, lcExecute, sql);
}

void ExecuteOracleSQL(IZOraclePlainDriver* plainDriver, IZOracleConnection& connection, const AnsiString& sql,
                      OCIStmt* handle, OCIError* errorHandle) {
  sword status = plainDriver->OCIStmtExecute(connection.GetContextHandle(), handle, errorHandle, 1, 0, nullptr,
                                             nullptr, OCI_DEFAULT);
  CheckOracleStatus(plainDriver, errorHandle, status, lcExecute, sql);
}

int ReadRowCount(IZOraclePlainDriver* plainDriver, OCIStmt* handle, OCIError* errorHandle) {
  ub4 count = 0;
  plainDriver->OCIAttrGet(handle, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_ROW_COUNT, errorHandle);
  return static_cast<int>(count);
}

bool IsQueryStatement(IZOraclePlainDriver* plainDriver, OCIStmt* handle, OCIError* errorHandle) {
  ub2 type = 0;
  plainDriver->OCIAttrGet(handle, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, errorHandle);
  return type == OCI_STMT_SELECT;
}

// The native cursor, wrapped in a cached result set when the statement asks
// to scroll or update.
Ref<IZResultSet> OpenOracleResultSet(const Ref<IZOraclePlainDriver>& plainDriver, const Ref<IZStatement>& statement,
                                     const AnsiString& sql, std::shared_ptr<TZOracleStatementHandles> handles,
                                     std::vector<Ref<IZBlob>> parameterBlobs = {}) {
  auto native = MakeRef<TZOracleResultSet>(plainDriver, statement, sql, std::move(handles));
  native->KeepParameterBlobs(std::move(parameterBlobs));
  if (statement->GetResultSetConcurrency() != rcUpdatable && statement->GetResultSetType() == rtForwardOnly)
    return native;
  auto resolver = MakeRef<TZOracleCachedResolver>(statement, native->GetMetadata());
  auto cached = MakeRef<TZCachedResultSet>(native, sql, resolver);
  cached->SetConcurrency(rcUpdatable);
  return cached;
}

void LogExecute(IZOraclePlainDriver* plainDriver, const AnsiString& sql) {
  DriverManager()->LogMessage(lcExecute, plainDriver->GetProtocol(), sql);
}

void CommitWhenAuto(IZStatement& statement) {
  if (statement.GetConnection()->GetAutoCommit()) statement.GetConnection()->Commit();
}

// The type a parameter's buffer is made for. Types that would get no
// buffer travel as their nearest buffered type, so a value is never sent
// as NULL; binary and wide streams still have none.
TZSQLType BufferedParameterType(TZSQLType type) {
  switch (type) {
    case stBigDecimal:
      return stDouble;
    case stBoolean:
      return stInteger;
    case stUnicodeString:
      return stString;
    default:
      return type;
  }
}

}  // namespace

TZOracleStatementHandles::TZOracleStatementHandles(Ref<IZOraclePlainDriver> plainDriver,
                                                   IZOracleConnection& connection)
    : PlainDriver(std::move(plainDriver)) {
  PlainDriver->OCIHandleAlloc(connection.GetEnvironmentHandle(), reinterpret_cast<void**>(&ErrorHandle),
                              OCI_HTYPE_ERROR, 0, nullptr);
  PlainDriver->OCIHandleAlloc(connection.GetEnvironmentHandle(), reinterpret_cast<void**>(&Handle), OCI_HTYPE_STMT,
                              0, nullptr);
}

TZOracleStatementHandles::~TZOracleStatementHandles() {
  try {
    if (ErrorHandle) PlainDriver->OCIHandleFree(ErrorHandle, OCI_HTYPE_ERROR);
    if (Handle) PlainDriver->OCIHandleFree(Handle, OCI_HTYPE_STMT);
    FreeVarBlock(PlainDriver.get(), Vars);
  } catch (...) {
    // A library without the free calls has nothing left to free.
  }
}

AnsiString RewriteOracleParameters(IZConnection* connection, const AnsiString& sql) {
  if (sql.find('?') == AnsiString::npos) return sql;
  Ref<IZTokenizer> tokenizer = connection->GetDriver()->GetTokenizer();
  AnsiString result;
  int number = 0;
  for (const TZToken& token : tokenizer->TokenizeBuffer(sql, toUnifyWhitespaces))
    result += token.Value == "?" ? ":P" + IntToStr(++number) : token.Value;
  return result;
}

// --- TZOracleStatement

TZOracleStatement::TZOracleStatement(Ref<IZOraclePlainDriver> plainDriver, Ref<IZConnection> connection,
                                     TStrings* properties)
    : TZAbstractStatement(std::move(connection), properties), plainDriver_(std::move(plainDriver)) {
  SetResultSetType(rtForwardOnly);
}

Ref<IZResultSet> TZOracleStatement::ExecuteQuery(const AnsiString& sql) {
  auto handles = std::make_shared<TZOracleStatementHandles>(plainDriver_, OracleConnection(*this));
  PrepareOracleSQL(plainDriver_.get(), sql, handles->Handle, handles->ErrorHandle);
  Ref<IZResultSet> result = OpenOracleResultSet(plainDriver_, Ref<IZStatement>(this), sql, std::move(handles));
  LogExecute(plainDriver_.get(), sql);
  return result;
}

int TZOracleStatement::ExecuteUpdate(const AnsiString& sql) {
  IZOracleConnection& connection = OracleConnection(*this);
  int result;
  {
    TZOracleStatementHandles handles(plainDriver_, connection);
    PrepareOracleSQL(plainDriver_.get(), sql, handles.Handle, handles.ErrorHandle);
    ExecuteOracleSQL(plainDriver_.get(), connection, sql, handles.Handle, handles.ErrorHandle);
    result = ReadRowCount(plainDriver_.get(), handles.Handle, handles.ErrorHandle);
  }
  LogExecute(plainDriver_.get(), sql);
  CommitWhenAuto(*this);
  return result;
}

bool TZOracleStatement::Execute(const AnsiString& sql) {
  IZOracleConnection& connection = OracleConnection(*this);
  bool result = false;
  {
    // A query's result set keeps the handles; otherwise they go here.
    auto handles = std::make_shared<TZOracleStatementHandles>(plainDriver_, connection);
    PrepareOracleSQL(plainDriver_.get(), sql, handles->Handle, handles->ErrorHandle);
    if (IsQueryStatement(plainDriver_.get(), handles->Handle, handles->ErrorHandle)) {
      SetLastResultSet(OpenOracleResultSet(plainDriver_, Ref<IZStatement>(this), sql, std::move(handles)));
      result = LastResultSet != nullptr;
    } else {
      ExecuteOracleSQL(plainDriver_.get(), connection, sql, handles->Handle, handles->ErrorHandle);
      LastUpdateCount = ReadRowCount(plainDriver_.get(), handles->Handle, handles->ErrorHandle);
    }
  }
  LogExecute(plainDriver_.get(), sql);
  if (!result) CommitWhenAuto(*this);
  return result;
}

// --- TZOraclePreparedStatement

TZOraclePreparedStatement::TZOraclePreparedStatement(Ref<IZOraclePlainDriver> plainDriver,
                                                     Ref<IZConnection> connection, const AnsiString& sql,
                                                     TStrings* properties)
    : TZAbstractPreparedStatement(std::move(connection), sql, properties), plainDriver_(std::move(plainDriver)) {
  SetResultSetType(rtForwardOnly);
  oracleSQL_ = RewriteOracleParameters(Connection.get(), sql);
}

void TZOraclePreparedStatement::Prepare() {
  if (prepared_) return;
  IZOraclePlainDriver* driver = plainDriver_.get();
  if (!handles_) handles_ = std::make_shared<TZOracleStatementHandles>(plainDriver_, OracleConnection(*this));
  PrepareOracleSQL(driver, oracleSQL_, handles_->Handle, handles_->ErrorHandle);
  std::unique_ptr<TZSQLVars>& vars = handles_->Vars;
  FreeVarBlock(driver, vars);
  AllocateVarBlock(vars, InParamCount);
  vars->ActualNum = InParamCount;
  for (int i = 1; i <= InParamCount; ++i) {
    TZSQLVar& variable = vars->Variable(i);
    TZSQLType type = BufferedParameterType(InParamTypes[i - 1]);
    ub2 typeCode = type == stBinaryStream ? SQLT_BLOB : type == stAsciiStream ? SQLT_CLOB : SQLT_STR;
    PrepareVar(driver, Connection.get(), variable, type, typeCode, 1024);
    BindParamVar(driver, handles_->Handle, handles_->ErrorHandle, i, variable, SQL);
  }
  LogExecute(driver, SQL);
  prepared_ = true;
}

void TZOraclePreparedStatement::LoadParameters() {
  Prepare();
  LoadParamVars(plainDriver_.get(), Connection.get(), handles_->Handle, handles_->ErrorHandle, InParamValues,
                *handles_->Vars);
}

bool TZOraclePreparedStatement::IsQuery() {
  return IsQueryStatement(plainDriver_.get(), handles_->Handle, handles_->ErrorHandle);
}

Ref<IZResultSet> TZOraclePreparedStatement::OpenQuery() {
  std::vector<Ref<IZBlob>> blobs;
  for (TZSQLVar& variable : handles_->Vars->Variables)
    if (variable.Blob) blobs.push_back(variable.Blob);
  return OpenOracleResultSet(plainDriver_, Ref<IZStatement>(this), SQL, handles_, std::move(blobs));
}

int TZOraclePreparedStatement::RunUpdate() {
  ExecuteOracleSQL(plainDriver_.get(), OracleConnection(*this), oracleSQL_, handles_->Handle, handles_->ErrorHandle);
  return ReadRowCount(plainDriver_.get(), handles_->Handle, handles_->ErrorHandle);
}

Ref<IZResultSet> TZOraclePreparedStatement::ExecuteQueryPrepared() {
  LoadParameters();
  Ref<IZResultSet> result = OpenQuery();
  LogExecute(plainDriver_.get(), SQL);
  ResetParamVars(*handles_->Vars);
  return result;
}

int TZOraclePreparedStatement::ExecuteUpdatePrepared() {
  LoadParameters();
  if (IsQuery()) {
    Ref<IZResultSet> resultSet = OpenQuery();
    int rows = 0;
    while (resultSet->Next()) ++rows;
    resultSet->Close();
    LastUpdateCount = rows;
  } else {
    LastUpdateCount = RunUpdate();
  }
  LogExecute(plainDriver_.get(), oracleSQL_);
  ResetParamVars(*handles_->Vars);
  CommitWhenAuto(*this);
  return LastUpdateCount;
}

bool TZOraclePreparedStatement::ExecutePrepared() {
  LoadParameters();
  bool result = false;
  if (IsQuery()) {
    SetLastResultSet(OpenQuery());
    result = LastResultSet != nullptr;
  } else {
    LastUpdateCount = RunUpdate();
  }
  LogExecute(plainDriver_.get(), oracleSQL_);
  ResetParamVars(*handles_->Vars);
  if (!result) CommitWhenAuto(*this);
  return result;
}

void TZOraclePreparedStatement::Close() {
  TZAbstractPreparedStatement::Close();
  if (lastExecStatement_) lastExecStatement_->Close();
  lastExecStatement_ = nullptr;
  handles_.reset();
  prepared_ = false;
}

Ref<IZStatement> TZOraclePreparedStatement::GetExecStatement() {
  if (execStatement_) return execStatement_;
  execStatement_ = MakeRef<TZOracleStatement>(plainDriver_, Connection, GetProperties());
  execStatement_->SetMaxFieldSize(GetMaxFieldSize());
  execStatement_->SetMaxRows(GetMaxRows());
  execStatement_->SetEscapeProcessing(EscapeProcessing);
  execStatement_->SetQueryTimeout(GetQueryTimeout());
  execStatement_->SetCursorName(CursorName);
  execStatement_->SetFetchDirection(GetFetchDirection());
  execStatement_->SetFetchSize(GetFetchSize());
  execStatement_->SetResultSetConcurrency(GetResultSetConcurrency());
  execStatement_->SetResultSetType(GetResultSetType());
  return execStatement_;
}

Ref<IZResultSet> TZOraclePreparedStatement::ExecuteQuery(const AnsiString& sql) {
  return GetExecStatement()->ExecuteQuery(sql);
}

int TZOraclePreparedStatement::ExecuteUpdate(const AnsiString& sql) {
  LastUpdateCount = GetExecStatement()->ExecuteUpdate(sql);
  return LastUpdateCount;
}

bool TZOraclePreparedStatement::Execute(const AnsiString& sql) {
  if (lastExecStatement_) lastExecStatement_->Close();
  lastExecStatement_ = GetExecStatement();
  bool result = lastExecStatement_->Execute(sql);
  if (result)
    SetLastResultSet(lastExecStatement_->GetResultSet());
  else
    LastUpdateCount = lastExecStatement_->GetUpdateCount();
  return result;
}

// --- TZOracleCachedResolver

AnsiString TZOracleCachedResolver::FormCalculateStatement(const TZResolverParameters& columns) {
  AnsiString result = TZGenericCachedResolver::FormCalculateStatement(columns);
  if (result.empty()) return result;
  // The generic statement has no FROM of its own: any FROM in it belongs to
  // a default value's subquery, and the values are read from DUAL.
  return result + " FROM DUAL";
}
