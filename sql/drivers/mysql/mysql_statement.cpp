// Running SQL text on a MySQL session and rendering parameter values as
// MySQL literals for the emulated prepared statement.

#include "sql/drivers/mysql/mysql_statement.h"

#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"
#include "sql/drivers/mysql/mysql_connection.h"
#include "sql/drivers/mysql/mysql_resolver.h"
#include "sql/drivers/mysql/mysql_result_handle.h"
#include "sql/drivers/mysql/mysql_result_set.h"
#include "sql/drivers/mysql/mysql_utils.h"

// --- the connection's statement factories, kept beside the statements they make

Ref<IZStatement> TZMySQLConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZMySQLStatement>(plainDriver_, Ref<IZMySQLConnection>(this), info);
}

Ref<IZPreparedStatement> TZMySQLConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZMySQLPreparedStatement>(plainDriver_, Ref<IZMySQLConnection>(this), sql, info);
}

// --- TZMySQLStatement

TZMySQLStatement::TZMySQLStatement(Ref<IZMySQLPlainDriver> plainDriver, Ref<IZMySQLConnection> connection,
                                   TStrings* properties)
    : TZAbstractStatement(connection, properties), plainDriver_(std::move(plainDriver)),
      mysqlConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  useResult_ = StrToBoolEx(GetStatementProperty(this, "useresult", "false"));
}

MYSQL* TZMySQLStatement::Handle() {
  MYSQL* handle = mysqlConnection_->GetConnectionHandle();
  // A statement may outlive its session: the library must not see a stale handle.
  if (!handle || mysqlConnection_->IsClosed()) throw EZSQLException(SZConnectionIsNotOpened);
  return handle;
}

bool TZMySQLStatement::Run(const AnsiString& sql) {
  MYSQL* handle = Handle();
  if (plainDriver_->ExecRealQuery(handle, sql.data(), static_cast<unsigned long>(sql.size())) != 0) {
    CheckMySQLError(plainDriver_.get(), handle, lcExecute, sql);
    return false;
  }
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
  return true;
}

Ref<IZResultSet> TZMySQLStatement::ExecuteQuery(const AnsiString& sql) {
  if (!Run(sql)) return nullptr;
  if (!plainDriver_->ResultSetExists(Handle())) throw EZSQLException(SZCanNotOpenResultSet);
  return CreateResultSet(sql);
}

int TZMySQLStatement::ExecuteUpdate(const AnsiString& sql) {
  int result = -1;
  if (Run(sql)) {
    MYSQL* handle = Handle();
    if (!plainDriver_->ResultSetExists(handle)) {
      result = static_cast<int>(plainDriver_->GetAffectedRows(handle));
    } else if (TZMySQLResultHandle stored(plainDriver_.get(), plainDriver_->StoreResult(handle)); stored) {
      result = static_cast<int>(plainDriver_->GetRowCount(stored.get()));
    } else {
      result = static_cast<int>(plainDriver_->GetAffectedRows(handle));
    }
  }
  LastUpdateCount = result;
  return result;
}

bool TZMySQLStatement::Execute(const AnsiString& sql) {
  lastSQL_ = sql;
  // The answer of the previous text goes first: a streamed one would keep
  // the session busy, and a text without rows must not show old ones.
  SetLastResultSet(nullptr);
  if (!Run(sql)) return false;
  if (plainDriver_->ResultSetExists(Handle())) {
    SetLastResultSet(CreateResultSet(sql));
    return true;
  }
  LastUpdateCount = static_cast<int>(plainDriver_->GetAffectedRows(Handle()));
  return false;
}

// Whether the library can step to the next result is told by its entry
// points: the client version number of a library from another vendor says
// nothing about it.
bool TZMySQLStatement::GetMoreResults() {
  bool result = TZAbstractStatement::GetMoreResults();
  if (!plainDriver_->SupportsNextResult()) return result;
  MYSQL* handle = Handle();
  const int status = plainDriver_->NextResult(handle);
  if (status > 0) CheckMySQLError(plainDriver_.get(), handle, lcExecute, lastSQL_);
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  // Past the last result the session still reports the old one's columns.
  if (status != 0) return false;
  if (plainDriver_->ResultSetExists(handle))
    SetLastResultSet(CreateResultSet(lastSQL_));
  else
    LastUpdateCount = static_cast<int>(plainDriver_->GetAffectedRows(handle));
  return true;
}

