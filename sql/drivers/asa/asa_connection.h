// A session with a server through the embedded-SQL client: the connection's
// own communication area, the connect string built from the URL and the
// properties, the options that chain transactions and set the isolation,
// commit and rollback.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/asa/asa_handles.h"
#include "sql/drivers/asa/asa_plain_driver.h"

// What the ASA statements, result sets and metadata need beyond IZConnection.
class IZASAConnection : public virtual IZConnection {
public:
  // The communication area while connected, null otherwise.
  virtual SQLCA* GetDBHandle() = 0;
  virtual Ref<IZASAPlainDriver> GetPlainDriver() = 0;
};

class TZASAConnection : public TZAbstractConnection, public virtual IZASAConnection {
public:
  // Made closed; Open or the first statement connects.
  TZASAConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZASAPlainDriver> plainDriver,
                  const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                  const AnsiString& password, TStrings* properties);

  // Prepares the area, connects and sends the transaction options; nothing
  // when open. A failure ends the area and leaves the connection closed.
  // A connect value holding a double quote is refused before anything is
  // sent: it would end the value and could add parameters of its own.
  void Open() override;
  // Rolls back unless auto-commit is on, disconnects and ends the area.
  void Close() override;
  // Nothing when closed or with auto-commit on.
  void Commit() override;
  void Rollback() override;
  // On an open connection the options are sent at once, so the next
  // Rollback or Commit works in the mode just chosen.
  void SetAutoCommit(bool value) override;
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;

  // Connect first when closed.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;
  Ref<IZCallableStatement> NewCallableStatement(const AnsiString& sql, TStrings* info) override;

  SQLCA* GetDBHandle() override { return handle_.get(); }
  Ref<IZASAPlainDriver> GetPlainDriver() override { return plainDriver_; }

  // The client's connect string for the connection's parts and properties.
  AnsiString BuildConnectString();
  // Sets a server option (nothing without a handle); user may be null.
  void SetOption(int temporary, const char* user, const AnsiString& option, const AnsiString& value);

protected:
  // Sends "CHAINED" by auto-commit and "ISOLATION_LEVEL" by the level.
  virtual void StartTransaction();

private:
  void EndTransaction(bool commit);
  // Logs and raises "Error initializing SQLCA" / "Error closing SQLCA".
  [[noreturn]] void AreaError(const char* error);

  SQLCA sqlca_{};
  Ref<IZASAPlainDriver> plainDriver_;
  TZASAAreaHandle handle_;  // &sqlca_ once initialised; after the driver that finishes it
};
