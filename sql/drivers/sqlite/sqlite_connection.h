// A SQLite connection: a database file opened through the plain driver, open
// from its construction on. Transactions are the driver's own commands: with
// any isolation level but tiNone the connection always stands inside an
// explicit transaction that commit and rollback end and start again.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"

// What the SQLite statements and resolver need beyond IZConnection.
class IZSQLiteConnection : public virtual IZConnection {
public:
  virtual Ref<IZSQLitePlainDriver> GetPlainDriver() = 0;
  // Null while the connection is closed.
  virtual Psqlite GetConnectionHandle() = 0;
};

class TZSQLiteConnection : public TZAbstractConnection, public virtual IZSQLiteConnection {
public:
  // Opens the database file (the URL's database part); raises when it
  // cannot, and no connection exists then.
  TZSQLiteConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZSQLitePlainDriver> plainDriver,
                     const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                     const AnsiString& password, TStrings* properties);

  // Nothing happens when already open. When a step after the open fails the
  // file is closed again and the connection stays closed.
  void Open() override;
  // Leaves a running transaction to the library, which rolls it back; in
  // auto-commit there is none.
  void Close() override;
  // In auto-commit or with tiNone nothing is sent: every statement commits
  // on its own.
  void Commit() override;
  void Rollback() override;
  // With auto-commit off, a change of level discards the running transaction.
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  void SetAutoCommit(bool value) override;
  // Kept here only; never sent to the library.
  void SetCatalog(const AnsiString& catalog) override { catalog_ = catalog; }
  AnsiString GetCatalog() override { return catalog_; }

  Ref<IZSQLitePlainDriver> GetPlainDriver() override { return plainDriver_; }
  Psqlite GetConnectionHandle() override { return handle_; }

protected:
  // Open the connection first when it is closed.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;

private:
  // Runs sql, raising the library's error, then logs it with lcExecute.
  void ExecuteCommand(const AnsiString& sql);
  bool InExplicitTransaction();
  void StartTransactionSupport();

  AnsiString catalog_;
  Ref<IZSQLitePlainDriver> plainDriver_;
  Psqlite handle_ = nullptr;
};