Ref<IZResultSet> TZMySQLStatement::CreateResultSet(const AnsiString& sql) {
  Ref<IZStatement> self(this);
  auto nativeResultSet = MakeRef<TZMySQLResultSet>(plainDriver_, self, sql, Handle(), useResult_);
  if (ResultSetConcurrency == rcReadOnly && (!useResult_ || ResultSetType == rtForwardOnly)) return nativeResultSet;

  Ref<IZCachedResolver> resolver =
      MakeRef<TZMySQLCachedResolver>(plainDriver_, self, nativeResultSet->GetMetadata());
  auto cachedResultSet = MakeRef<TZMySQLCachedResultSet>(nativeResultSet, sql, resolver);
  cachedResultSet->SetConcurrency(ResultSetConcurrency);
  cachedResultSet->ReserveRows(nativeResultSet->StoredRowCount());
  return cachedResultSet;
}

// --- TZMySQLPreparedStatement

namespace {

// The literal form of a value whose parameter type was not declared.
TZSQLType TypeOfValue(const TZVariant& value) {
  switch (value.VType) {
    case vtBoolean: return stBoolean;
    case vtInteger: return stLong;
    case vtFloat: return stBigDecimal;
    case vtDateTime: return stTimestamp;
    case vtInterface: return stBinaryStream;
    default: return stString;
  }
}

}  // namespace

TZMySQLPreparedStatement::TZMySQLPreparedStatement(Ref<IZMySQLPlainDriver> plainDriver,
                                                   Ref<IZMySQLConnection> connection, const AnsiString& sql,
                                                   TStrings* properties)
    : TZEmulatedPreparedStatement(connection, sql, properties), plainDriver_(std::move(plainDriver)),
      mysqlConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
}

Ref<IZStatement> TZMySQLPreparedStatement::NewExecStatement() {
  return MakeRef<TZMySQLStatement>(plainDriver_, mysqlConnection_, GetProperties());
}

AnsiString TZMySQLPreparedStatement::QuotedText(const AnsiString& value) {
  const AnsiString escaped = mysqlConnection_->EscapeString(value);
  AnsiString literal;
  literal.reserve(escaped.size() + 2);
  literal.append(1, '\'').append(escaped).append(1, '\'');
  return literal;
}

// An empty blob is the empty value: NULL is told apart before.
AnsiString TZMySQLPreparedStatement::BlobText(const TZVariant& value) {
  if (value.VType != vtInterface) return SoftVarManager()->GetAsString(value);
  Ref<IZBlob> blob = Query<IZBlob>(value.VInterface);
  return blob ? blob->GetString() : AnsiString();
}

AnsiString TZMySQLPreparedStatement::GetParameterSQL(int paramIndex) {
  if (paramIndex >= InParamCount) throw EZSQLException(SZInvalidInputParameterCount);
  const TZVariant& value = InParamValues[paramIndex];
  if (DefaultVarManager()->IsNull(value)) {
    const AnsiString& defaultValue = InParamDefaultValues[paramIndex];
    if (!defaultValue.empty() && StrToBoolEx(GetStatementProperty(this, "defaults", "true"))) return defaultValue;
    return "NULL";
  }

  TZSQLType type = InParamTypes[paramIndex];
  if (type == stUnknown) type = TypeOfValue(value);
  AnsiString literal;
  if (ScalarParameterLiteral(type, value, literal)) return literal;
  switch (type) {
    case stAsciiStream:
    case stUnicodeStream:
      return QuotedText(BlobText(value));
    case stBinaryStream:
    case stBytes:
      return HexText(BlobText(value), "X'", "'");  // no session character set converts bytes
    default:
      // Texts and wide texts (carried in the system's code page).
      return QuotedText(SoftVarManager()->GetAsString(value));
  }
}
