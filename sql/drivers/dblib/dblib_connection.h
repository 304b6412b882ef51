// A session with MS SQL Server or Sybase ASE through DB-Library: one login,
// one library process per connection, the database selected with the
// library's use call, and transactions driven by plain Transact-SQL
// commands. An "mssql" process the library reports dead is opened anew.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/dblib/dblib_handles.h"
#include "sql/drivers/dblib/dblib_plain_driver.h"

// What the DB-Library statements and result sets need beyond IZConnection.
class IZDBLibConnection : public virtual IZConnection {
public:
  virtual Ref<IZDBLibPlainDriver> GetPlainDriver() = 0;
  // The open process; for "mssql" a dead one is replaced by a new login
  // first. Raises "Connection is not opened yet" on a closed connection.
  virtual DBLibProcess* GetConnectionHandle() = 0;
  // Runs sql to its end and discards whatever it answers.
  virtual void InternalExecuteStatement(const AnsiString& sql) = 0;
  // Cancels what the process still holds and sends sql as its new batch;
  // failures are raised with sql as the log text. Answers the process.
  virtual DBLibProcess* SendBatch(const AnsiString& sql) = 0;
  // Raises what the library collected, after logging it under category
  // with logMessage; nothing when it collected no error.
  virtual void CheckDBLibError(TZLoggingCategory category, const AnsiString& logMessage) = 0;
};

class TZDBLibConnection : public TZAbstractConnection, public virtual IZDBLibConnection {
public:
  // Made closed: the first statement or an explicit Open logs in.
  TZDBLibConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZDBLibPlainDriver> plainDriver,
                    const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                    const AnsiString& password, TStrings* properties);

  // Logs in, selects the database, sends the session settings and the
  // isolation level, and begins a transaction in manual commit with a
  // level. When a step fails the process is closed again.
  void Open() override;
  // Rolls back what is pending (unless the process is dead) and closes.
  void Close() override;
  void SetAutoCommit(bool value) override;
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  // "commit" (or "rollback") then "begin transaction"; refused in auto-commit.
  void Commit() override;
  void Rollback() override;
  // Switches the open process to catalog; the connection's database stays.
  void SetCatalog(const AnsiString& catalog) override;
  // The open process's database; empty while closed.
  AnsiString GetCatalog() override;

  Ref<IZDBLibPlainDriver> GetPlainDriver() override { return plainDriver_; }
  DBLibProcess* GetConnectionHandle() override;
  void InternalExecuteStatement(const AnsiString& sql) override;
  DBLibProcess* SendBatch(const AnsiString& sql) override;
  void CheckDBLibError(TZLoggingCategory category, const AnsiString& logMessage) override;

protected:
  // Each opens a closed connection first.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;
  Ref<IZCallableStatement> NewCallableStatement(const AnsiString& sql, TStrings* info) override;
  // Fills a login record and opens the process; raises when none opens.
  virtual void Login();

private:
  bool IsMsSql();
  void LogMessage(TZLoggingCategory category, const AnsiString& message);
  // The login record's settings from the connection's properties; gives the
  // text that names the login in the log.
  AnsiString ApplyLoginSettings(DBLibLogin* login);
  void SetUp();
  void SendIsolationLevel();
  void StartTransactionIfNeeded();
  // Closes the process without a word to the server or the log.
  void DropProcess();

  Ref<IZDBLibPlainDriver> plainDriver_;
  TZDBLibProcessHandle handle_;  // after the driver that closes it
};
