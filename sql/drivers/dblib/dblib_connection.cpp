// The DB-Library connection: the login record, the session settings, the
// transaction commands and the error check every library call is followed
// by. Every step is reported to the driver manager's log under the plain
// driver's protocol.

#include "sql/drivers/dblib/dblib_connection.h"

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/dblib/dblib_metadata.h"
#include "sql/drivers/dblib/dblib_statement.h"

namespace {

constexpr char kSessionSettings[] = "set textsize 2147483647 set quoted_identifier on";
constexpr char kTextLimit[] = "2147483647";
constexpr char kTextLimitLog[] = "set textlimit=2147483647";
constexpr char kBeginTransaction[] = "begin transaction";
constexpr char kCommit[] = "commit";
constexpr char kRollback[] = "rollback";
constexpr char kRollbackPending[] = "if @@trancount > 0 rollback";
constexpr char kGetCatalogLog[] = "GETCATALOG";
// The system's own text is Windows-1250; the library converts to and from
// the server's character set.
constexpr char kClientCharset[] = "CP1250";
// A "timeout" that is no number.
constexpr int kDefaultLoginTimeoutSeconds = 60;
// dbresults' answer when the batch has no result left.
constexpr RETCODE kNoMoreResults = 2;

// The isolation level names of MS SQL Server and the level numbers of
// Sybase ASE; tiNone uses the servers' default, read committed.
const char* IsolationLevelText(TZTransactIsolationLevel level, bool msSql) {
  switch (level) {
    case tiReadUncommitted: return msSql ? "READ UNCOMMITTED" : "0";
    case tiRepeatableRead: return msSql ? "REPEATABLE READ" : "2";
    case tiSerializable: return msSql ? "SERIALIZABLE" : "3";
    default: return msSql ? "READ COMMITTED" : "1";
  }
}

// A backslash at a line's end continues the line for MS SQL Server; doubled,
// it stays a character of the text.
AnsiString ProtectLineContinuations(const AnsiString& sql) {
  AnsiString result;
  result.reserve(sql.size());
  for (std::size_t i = 0; i < sql.size(); ++i) {
    if (sql[i] == '\\' && i + 1 < sql.size() && sql[i + 1] == '\r') result += '\\';
    result += sql[i];
  }
  return result;
}

}  // namespace

TZDBLibConnection::TZDBLibConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZDBLibPlainDriver> plainDriver,
                                     const AnsiString& hostName, int port, const AnsiString& database,
                                     const AnsiString& user, const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  if (IsMsSql())
    SetMetadata(std::make_unique<TZMsSqlDatabaseMetadata>(this, url, GetProperties()));
  else
    SetMetadata(std::make_unique<TZSybaseDatabaseMetadata>(this, url, GetProperties()));
}

Ref<IZStatement> TZDBLibConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZDBLibStatement>(Ref<IZDBLibConnection>(this), info);
}

Ref<IZPreparedStatement> TZDBLibConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZDBLibPreparedStatementEmulated>(Ref<IZDBLibConnection>(this), sql, info);
}

Ref<IZCallableStatement> TZDBLibConnection::NewCallableStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZDBLibCallableStatement>(Ref<IZDBLibConnection>(this), sql, info);
}

bool TZDBLibConnection::IsMsSql() { return plainDriver_->GetProtocol() == "mssql"; }

void TZDBLibConnection::LogMessage(TZLoggingCategory category, const AnsiString& message) {
  DriverManager()->LogMessage(category, plainDriver_->GetProtocol(), message);
}

void TZDBLibConnection::CheckDBLibError(TZLoggingCategory category, const AnsiString& logMessage) {
  try {
    plainDriver_->CheckError();
  } catch (const Exception& error) {
    DriverManager()->LogError(category, plainDriver_->GetProtocol(), logMessage, 0, error.Message());
    throw;
  }
}

