// A session with a MySQL server (or an embedded server) through the client
// library: connect options and flags read from the connection's properties,
// the session character set, auto-commit, isolation and transactions.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

// What the MySQL statements and resolver need beyond IZConnection.
class IZMySQLConnection : public virtual IZConnection {
public:
  virtual Ref<IZMySQLPlainDriver> GetPlainDriver() = 0;
  // Null while the connection is closed.
  virtual MYSQL* GetConnectionHandle() = 0;
};

class TZMySQLConnection : public TZAbstractConnection, public virtual IZMySQLConnection {
public:
  // Made closed; the driver opens it. A port of 0 means the server's 3306.
  TZMySQLConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZMySQLPlainDriver> plainDriver,
                    const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                    const AnsiString& password, TStrings* properties);

  // Connects with a new handle; nothing happens when already open. On any
  // failure the handle is closed again and the connection stays closed.
  void Open() override;
  void Close() override;
  // Act whenever auto-commit is off, whatever the isolation level.
  void Commit() override;
  void Rollback() override;
  void SetAutoCommit(bool value) override;
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  // -1 when closed; else the library's ping (0 when the server answers).
  int PingServer() override;
  // With the session's character set when open, without a connection else.
  AnsiString EscapeString(const AnsiString& value) override;
  int GetClientVersion() override;
  int GetServerVersion() override;
  // Kept here only; never sent to the server.
  void SetCatalog(const AnsiString& catalog) override { catalog_ = catalog; }
  AnsiString GetCatalog() override { return catalog_; }

  Ref<IZMySQLPlainDriver> GetPlainDriver() override { return plainDriver_; }
  MYSQL* GetConnectionHandle() override { return handle_; }

protected:
  // Open the connection first when it is closed.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;

private:
  void Connect();
  void SetConnectOptions();
  unsigned int ClientFlags();
  void SetSslOptions();
  // Brings a reopened session to the stored isolation level and auto-commit.
  void RestoreSessionSettings();
  // Runs sql, raising the library's error, then logs it with lcExecute.
  void ExecuteSessionStatement(const AnsiString& sql);
  // Raises the library's error when ok is false, then logs text with lcExecute.
  void CheckNativeCall(bool ok, const AnsiString& text);
  void DropHandle();
  AnsiString ConnectLogText();

  AnsiString catalog_;
  Ref<IZMySQLPlainDriver> plainDriver_;
  MYSQL* handle_ = nullptr;
  AnsiString clientCodePage_;
};
