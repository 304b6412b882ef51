// A session with an Oracle server through the client call interface: the
// client handles of one login, the transaction with its isolation flags,
// and the server-side sequences.
#pragma once

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_sequence.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/oracle/oracle_plain_driver.h"

// What the Oracle statements, result sets and LOBs need beyond IZConnection.
class IZOracleConnection : public virtual IZConnection {
public:
  virtual Ref<IZOraclePlainDriver> GetPlainDriver() = 0;
  virtual OCIEnv* GetEnvironmentHandle() = 0;
  virtual OCISvcCtx* GetContextHandle() = 0;
  virtual OCIError* GetErrorHandle() = 0;
  virtual OCIServer* GetServerHandle() = 0;
  virtual OCISession* GetSessionHandle() = 0;
  virtual OCITrans* GetTransactionHandle() = 0;
};

class TZOracleConnection : public TZAbstractConnection, public virtual IZOracleConnection {
public:
  // Made closed; the driver opens it. Host and port take no part in the
  // login: the database is the client's connect identifier.
  TZOracleConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZOraclePlainDriver> plainDriver,
                     const AnsiString& hostName, int port, const AnsiString& database, const AnsiString& user,
                     const AnsiString& password, TStrings* properties);
  // Frees the environment, which outlives every Close.
  ~TZOracleConnection() override;

  // Attaches, logs in and starts the transaction; nothing when open. On any
  // failure every handle but the environment is freed and the connection
  // stays closed.
  void Open() override;
  // Rolls back, ends the session, detaches and frees the session's handles.
  void Close() override;
  // Nothing on a closed connection; either way of auto-commit otherwise.
  void Commit() override;
  void Rollback() override;
  // On an open connection pending work is rolled back and a new
  // transaction starts with the level's flags.
  void SetTransactIsolationLevel(TZTransactIsolationLevel level) override;
  Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) override;
  // Kept here only; never sent to the server.
  void SetCatalog(const AnsiString& catalog) override { catalog_ = catalog; }
  AnsiString GetCatalog() override { return catalog_; }

  Ref<IZOraclePlainDriver> GetPlainDriver() override { return plainDriver_; }
  OCIEnv* GetEnvironmentHandle() override { return environment_; }
  OCISvcCtx* GetContextHandle() override { return context_; }
  OCIError* GetErrorHandle() override { return error_; }
  OCIServer* GetServerHandle() override { return server_; }
  OCISession* GetSessionHandle() override { return session_; }
  OCITrans* GetTransactionHandle() override { return transaction_; }

protected:
  // Opens a closed connection first. Calls are unsupported.
  Ref<IZStatement> NewStatement(TStrings* info) override;
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;

private:
  void Login(const AnsiString& logText);
  void StartTransaction();
  // Checks a commit's or rollback's status and logs its text.
  void EndTransaction(sword status, const char* logText);
  // Ends the session and detaches without checking: the clean-up of a
  // failed open, which must not hide the error that caused it.
  void AbandonSession();
  void FreeSessionHandles();
  template <class T>
  void FreeHandle(T*& handle, ub4 type);
  template <class T>
  void AllocateHandle(T*& handle, ub4 type);
  void CheckStatus(sword status, TZLoggingCategory category, const AnsiString& logText);

  AnsiString catalog_;
  Ref<IZOraclePlainDriver> plainDriver_;
  OCIEnv* environment_ = nullptr;
  OCISvcCtx* context_ = nullptr;
  OCIError* error_ = nullptr;
  OCIServer* server_ = nullptr;
  OCISession* session_ = nullptr;
  OCITrans* transaction_ = nullptr;
};

class TZOracleSequence : public TZAbstractSequence {
public:
  using TZAbstractSequence::TZAbstractSequence;
  AnsiString GetCurrentValueSQL() override;
  AnsiString GetNextValueSQL() override;
  // The value the sequence's query returns; 0 when it returns no row.
  std::int64_t GetCurrentValue() override;
  std::int64_t GetNextValue() override;
};
