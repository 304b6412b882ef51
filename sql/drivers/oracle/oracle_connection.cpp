// The Oracle connection: login through the client handles, transactions
// whose isolation travels only in the start flags, and sequences. Every step
// is reported to the driver manager's log under the plain driver's protocol;
// the isolation texts are log lines only, never sent to the server.

#include "sql/drivers/oracle/oracle_connection.h"

#include "platform/rtl/format.h"
#include "sql/drivers/oracle/oracle_metadata.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_statement.h"
#include "sql/drivers/oracle/oracle_utils.h"

namespace {

constexpr char kCommitText[] = "COMMIT";
constexpr char kRollbackText[] = "ROLLBACK";
constexpr char kEndTransactionText[] = "END TRANSACTION";

struct TTransactionMode {
  const char* logText;
  ub4 flags;
};

// The log text and start flags of a level; tiReadUncommitted has none.
TTransactionMode TransactionMode(TZTransactIsolationLevel level) {
  switch (level) {
    case tiRepeatableRead:
      return {"SET TRANSACTION ISOLATION LEVEL READWRITE", OCI_TRANS_READWRITE};
    case tiSerializable:
      return {"SET TRANSACTION ISOLATION LEVEL SERIALIZABLE", OCI_TRANS_SERIALIZABLE};
    case tiReadUncommitted:
      throw EZSQLException(SZIsolationIsNotSupported);
    default:
      return {"SET TRANSACTION ISOLATION LEVEL DEFAULT", OCI_DEFAULT};
  }
}

void* TextValue(const AnsiString& text) { return const_cast<char*>(text.data()); }

}  // namespace

TZOracleConnection::TZOracleConnection(Ref<IZDriver> driver, const AnsiString& url,
                                       Ref<IZOraclePlainDriver> plainDriver, const AnsiString& hostName, int port,
                                       const AnsiString& database, const AnsiString& user,
                                       const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  SetMetadata(std::make_unique<TZOracleDatabaseMetadata>(this, url, GetProperties()));
}

TZOracleConnection::~TZOracleConnection() {
  try {
    FreeHandle(environment_, OCI_HTYPE_ENV);
  } catch (...) {
    // A library without the free call leaves nothing more to do.
  }
}

template <class T>
void TZOracleConnection::AllocateHandle(T*& handle, ub4 type) {
  plainDriver_->OCIHandleAlloc(environment_, reinterpret_cast<void**>(&handle), type, 0, nullptr);
}

template <class T>
void TZOracleConnection::FreeHandle(T*& handle, ub4 type) {
  if (!handle) return;
  plainDriver_->OCIHandleFree(handle, type);
  handle = nullptr;
}

void TZOracleConnection::CheckStatus(sword status, TZLoggingCategory category, const AnsiString& logText) {
  CheckOracleStatus(plainDriver_.get(), error_, status, category, logText);
}

void TZOracleConnection::Open() {
  if (!IsClosed()) return;
  const AnsiString logText = Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()});
  if (!environment_) plainDriver_->OCIEnvInit(&environment_, OCI_DEFAULT, 0, nullptr);
  AllocateHandle(error_, OCI_HTYPE_ERROR);
  AllocateHandle(server_, OCI_HTYPE_SERVER);
  AllocateHandle(context_, OCI_HTYPE_SVCCTX);
  try {
    Login(logText);
  } catch (...) {
    FreeHandle(session_, OCI_HTYPE_SESSION);
    FreeHandle(context_, OCI_HTYPE_SVCCTX);
    FreeHandle(error_, OCI_HTYPE_ERROR);
    FreeHandle(server_, OCI_HTYPE_SERVER);
    throw;
  }
  DriverManager()->LogMessage(lcConnect, plainDriver_->GetProtocol(), logText);
  try {
    StartTransaction();
  } catch (...) {
    // A session that cannot start its transaction is not left behind.
    AbandonSession();
    throw;
  }
  TZAbstractConnection::Open();
}

void TZOracleConnection::Login(const AnsiString& logText) {
  const AnsiString& database = Database();
  CheckStatus(plainDriver_->OCIServerAttach(server_, error_, reinterpret_cast<const OraText*>(database.data()),
                                            static_cast<sb4>(database.size()), OCI_DEFAULT),
              lcConnect, logText);
  plainDriver_->OCIAttrSet(context_, OCI_HTYPE_SVCCTX, server_, 0, OCI_ATTR_SERVER, error_);
  AllocateHandle(session_, OCI_HTYPE_SESSION);
  plainDriver_->OCIAttrSet(session_, OCI_HTYPE_SESSION, TextValue(User()), static_cast<ub4>(User().size()),
                           OCI_ATTR_USERNAME, error_);
  plainDriver_->OCIAttrSet(session_, OCI_HTYPE_SESSION, TextValue(Password()), static_cast<ub4>(Password().size()),
                           OCI_ATTR_PASSWORD, error_);
  CheckStatus(plainDriver_->OCISessionBegin(context_, error_, session_, OCI_CRED_RDBMS, OCI_DEFAULT), lcConnect,
              logText);
  plainDriver_->OCIAttrSet(context_, OCI_HTYPE_SVCCTX, session_, 0, OCI_ATTR_SESSION, error_);
}