AnsiString TZDBLibConnection::ApplyLoginSettings(DBLibLogin* login) {
  TStrings* properties = GetProperties();
  AnsiString logMessage = Format("CONNECT TO \"%s\"", {HostName()});
  if (AnsiString value = properties->Values("workstation"); !value.empty())
    plainDriver_->dbsetlhost(login, value.c_str());
  if (AnsiString value = properties->Values("appname"); !value.empty()) plainDriver_->dbsetlapp(login, value.c_str());
  if (AnsiString value = properties->Values("language"); !value.empty())
    plainDriver_->dbsetlnatlang(login, value.c_str());
  if (AnsiString value = properties->Values("timeout"); !value.empty())
    plainDriver_->dbsetlogintime(StrToIntDef(value, kDefaultLoginTimeoutSeconds));

  const bool networkAuth = IsMsSql() && (StrToBoolEx(properties->Values("NTAuth")) ||
                                         StrToBoolEx(properties->Values("trusted")) ||
                                         StrToBoolEx(properties->Values("secure")));
  // Sybase names its character set itself; MS SQL Server takes the system's.
  AnsiString charset = IsMsSql() ? AnsiString() : properties->Values("codepage");
  if (charset.empty()) charset = kClientCharset;
  if (!IsMsSql()) plainDriver_->dbsetlcharset(login, charset.c_str());
  if (networkAuth) {
    plainDriver_->dbsetlsecure(login);
    logMessage += " USING WINDOWS AUTHENTICATION";
  } else {
    plainDriver_->dbsetluser(login, User().c_str());
    plainDriver_->dbsetlpwd(login, Password().c_str());
    logMessage += Format(" AS USER \"%s\"", {User()});
  }
  if (IsMsSql()) plainDriver_->dbsetlcharset(login, charset.c_str());
  return logMessage;
}

void TZDBLibConnection::Login() {
  const TZDBLibLoginHandle login(plainDriver_.get(), plainDriver_->dblogin());
  const AnsiString logMessage = ApplyLoginSettings(login.get());
  CheckDBLibError(lcConnect, logMessage);
  const AnsiString server = Port() ? Format("%s:%d", {HostName(), Port()}) : HostName();
  handle_.Reset(plainDriver_.get(), plainDriver_->dbopen(login.get(), server.c_str()));
  try {
    CheckDBLibError(lcConnect, logMessage);
  } catch (...) {
    // A process that opened despite an error is no connection to keep.
    DropProcess();
    throw;
  }
  if (!handle_) {
    // The library failed without saying why; going on would use no process.
    DriverManager()->LogError(lcConnect, plainDriver_->GetProtocol(), logMessage, 0, SZCanNotConnectToServer);
    throw Exception(SZCanNotConnectToServer);
  }
  LogMessage(lcConnect, logMessage);
}

void TZDBLibConnection::Open() {
  if (!IsClosed()) return;
  Login();
  try {
    SetUp();
  } catch (...) {
    DropProcess();
    TZAbstractConnection::Close();
    throw;
  }
}

void TZDBLibConnection::SetUp() {
  const AnsiString useLog = Format("USE %s", {Database()});
  if (plainDriver_->dbuse(handle_.get(), Database().c_str()) != kDBSucceed) CheckDBLibError(lcConnect, useLog);
  LogMessage(lcConnect, useLog);
  if (plainDriver_->dbsetopt(handle_.get(), kDBTextLimit, kTextLimit, -1) != kDBSucceed)
    CheckDBLibError(lcConnect, kTextLimitLog);
  LogMessage(lcConnect, kTextLimitLog);
  InternalExecuteStatement(kSessionSettings);
  TZAbstractConnection::Open();
  SendIsolationLevel();
  StartTransactionIfNeeded();
}

void TZDBLibConnection::DropProcess() { handle_.Reset(); }

void TZDBLibConnection::SendIsolationLevel() {
  InternalExecuteStatement(AnsiString("SET TRANSACTION ISOLATION LEVEL ") +
                           IsolationLevelText(GetTransactIsolationLevel(), IsMsSql()));
}

void TZDBLibConnection::StartTransactionIfNeeded() {
  if (!IsClosed() && !GetAutoCommit() && GetTransactIsolationLevel() != tiNone)
    InternalExecuteStatement(kBeginTransaction);
}

