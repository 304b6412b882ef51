// A connection of the ADO driver: one ADO connection object, opened with the
// URL's database part as its connection string, with auto-commit, isolation
// and transactions mapped onto ADO transactions. Every step is logged through
// the driver manager under the plain driver's protocol.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/dbc/native_library.h"
#include "sql/drivers/ado/ado_objects.h"

// Runs action; logs text under category with the plain driver's protocol on
// success, or the error with it before raising it again.
template <class Action>
void AdoLogged(IZPlainDriver& plainDriver, TZLoggingCategory category, const AnsiString& text, Action action) {
  try {
    action();
  } catch (const Exception& e) {
    DriverManager()->LogError(category, plainDriver.GetProtocol(), text, 0, e.Message());
    throw;
  }
  DriverManager()->LogMessage(category, plainDriver.GetProtocol(), text);
}

// What the ADO statements and metadata need beyond IZConnection.
class IZAdoConnection : public virtual IZConnection {
public:
  virtual Ref<Connection15> GetAdoConnection() = 0;
  // Runs sql on the ADO connection and drops any rows; logged under lcExecute.
  virtual void InternalExecuteStatement(const AnsiString& sql) = 0;
};

class TZAdoConnection : public TZAbstractConnection, public virtual IZAdoConnection {
public:
  // Made closed; nothing is opened here.
  TZAdoConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZPlainDriver> plainDriver,
                  const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                  const AnsiString& password, TStrings* properties);

  // Connects (read-only mode when read-only is set), then begins a
  // transaction when auto-commit is off and the level is not tiNone. A
  // failed connect is logged under lcConnect and leaves it closed.
  void Open() override;
  // Commits what runs (through SetAutoCommit(true)), then disconnects.
  void Close() override;
  // CommitTrans or RollbackTrans, then a new transaction at once; raise
  // without a running transaction (as in auto-commit).
  void Commit() override;
  void Rollback() override;
  void SetAutoCommit(bool value) override;
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  // Ignored while closed.
  void SetCatalog(const AnsiString& catalog) override;
  // Asks the ADO connection, open or not.
  AnsiString GetCatalog() override;

  Ref<Connection15> GetAdoConnection() override { return ado_; }
  void InternalExecuteStatement(const AnsiString& sql) override;

protected:
  // Each opens the connection first when it is closed.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;
  Ref<IZCallableStatement> NewCallableStatement(const AnsiString& sql, TStrings* info) override;

private:
  template <class Action>
  void Logged(TZLoggingCategory category, const AnsiString& text, Action action) {
    AdoLogged(*plainDriver_, category, text, action);
  }
  void StartTransactionIfNeeded();
  void BeginTransaction();
  // The ADO commit of a switch of auto-commit or level; unlogged on failure.
  void CommitForSwitch();

  Ref<Connection15> ado_;
  Ref<IZPlainDriver> plainDriver_;
};