void TZOracleConnection::StartTransaction() {
  const TTransactionMode mode = TransactionMode(GetTransactIsolationLevel());
  AllocateHandle(transaction_, OCI_HTYPE_TRANS);
  plainDriver_->OCIAttrSet(context_, OCI_HTYPE_SVCCTX, transaction_, 0, OCI_ATTR_TRANS, error_);
  CheckStatus(plainDriver_->OCITransStart(context_, error_, 0, mode.flags), lcExecute, mode.logText);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), mode.logText);
}

void TZOracleConnection::AbandonSession() {
  plainDriver_->OCISessionEnd(context_, error_, session_, OCI_DEFAULT);
  plainDriver_->OCIServerDetach(server_, error_, OCI_DEFAULT);
  FreeHandle(transaction_, OCI_HTYPE_TRANS);
  FreeSessionHandles();
}

void TZOracleConnection::FreeSessionHandles() {
  FreeHandle(session_, OCI_HTYPE_SESSION);
  FreeHandle(context_, OCI_HTYPE_SVCCTX);
  FreeHandle(server_, OCI_HTYPE_SERVER);
  FreeHandle(error_, OCI_HTYPE_ERROR);
}

void TZOracleConnection::Close() {
  if (IsClosed()) {
    TZAbstractConnection::Close();
    return;
  }
  const AnsiString logText = Format("DISCONNECT FROM \"%s\"", {Database()});
  CheckStatus(plainDriver_->OCITransRollback(context_, error_, OCI_DEFAULT), lcDisconnect, logText);
  FreeHandle(transaction_, OCI_HTYPE_TRANS);
  CheckStatus(plainDriver_->OCISessionEnd(context_, error_, session_, OCI_DEFAULT), lcDisconnect, logText);
  CheckStatus(plainDriver_->OCIServerDetach(server_, error_, OCI_DEFAULT), lcDisconnect, logText);
  FreeSessionHandles();
  DriverManager()->LogMessage(lcDisconnect, plainDriver_->GetProtocol(), logText);
  TZAbstractConnection::Close();
}

void TZOracleConnection::EndTransaction(sword status, const char* logText) {
  CheckStatus(status, lcExecute, logText);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), logText);
}

void TZOracleConnection::Commit() {
  if (IsClosed()) return;
  EndTransaction(plainDriver_->OCITransCommit(context_, error_, OCI_DEFAULT), kCommitText);
}

void TZOracleConnection::Rollback() {
  if (IsClosed()) return;
  EndTransaction(plainDriver_->OCITransRollback(context_, error_, OCI_DEFAULT), kRollbackText);
}

void TZOracleConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (level == GetTransactIsolationLevel()) return;
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (IsClosed()) return;
  // An unsupported level fails before the running transaction ends, so the
  // service context never keeps a freed transaction handle.
  TransactionMode(level);
  CheckStatus(plainDriver_->OCITransRollback(context_, error_, OCI_DEFAULT), lcExecute, kEndTransactionText);
  FreeHandle(transaction_, OCI_HTYPE_TRANS);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), kEndTransactionText);
  StartTransaction();
}

Ref<IZSequence> TZOracleConnection::CreateSequence(const AnsiString& name, int blockSize) {
  return MakeRef<TZOracleSequence>(Ref<IZConnection>(this), name, blockSize);
}

AnsiString TZOracleSequence::GetCurrentValueSQL() { return Format("SELECT %s.CURRVAL FROM DUAL", {GetName()}); }
AnsiString TZOracleSequence::GetNextValueSQL() { return Format("SELECT %s.NEXTVAL FROM DUAL", {GetName()}); }
std::int64_t TZOracleSequence::GetCurrentValue() { return QueryValue(GetCurrentValueSQL()); }
std::int64_t TZOracleSequence::GetNextValue() { return QueryValue(GetNextValueSQL()); }

Ref<IZStatement> TZOracleConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZOracleStatement>(plainDriver_, Ref<IZConnection>(this), info);
}

Ref<IZPreparedStatement> TZOracleConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZOraclePreparedStatement>(plainDriver_, Ref<IZConnection>(this), sql, info);
}
