// The base of every connection: the connection parameters, its own property
// list, auto-commit, read-only and isolation settings, the open/closed state
// and the database metadata. Everything that needs a server is refused with
// "Unsupported operation"; a driver overrides what its client library serves.
#pragma once

#include <memory>

#include "sql/core/dbc/interfaces.h"

class TZAbstractConnection : public TZAbstractObject, public virtual IZConnection {
public:
  // Copies properties (may be null). An empty user or password is taken from
  // the copied list's "username" or "password". The URL is for the driver's
  // use and not kept. A new connection is closed, auto-commit and read-only,
  // isolation tiNone; it does not connect here.
  TZAbstractConnection(Ref<IZDriver> driver, const AnsiString& url, const AnsiString& hostName, int port,
                       const AnsiString& database, const AnsiString& user, const AnsiString& password,
                       TStrings* properties);
  ~TZAbstractConnection() override;

  // An open connection is closed through the driver's own Close first.
  void BeforeDestruction() override;

  Ref<IZStatement> CreateStatement() override;
  Ref<IZPreparedStatement> PrepareStatement(const AnsiString& sql) override;
  Ref<IZCallableStatement> PrepareCall(const AnsiString& sql) override;
  Ref<IZStatement> CreateStatementWithProperties(TStrings* info) override;
  Ref<IZPreparedStatement> PrepareStatementWithProperties(const AnsiString& sql, TStrings* info) override;
  Ref<IZCallableStatement> PrepareCallWithProperties(const AnsiString& sql, TStrings* info) override;

  Ref<IZInterface> CreateNamedObject(const AnsiString& name) override;
  Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) override;
  AnsiString NativeSQL(const AnsiString& sql) override;
  void SetAutoCommit(bool value) override;
  bool GetAutoCommit() override;
  void Commit() override;
  void Rollback() override;
  void PrepareTransaction(const AnsiString& transactionId) override;
  void CommitPrepared(const AnsiString& transactionId) override;
  void RollbackPrepared(const AnsiString& transactionId) override;
  int PingServer() override;
  // Backslash escaping; drivers whose client library escapes override it.
  AnsiString EscapeString(const AnsiString& value) override;

  // Drivers connect first and then call the base, so the connection counts
  // as open only after success; Close likewise disconnects, then calls it.
  void Open() override;
  void Close() override;
  bool IsClosed() override;

  Ref<IZDriver> GetDriver() override;
  // Null while the driver has given no metadata object.
  Ref<IZDatabaseMetadata> GetMetadata() override;
  TStrings* GetProperties() override;
  int GetClientVersion() override;
  int GetServerVersion() override;

  void SetReadOnly(bool value) override;
  bool IsReadOnly() override;
  // The base has no catalogs: ignored, and empty.
  void SetCatalog(const AnsiString& catalog) override;
  AnsiString GetCatalog() override;
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  TZTransactIsolationLevel GetTransactIsolationLevel() override;
  EZSQLWarning* GetWarnings() override;
  void ClearWarnings() override;

protected:
  // The statement factories behind the six interface operations; each copies
  // info (may be null) and keeps nothing of it here.
  virtual Ref<IZStatement> NewStatement(TStrings* info);
  virtual Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info);
  virtual Ref<IZCallableStatement> NewCallableStatement(const AnsiString& sql, TStrings* info);

  // Hands over the metadata object, which must implement IZDatabaseMetadata
  // and be contained in this connection. Drivers call it from their
  // constructor, once the connection exists to be its controller.
  void SetMetadata(std::unique_ptr<TContainedObject> metadata);

  // EZSQLException "Unsupported operation".
  [[noreturn]] static void RaiseUnsupportedException();

  const AnsiString& HostName() const { return hostName_; }
  int Port() const { return port_; }
  const AnsiString& Database() const { return database_; }
  const AnsiString& User() const { return user_; }
  const AnsiString& Password() const { return password_; }

private:
  Ref<IZDriver> driver_;
  AnsiString hostName_;
  int port_;
  AnsiString database_;
  AnsiString user_;
  AnsiString password_;
  std::unique_ptr<TStrings> properties_;
  bool autoCommit_ = true;
  bool readOnly_ = true;
  TZTransactIsolationLevel transactIsolationLevel_ = tiNone;
  bool closed_ = true;
  std::unique_ptr<TContainedObject> metadataObject_;
  IZDatabaseMetadata* metadata_ = nullptr;
};
