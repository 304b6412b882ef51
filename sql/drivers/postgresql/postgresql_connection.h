// A session with a PostgreSQL server through libpq: the connection string
// built from the URL and properties, the session settings sent on open,
// transactions emulated with explicit blocks, two-phase commit, the type-name
// cache, the server version, sequences, and the driver's one error check.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_sequence.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/postgresql/postgresql_encodings.h"
#include "sql/drivers/postgresql/postgresql_handles.h"
#include "sql/drivers/postgresql/postgresql_plain_driver.h"

// What the PostgreSQL statements, result sets and metadata need beyond
// IZConnection.
class IZPostgreSQLConnection : public virtual IZConnection {
public:
  virtual bool IsOidAsBlob() = 0;
  // The type's name, a domain's under its base type's name; "" when unknown.
  // Opens the connection when it is closed.
  virtual AnsiString GetTypeNameByOid(Oid oid) = 0;
  virtual Ref<IZPostgreSQLPlainDriver> GetPlainDriver() = 0;
  // Null while the connection is closed.
  virtual PGconn* GetConnectionHandle() = 0;
  // Read from the server once ("SELECT version()"), opening when closed.
  virtual int GetServerMajorVersion() = 0;
  virtual int GetServerMinorVersion() = 0;
  virtual int GetServerSubVersion() = 0;
  virtual TZPgCharsetCode GetCharactersetCode() = 0;
};

class TZPostgreSQLConnection : public TZAbstractConnection, public virtual IZPostgreSQLConnection {
public:
  // Made closed. A port of 0 means the server's 5432.
  TZPostgreSQLConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZPostgreSQLPlainDriver> plainDriver,
                         const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                         const AnsiString& password, TStrings* properties);
  ~TZPostgreSQLConnection() override;

  // Connects and sets the session up; nothing happens when already open. On
  // any failure the new handle is finished and the connection stays closed.
  void Open() override;
  void Close() override;
  // Act only with an isolation level other than tiNone.
  void Commit() override;
  void Rollback() override;
  void PrepareTransaction(const AnsiString& transactionId) override;
  // Act only under tiNone, as the server refuses them inside a block.
  void CommitPrepared(const AnsiString& transactionId) override;
  void RollbackPrepared(const AnsiString& transactionId) override;
  // 0 reachable (after a reset of a lost session, if need be), -1 not, and 1
  // when resetting raised.
  int PingServer() override;
  int GetServerVersion() override;
  // tiNone, tiReadCommitted and tiSerializable; the others raise before
  // anything changes.
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) override;

  bool IsOidAsBlob() override { return oidAsBlob_; }
  AnsiString GetTypeNameByOid(Oid oid) override;
  Ref<IZPostgreSQLPlainDriver> GetPlainDriver() override { return plainDriver_; }
  PGconn* GetConnectionHandle() override { return handle_.get(); }
  int GetServerMajorVersion() override;
  int GetServerMinorVersion() override;
  int GetServerSubVersion() override;
  TZPgCharsetCode GetCharactersetCode() override { return charsetCode_; }

  // The libpq connection string: host or hostaddr, port, dbname, user,
  // password, then sslmode (else requiressl) and connect_timeout when set.
  AnsiString BuildConnectString();
  // Row 0, column 0 of a query of the connection's own (checked and logged
  // under lcExecute), opening the connection when it is closed; nothing when
  // the query gives no row.
  std::optional<AnsiString> QueryFirstValue(const AnsiString& sql);

protected:
  // The statements of postgresql_statement.cpp.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;

private:
  // The settings every new or reset session gets: client encoding, literal
  // rules of the server, and the transaction block.
  void SetUpSession();
  // Runs a statement of the connection's own, raising the server's error,
  // and logs it under lcExecute.
  void ExecuteControl(const AnsiString& sql);
  // Runs a query of the connection's own and hands its result to read; the
  // result is cleared afterwards in any case.
  template <typename Read>
  void Query(const AnsiString& sql, Read read);
  void BeginTransactionBlock();
  void LoadServerVersion();
  void LoadTypeNames();
  // value as a text literal (QuoteTextLiteral): it never holds a bare quote,
  // so it stays one literal even before the session reads backslash escapes,
  // as when the encoding name is sent.
  AnsiString Literal(const AnsiString& value) const;
  AnsiString Protocol() const { return plainDriver_->GetProtocol(); }

  Ref<IZPostgreSQLPlainDriver> plainDriver_;
  TZPostgreSQLConnectionHandle handle_;  // after the driver that finishes it
  bool beginRequired_;
  bool oidAsBlob_;
  AnsiString clientCodePage_;
  TZPgCharsetCode charsetCode_;
  std::unique_ptr<std::vector<std::pair<Oid, AnsiString>>> typeNames_;
  int serverMajor_ = 0;
  int serverMinor_ = 0;
  int serverSub_ = 0;
};

// A server-side sequence read with CURRVAL and NEXTVAL, run on the
// connection's own session; the name goes in as a text literal.
class TZPostgreSQLSequence : public TZAbstractSequence {
public:
  using TZAbstractSequence::TZAbstractSequence;
  // The value, or 0 when the server returns no row.
  std::int64_t GetCurrentValue() override;
  std::int64_t GetNextValue() override;
  // " CURRVAL('name') " and " NEXTVAL('name') ", blank before and after.
  AnsiString GetCurrentValueSQL() override;
  AnsiString GetNextValueSQL() override;

private:
  std::int64_t QueryValue(const char* function);
  AnsiString ValueSQL(const char* function);
};

// The version numbers in the text of "SELECT version()" ("PostgreSQL 8.2beta1
// on ..." gives 8, 2, 0): the second word split at "."; the leading digits of
// the minor and sub parts; 0 for what is missing or not a number. A part above
// 65535 raises ERangeError.
void DecodeServerVersion(const AnsiString& versionText, int& major, int& minor, int& sub);

// The driver's error check after a client call: when libpq reports an error
// text for handle, rolls the connection back (when given and in auto-commit),
// logs the error under category with logMessage, clears result and raises
// EZSQLException "SQL Error: <text>" with the SQLSTATE as its status.
void CheckConnectionError(IZConnection* connection, IZPostgreSQLPlainDriver* plainDriver, PGconn* handle,
                          TZLoggingCategory category, const AnsiString& logMessage, PGresult* result);
