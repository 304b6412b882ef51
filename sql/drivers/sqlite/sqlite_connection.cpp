// The SQLite connection: opening the file, the session pragma, the optional
// key, and the transaction commands. Every step is reported to the driver
// manager's log under the plain driver's protocol.

#include "sql/drivers/sqlite/sqlite_connection.h"

#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/sqlite/sqlite_metadata.h"
#include "sql/drivers/sqlite/sqlite_statement.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kShowDataTypes[] = "PRAGMA show_datatypes = ON";
constexpr char kBeginTransaction[] = "BEGIN TRANSACTION";
constexpr char kCommitTransaction[] = "COMMIT TRANSACTION";
constexpr char kRollbackTransaction[] = "ROLLBACK TRANSACTION";
constexpr char kKeyAction[] = "SQLite.Key";

}  // namespace

TZSQLiteConnection::TZSQLiteConnection(Ref<IZDriver> driver, const AnsiString& url,
                                       Ref<IZSQLitePlainDriver> plainDriver, const AnsiString& hostName, int port,
                                       const AnsiString& database, const AnsiString& user,
                                       const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  SetMetadata(std::make_unique<TZSQLiteDatabaseMetadata>(this, url, GetProperties()));
  Open();
}

void TZSQLiteConnection::Open() {
  if (!IsClosed()) return;
  const AnsiString logText = Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()});
  char* errMsg = nullptr;
  handle_ = plainDriver_->Open(Database().c_str(), 0, errMsg);
  if (!handle_) {
    CheckSQLiteError(plainDriver_.get(), SQLITE_ERROR_CODE, errMsg, lcConnect, logText);
    return;
  }
  if (errMsg) plainDriver_->FreeMem(errMsg);
  DriverManager()->LogMessage(lcConnect, plainDriver_->GetProtocol(), logText);

  try {
    if (StrToBoolEx(GetProperties()->Values("encrypted"))) {
      const AnsiString& key = Password();
      int code = plainDriver_->Key(handle_, key.c_str(), static_cast<int>(std::strlen(key.c_str())));
      CheckSQLiteError(plainDriver_.get(), code, nullptr, lcConnect, kKeyAction);
    }
    ExecuteCommand(kShowDataTypes);
    StartTransactionSupport();
  } catch (...) {
    plainDriver_->Close(handle_);
    handle_ = nullptr;
    throw;
  }
  TZAbstractConnection::Open();
}

void TZSQLiteConnection::ExecuteCommand(const AnsiString& sql) {
  char* errMsg = nullptr;
  int code = plainDriver_->Execute(handle_, sql.c_str(), nullptr, nullptr, errMsg);
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcExecute, sql);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
}

// Only a caller that turned auto-commit off runs inside an explicit
// transaction: in auto-commit every statement must reach the file at once,
// or closing the connection or changing the level would lose it.
bool TZSQLiteConnection::InExplicitTransaction() {
  return GetTransactIsolationLevel() != tiNone && !GetAutoCommit();
}

void TZSQLiteConnection::StartTransactionSupport() {
  if (InExplicitTransaction()) ExecuteCommand(kBeginTransaction);
}

void TZSQLiteConnection::Close() {
  if (IsClosed()) return;
  plainDriver_->Close(handle_);
  handle_ = nullptr;
  DriverManager()->LogMessage(lcDisconnect, plainDriver_->GetProtocol(),
                              Format("DISCONNECT FROM \"%s\"", {Database()}));
  TZAbstractConnection::Close();
}

void TZSQLiteConnection::Commit() {
  if (!InExplicitTransaction() || IsClosed()) return;
  ExecuteCommand(kCommitTransaction);
  StartTransactionSupport();
}

void TZSQLiteConnection::Rollback() {
  if (!InExplicitTransaction() || IsClosed()) return;
  ExecuteCommand(kRollbackTransaction);
  StartTransactionSupport();
}

void TZSQLiteConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (InExplicitTransaction() && !IsClosed()) ExecuteCommand(kRollbackTransaction);
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) StartTransactionSupport();
}

// Turning auto-commit on commits what the explicit transaction holds;
// turning it off starts one under a level other than tiNone.
void TZSQLiteConnection::SetAutoCommit(bool value) {
  if (value == GetAutoCommit()) return;
  if (value && InExplicitTransaction() && !IsClosed()) ExecuteCommand(kCommitTransaction);
  TZAbstractConnection::SetAutoCommit(value);
  if (!IsClosed()) StartTransactionSupport();
}

Ref<IZStatement> TZSQLiteConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZSQLiteStatement>(plainDriver_, Ref<IZSQLiteConnection>(this), info);
}

Ref<IZPreparedStatement> TZSQLiteConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZSQLitePreparedStatement>(plainDriver_, Ref<IZSQLiteConnection>(this), sql, info);
}
