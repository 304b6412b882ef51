// The ADO connection: open and close, auto-commit, isolation levels,
// transactions and the catalog on one ADO connection object, each step
// reported to the driver manager's log.

#include "sql/drivers/ado/ado_connection.h"

#include "platform/rtl/format.h"
#include "sql/drivers/ado/ado_metadata.h"
#include "sql/drivers/ado/ado_plain_driver.h"
#include "sql/drivers/ado/ado_statement.h"

namespace {

int AdoIsolationLevel(TZTransactIsolationLevel level) {
  switch (level) {
    case tiReadUncommitted: return adXactReadUncommitted;
    case tiReadCommitted: return adXactReadCommitted;
    case tiRepeatableRead: return adXactRepeatableRead;
    case tiSerializable: return adXactSerializable;
    default: return adXactChaos;
  }
}

}  // namespace

TZAdoConnection::TZAdoConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZPlainDriver> plainDriver,
                                 const AnsiString& hostName, int port, const AnsiString& database,
                                 const AnsiString& user, const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      ado_(CoConnection::Create()),
      plainDriver_(std::move(plainDriver)) {
  SetMetadata(std::make_unique<TZAdoDatabaseMetadata>(this, url, GetProperties()));
}

Ref<IZStatement> TZAdoConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZAdoStatement>(plainDriver_, Ref<IZAdoConnection>(this), AnsiString(), info);
}

Ref<IZPreparedStatement> TZAdoConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZAdoPreparedStatement>(plainDriver_, Ref<IZAdoConnection>(this), sql, info);
}

Ref<IZCallableStatement> TZAdoConnection::NewCallableStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZAdoCallableStatement>(plainDriver_, Ref<IZAdoConnection>(this), sql, info);
}

void TZAdoConnection::Open() {
  if (!IsClosed()) return;
  Logged(lcConnect, Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()}), [this] {
    ado_->SetMode(IsReadOnly() ? adModeRead : adModeUnknown);
    ado_->Open(Database(), User(), Password(), adConnectUnspecified);
    ado_->SetCursorLocation(adUseClient);
  });
  TZAbstractConnection::Open();
  ado_->SetIsolationLevel(AdoIsolationLevel(GetTransactIsolationLevel()));
  StartTransactionIfNeeded();
}

void TZAdoConnection::StartTransactionIfNeeded() {
  if (!IsClosed() && !GetAutoCommit() && GetTransactIsolationLevel() != tiNone) BeginTransaction();
}

void TZAdoConnection::BeginTransaction() {
  Logged(lcExecute, "BEGIN TRANSACTION", [this] { ado_->BeginTrans(); });
}

void TZAdoConnection::CommitForSwitch() {
  ado_->CommitTrans();
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), "COMMIT");
}

void TZAdoConnection::Commit() {
  Logged(lcExecute, "COMMIT", [this] { ado_->CommitTrans(); });
  BeginTransaction();
}

void TZAdoConnection::Rollback() {
  Logged(lcExecute, "ROLLBACK", [this] { ado_->RollbackTrans(); });
  BeginTransaction();
}

void TZAdoConnection::SetAutoCommit(bool value) {
  if (value == GetAutoCommit()) return;
  if (!IsClosed() && value && ado_->State() == adStateOpen && GetTransactIsolationLevel() != tiNone)
    CommitForSwitch();
  TZAbstractConnection::SetAutoCommit(value);
  StartTransactionIfNeeded();
}

void TZAdoConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (level == GetTransactIsolationLevel()) return;
  if (!IsClosed() && !GetAutoCommit() && GetTransactIsolationLevel() != tiNone) CommitForSwitch();
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) ado_->SetIsolationLevel(AdoIsolationLevel(level));
  StartTransactionIfNeeded();
}

void TZAdoConnection::Close() {
  if (IsClosed()) return;
  SetAutoCommit(true);
  Logged(lcExecute, Format("CLOSE CONNECTION TO \"%s\"", {Database()}), [this] {
    if (ado_->State() == adStateOpen) ado_->Close();
  });
  TZAbstractConnection::Close();
}

void TZAdoConnection::SetCatalog(const AnsiString& catalog) {
  if (IsClosed()) return;
  Logged(lcExecute, Format("SET CATALOG %s", {catalog}), [&] { ado_->SetDefaultDatabase(catalog); });
}

AnsiString TZAdoConnection::GetCatalog() { return ado_->DefaultDatabase(); }

void TZAdoConnection::InternalExecuteStatement(const AnsiString& sql) {
  Logged(lcExecute, sql, [&] {
    Variant recordsAffected;
    ado_->Execute(sql, recordsAffected, adExecuteNoRecords);
  });
}
