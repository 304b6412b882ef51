// Common connection behaviour (see abstract_connection.h).

#include "sql/core/dbc/abstract_connection.h"

#include "platform/rtl/lists.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

TZAbstractConnection::TZAbstractConnection(Ref<IZDriver> driver, const AnsiString& /*url*/,
                                           const AnsiString& hostName, int port, const AnsiString& database,
                                           const AnsiString& user, const AnsiString& password,
                                           TStrings* properties)
    : driver_(std::move(driver)),
      hostName_(hostName),
      port_(port),
      database_(database),
      properties_(std::make_unique<TStringList>()) {
  if (properties) properties_->AddStrings(properties);
  user_ = user.empty() ? properties_->Values("username") : user;
  password_ = password.empty() ? properties_->Values("password") : password;
}

TZAbstractConnection::~TZAbstractConnection() = default;

void TZAbstractConnection::BeforeDestruction() {
  if (!closed_) {
    try {
      Close();
    } catch (...) {
      // Nobody is left to hear of a failed disconnect; the object goes anyway.
    }
  }
  TZAbstractObject::BeforeDestruction();
}

void TZAbstractConnection::RaiseUnsupportedException() { throw EZSQLException(SZUnsupportedOperation); }

void TZAbstractConnection::SetMetadata(std::unique_ptr<TContainedObject> metadata) {
  metadata_ = dynamic_cast<IZDatabaseMetadata*>(metadata.get());
  metadataObject_ = std::move(metadata);
}

Ref<IZStatement> TZAbstractConnection::CreateStatement() { return NewStatement(nullptr); }
Ref<IZPreparedStatement> TZAbstractConnection::PrepareStatement(const AnsiString& sql) {
  return NewPreparedStatement(sql, nullptr);
}
Ref<IZCallableStatement> TZAbstractConnection::PrepareCall(const AnsiString& sql) {
  return NewCallableStatement(sql, nullptr);
}
Ref<IZStatement> TZAbstractConnection::CreateStatementWithProperties(TStrings* info) { return NewStatement(info); }
Ref<IZPreparedStatement> TZAbstractConnection::PrepareStatementWithProperties(const AnsiString& sql,
                                                                              TStrings* info) {
  return NewPreparedStatement(sql, info);
}
Ref<IZCallableStatement> TZAbstractConnection::PrepareCallWithProperties(const AnsiString& sql, TStrings* info) {
  return NewCallableStatement(sql, info);
}

Ref<IZStatement> TZAbstractConnection::NewStatement(TStrings*) { RaiseUnsupportedException(); }
Ref<IZPreparedStatement> TZAbstractConnection::NewPreparedStatement(const AnsiString&, TStrings*) {
  RaiseUnsupportedException();
}
Ref<IZCallableStatement> TZAbstractConnection::NewCallableStatement(const AnsiString&, TStrings*) {
  RaiseUnsupportedException();
}

Ref<IZInterface> TZAbstractConnection::CreateNamedObject(const AnsiString&) { RaiseUnsupportedException(); }
Ref<IZSequence> TZAbstractConnection::CreateSequence(const AnsiString&, int) { RaiseUnsupportedException(); }
void TZAbstractConnection::Commit() { RaiseUnsupportedException(); }
void TZAbstractConnection::Rollback() { RaiseUnsupportedException(); }
void TZAbstractConnection::PrepareTransaction(const AnsiString&) { RaiseUnsupportedException(); }
void TZAbstractConnection::CommitPrepared(const AnsiString&) { RaiseUnsupportedException(); }
void TZAbstractConnection::RollbackPrepared(const AnsiString&) { RaiseUnsupportedException(); }
int TZAbstractConnection::PingServer() { RaiseUnsupportedException(); }

AnsiString TZAbstractConnection::NativeSQL(const AnsiString& sql) { return sql; }
AnsiString TZAbstractConnection::EscapeString(const AnsiString& value) { return EncodeCString(value); }

void TZAbstractConnection::SetAutoCommit(bool value) { autoCommit_ = value; }
bool TZAbstractConnection::GetAutoCommit() { return autoCommit_; }

void TZAbstractConnection::Open() { closed_ = false; }
void TZAbstractConnection::Close() { closed_ = true; }
bool TZAbstractConnection::IsClosed() { return closed_; }

Ref<IZDriver> TZAbstractConnection::GetDriver() { return driver_; }
Ref<IZDatabaseMetadata> TZAbstractConnection::GetMetadata() { return metadata_; }
TStrings* TZAbstractConnection::GetProperties() { return properties_.get(); }
int TZAbstractConnection::GetClientVersion() { return 0; }
int TZAbstractConnection::GetServerVersion() { return 0; }

void TZAbstractConnection::SetReadOnly(bool value) { readOnly_ = value; }
bool TZAbstractConnection::IsReadOnly() { return readOnly_; }
void TZAbstractConnection::SetCatalog(const AnsiString&) {}
AnsiString TZAbstractConnection::GetCatalog() { return AnsiString(); }
void TZAbstractConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  transactIsolationLevel_ = level;
}
TZTransactIsolationLevel TZAbstractConnection::GetTransactIsolationLevel() { return transactIsolationLevel_; }
EZSQLWarning* TZAbstractConnection::GetWarnings() { return nullptr; }
void TZAbstractConnection::ClearWarnings() {}