DBLibProcess* TZDBLibConnection::GetConnectionHandle() {
  if (!handle_) throw EZSQLException(SZConnectionIsNotOpened);
  if (IsMsSql() && !IsClosed() && plainDriver_->dbdead(handle_.get())) {
    // The dead process still holds the library's memory; closing it sends
    // nothing to the server.
    DropProcess();
    TZAbstractConnection::Close();
    Open();
  }
  return handle_.get();
}

DBLibProcess* TZDBLibConnection::SendBatch(const AnsiString& sql) {
  DBLibProcess* handle = GetConnectionHandle();
  if (plainDriver_->dbcancel(handle) != kDBSucceed) CheckDBLibError(lcExecute, sql);
  const AnsiString text = IsMsSql() ? ProtectLineContinuations(sql) : sql;
  if (plainDriver_->dbcmd(handle, text.c_str()) != kDBSucceed) CheckDBLibError(lcExecute, sql);
  if (plainDriver_->dbsqlexec(handle) != kDBSucceed) CheckDBLibError(lcExecute, sql);
  return handle;
}

void TZDBLibConnection::InternalExecuteStatement(const AnsiString& sql) {
  DBLibProcess* handle = SendBatch(sql);
  // Reads every result of the batch; a library that reports no result left
  // ends the loop even if it still claimed more commands. Only rows are
  // discarded: after a count, dbcanquery would read on into the next result.
  do {
    const RETCODE answer = plainDriver_->dbresults(handle);
    if (answer == kDBSucceed && plainDriver_->dbcmdrow(handle) == kDBSucceed) plainDriver_->dbcanquery(handle);
    if (answer == kNoMoreResults) break;
  } while (plainDriver_->dbmorecmds(handle) != 0);
  CheckDBLibError(lcExecute, sql);
  LogMessage(lcExecute, sql);
}

void TZDBLibConnection::Close() {
  if (IsClosed()) return;
  const AnsiString logMessage = Format("CLOSE CONNECTION TO \"%s\" DATABASE \"%s\"", {HostName(), Database()});
  try {
    if (!plainDriver_->dbdead(handle_.get())) InternalExecuteStatement(kRollbackPending);
  } catch (...) {
    // The process is closed even when the rollback fails: the server then
    // rolls back itself.
    DropProcess();
    TZAbstractConnection::Close();
    throw;
  }
  if (plainDriver_->dbclose(handle_.Take()) != kDBSucceed) CheckDBLibError(lcDisconnect, logMessage);
  LogMessage(lcDisconnect, logMessage);
  TZAbstractConnection::Close();
}

void TZDBLibConnection::SetAutoCommit(bool value) {
  if (value == GetAutoCommit()) return;
  if (value && !IsClosed()) InternalExecuteStatement(kCommit);
  TZAbstractConnection::SetAutoCommit(value);
  StartTransactionIfNeeded();
}

void TZDBLibConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (level == GetTransactIsolationLevel()) return;
  if (!IsClosed() && !GetAutoCommit() && GetTransactIsolationLevel() != tiNone) InternalExecuteStatement(kCommit);
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) SendIsolationLevel();
  StartTransactionIfNeeded();
}

void TZDBLibConnection::Commit() {
  if (GetAutoCommit()) throw Exception(SZCommitInAutoCommit);
  InternalExecuteStatement(kCommit);
  InternalExecuteStatement(kBeginTransaction);
}

void TZDBLibConnection::Rollback() {
  if (GetAutoCommit()) throw Exception(SZRollbackInAutoCommit);
  InternalExecuteStatement(kRollback);
  InternalExecuteStatement(kBeginTransaction);
}

void TZDBLibConnection::SetCatalog(const AnsiString& catalog) {
  if (catalog.empty() || IsClosed()) return;
  const AnsiString logMessage = Format("SET CATALOG %s", {catalog});
  if (plainDriver_->dbuse(handle_.get(), catalog.c_str()) != kDBSucceed) CheckDBLibError(lcOther, logMessage);
  LogMessage(lcOther, logMessage);
}

AnsiString TZDBLibConnection::GetCatalog() {
  if (!handle_) return AnsiString();
  AnsiString catalog = plainDriver_->dbname(handle_.get());
  CheckDBLibError(lcOther, kGetCatalogLog);
  return catalog;
}
