// TZConnection: the component through which an application holds one database
// connection. It turns its properties into a connection URL, asks the driver
// manager for the connection, keeps the datasets that use it (closing them on
// disconnect), nests explicit transactions over the auto-commit mode, and can
// show the SQL-wait cursor while it works.
#pragma once

#include <functional>
#include <type_traits>
#include <vector>

#include "platform/rtl/components.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/interfaces.h"

class TZAbstractRODataset;
class TZSequence;

class TZConnection : public TComponent {
public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  using TZLoginEvent = std::function<void(TObject* sender, AnsiString& userName, AnsiString& password)>;

  explicit TZConnection(TComponent* owner);
  ~TZConnection() override;
  void BeforeDestruction() override;

  const AnsiString& Protocol() const { return protocol_; }
  void SetProtocol(const AnsiString& value) { protocol_ = value; }
  const AnsiString& HostName() const { return hostName_; }
  void SetHostName(const AnsiString& value) { hostName_ = value; }
  int Port() const { return port_; }
  void SetPort(int value) { port_ = value; }
  const AnsiString& Database() const { return database_; }
  void SetDatabase(const AnsiString& value) { database_ = value; }
  const AnsiString& User() const { return user_; }
  void SetUser(const AnsiString& value) { user_ = value; }
  const AnsiString& Password() const { return password_; }
  void SetPassword(const AnsiString& value) { password_ = value; }
  const AnsiString& Catalog() const { return catalog_; }
  void SetCatalog(const AnsiString& value) { catalog_ = value; }
  TStrings* Properties() { return &properties_; }
  // Copies the other list's text; none clears the list.
  void SetProperties(const TStrings* value);
  bool AutoCommit() const { return autoCommit_; }
  void SetAutoCommit(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  TZTransactIsolationLevel TransactIsolationLevel() const { return isolationLevel_; }
  void SetTransactIsolationLevel(TZTransactIsolationLevel value);
  bool LoginPrompt() const { return loginPrompt_; }
  void SetLoginPrompt(bool value) { loginPrompt_ = value; }
  bool SQLHourGlass() const { return sqlHourGlass_; }
  void SetSQLHourGlass(bool value) { sqlHourGlass_ = value; }
  bool DesignConnection() const { return designConnection_; }
  void SetDesignConnection(bool value) { designConnection_ = value; }
  AnsiString Version() const { return "6.6.6-stable"; }

  // Connected while a connection is held and it is not closed.
  bool Connected();
  void SetConnected(bool value);
  // The held connection, or none.
  const Ref<IZConnection>& DbcConnection() const { return connection_; }
  int ExplicitTransactionCounter() const { return txnLevel_; }

  virtual void Connect();
  virtual void Disconnect();
  virtual bool PingServer();
  virtual void StartTransaction();
  virtual void Commit();
  virtual void Rollback();
  virtual void PrepareTransaction(const AnsiString& transactionId);
  virtual void CommitPrepared(const AnsiString& transactionId);
  virtual void RollbackPrepared(const AnsiString& transactionId);
  virtual bool CheckAlive();

  AnsiString ConstructURL(const AnsiString& userName, const AnsiString& password) const;
  Ref<IZDriver> GetDriver();

  void RegisterDataSet(TZAbstractRODataset* dataSet);
  void UnregisterDataSet(TZAbstractRODataset* dataSet);
  // Closes every registered dataset; an error of one does not stop the rest.
  void CloseAllDataSets();
  // Sequences drop their sequence objects when the connection disconnects,
  // and their Connection when it is freed.
  void RegisterSequence(TZSequence* sequence);
  void UnregisterSequence(TZSequence* sequence);

  void ShowSQLHourGlass();
  void HideSQLHourGlass();

  // EZDatabaseError "Connection is not opened yet", "Invalid operation in
  // AutoCommit mode", "Invalid operation in non AutoCommit mode".
  void CheckConnected();
  void CheckAutoCommitMode();
  void CheckNonAutoCommitMode();

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;
  TNotifyEvent BeforeReconnect, AfterReconnect;
  TNotifyEvent OnCommit, OnRollback, OnStartTransaction;
  TZLoginEvent OnLogin;

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  // Asks for the login when LoginPrompt is set; false when it was cancelled.
  bool AskLogin(AnsiString& userName, AnsiString& password);
  // The URL and property lines for a login; see Connect.
  Ref<IZConnection> OpenConnection(const AnsiString& userName, const AnsiString& password);
  // The URL of ConstructURL with another database in it.
  AnsiString UrlFor(const AnsiString& database, const AnsiString& userName, const AnsiString& password) const;
  // Commit or Rollback: `step` is the connection's call, `event` fires after it.
  void EndTransaction(void (IZConnection::*step)(), const TNotifyEvent& event);
  // CommitPrepared or RollbackPrepared.
  void EndPrepared(void (IZConnection::*step)(const AnsiString&), const AnsiString& transactionId);
  void Fire(const TNotifyEvent& event) {
    if (event) event(this);
  }

  AnsiString protocol_, hostName_, database_, user_, password_, catalog_;
  int port_ = 0;
  TStringList properties_;
  bool autoCommit_ = true;
  bool readOnly_ = false;
  TZTransactIsolationLevel isolationLevel_ = tiNone;
  Ref<IZConnection> connection_;
  std::vector<TZAbstractRODataset*> dataSets_;
  std::vector<TZSequence*> sequences_;
  bool loginPrompt_ = false;
  bool streamedConnected_ = false;
  int txnLevel_ = 0;
  bool sqlHourGlass_ = false;
  bool designConnection_ = false;
};

// Runs body between the connection's wait-cursor steps (none: just runs it);
// the cursor comes back also when body raises.
template <class Body>
auto WithSQLHourGlass(TZConnection* connection, Body&& body) {
  if (!connection) return body();
  connection->ShowSQLHourGlass();
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      connection->HideSQLHourGlass();
    } else {
      auto result = body();
      connection->HideSQLHourGlass();
      return result;
    }
  } catch (...) {
    connection->HideSQLHourGlass();
    throw;
  }
}
