// The ADO connection object over an ODBC connection handle: connecting by
// connection string, transactions as auto-commit switched off and on, the
// current catalog, and the statements its recordsets run on.

#include <algorithm>

#include "platform/rtl/text.h"
#include "sql/drivers/ado/ado_messages.h"
#include "sql/drivers/ado/ado_objects.h"
#include "sql/drivers/ado/ado_odbc.h"

using ado_odbc::Check;

namespace {

constexpr SQLINTEGER kMaxCatalogBytes = 1024;

// A connection-string value, in braces when it holds a character that would
// end or split it.
std::string ConnectValue(const AnsiString& value) {
  const std::string text = ado_odbc::ToOdbc(value);
  if (text.find_first_of(";{}= ") == std::string::npos) return text;
  std::string braced = "{";
  for (char c : text) braced += c == '}' ? std::string("}}") : std::string(1, c);
  return braced + "}";
}

SQLULEN OdbcIsolation(int level) {
  switch (level) {
    case adXactReadUncommitted: return SQL_TXN_READ_UNCOMMITTED;
    case adXactReadCommitted: return SQL_TXN_READ_COMMITTED;
    case adXactRepeatableRead: return SQL_TXN_REPEATABLE_READ;
    case adXactSerializable: return SQL_TXN_SERIALIZABLE;
    default: return 0;  // chaos or unspecified: the driver's own
  }
}

}  // namespace

Connection15::Connection15() = default;

Connection15::~Connection15() { Disconnect(); }

void Connection15::Open(const AnsiString& connectionString, const AnsiString& userID, const AnsiString& password,
                        int /*options*/) {
  if (State() == adStateOpen) throw EAdoError(kAdoStateOpen, kAdoObjectOpen);
  std::string text = ado_odbc::ToOdbc(connectionString);
  if (!userID.empty()) text += ";UID=" + ConnectValue(userID);
  if (!password.empty()) text += ";PWD=" + ConnectValue(password);
  env_ = ado_odbc::Environment();
  auto dbc = std::make_unique<ado_odbc::Handle>(SQL_HANDLE_DBC, env_.get());
  // A hint only: drivers that ignore read-only access still connect.
  if (mode_ == adModeRead)
    SQLSetConnectAttr(dbc->get(), SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
  Check(SQLDriverConnect(dbc->get(), nullptr, reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS, nullptr, 0,
                         nullptr, SQL_DRIVER_NOPROMPT),
        SQL_HANDLE_DBC, dbc->get());
  char dbms[kMaxCatalogBytes] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc->get(), SQL_DBMS_NAME, dbms, sizeof dbms, &length))) dbms[0] = '\0';
  dbmsName_ = dbms;
  char quote[8] = {};
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc->get(), SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length))) quote[0] = '\0';
  identifierQuote_ = Trim(AnsiString(quote));
  dbc_ = std::move(dbc);
  connected_ = true;
  inTransaction_ = false;
}

std::string Connection15::NativeText(const AnsiString& commandText) {
  // The one Transact-SQL query callers rely on: the key the last insert
  // of this session generated.
  if (commandText == "SELECT @@IDENTITY") {
    if (SameText(dbmsName_, "SQLite")) return "SELECT last_insert_rowid()";
    if (SameText(dbmsName_, "PostgreSQL")) return "SELECT lastval()";
  }
  return ado_odbc::ToOdbc(commandText);
}

void Connection15::Close() {
  if (State() != adStateOpen) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  if (inTransaction_) throw EAdoError(kAdoStateTransaction, kAdoCloseInTransaction);
  Disconnect();
}

void Connection15::Disconnect() noexcept {
  for (const auto& held : statements_)
    if (auto statement = held.lock()) statement->Free();
  statements_.clear();
  if (dbc_ && connected_) {
    if (inTransaction_) SQLEndTran(SQL_HANDLE_DBC, dbc_->get(), SQL_ROLLBACK);
    SQLDisconnect(dbc_->get());
  }
  dbc_.reset();
  connected_ = false;
  inTransaction_ = false;
}

std::shared_ptr<ado_odbc::Handle> Connection15::NewStatement() {
  if (State() != adStateOpen) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  std::erase_if(statements_, [](const std::weak_ptr<ado_odbc::Handle>& held) { return held.expired(); });
  auto statement = std::make_shared<ado_odbc::Handle>(SQL_HANDLE_STMT, dbc_->get());
  statements_.push_back(statement);
  return statement;
}

Ref<Recordset15> Connection15::Execute(const AnsiString& commandText, Variant& recordsAffected, int /*options*/) {
  std::shared_ptr<ado_odbc::Handle> statement = NewStatement();
  std::string text = NativeText(commandText);
  Check(SQLExecDirect(statement->get(), reinterpret_cast<SQLCHAR*>(text.data()), SQL_NTS), SQL_HANDLE_STMT,
        statement->get());
  auto recordset = MakeRef<Recordset15>();
  recordset->OpenResult(Ref<Connection15>(this), std::move(statement), recordsAffected);
  return recordset;
}

void Connection15::SetAutoCommit(bool on) {
  const SQLULEN value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
  Check(SQLSetConnectAttr(dbc_->get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(value), 0),
        SQL_HANDLE_DBC, dbc_->get());
}

int Connection15::BeginTrans() {
  if (State() != adStateOpen) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  if (inTransaction_) throw EAdoError(kAdoStateTransaction, kAdoTransactionRunning);
  // The level can change only between transactions, so it is set first;
  // drivers that offer one level only answer with a warning.
  if (const SQLULEN level = OdbcIsolation(isolationLevel_))
    Check(SQLSetConnectAttr(dbc_->get(), SQL_ATTR_TXN_ISOLATION, reinterpret_cast<SQLPOINTER>(level), 0),
          SQL_HANDLE_DBC, dbc_->get());
  SetAutoCommit(false);
  inTransaction_ = true;
  return 1;
}

void Connection15::EndTransaction(bool commit) {
  if (State() != adStateOpen) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  if (!inTransaction_) throw EAdoError(kAdoStateTransaction, kAdoNoTransaction);
  Check(SQLEndTran(SQL_HANDLE_DBC, dbc_->get(), commit ? SQL_COMMIT : SQL_ROLLBACK), SQL_HANDLE_DBC, dbc_->get());
  inTransaction_ = false;
  SetAutoCommit(true);
}

void Connection15::CommitTrans() { EndTransaction(true); }
void Connection15::RollbackTrans() { EndTransaction(false); }

AnsiString Connection15::DefaultDatabase() {
  if (State() != adStateOpen) return AnsiString();
  char catalog[kMaxCatalogBytes] = {};
  SQLINTEGER length = 0;
  Check(SQLGetConnectAttr(dbc_->get(), SQL_ATTR_CURRENT_CATALOG, catalog, sizeof catalog, &length),
        SQL_HANDLE_DBC, dbc_->get());
  return ado_odbc::FromOdbc(catalog);
}

void Connection15::SetDefaultDatabase(const AnsiString& value) {
  if (State() != adStateOpen) throw EAdoError(kAdoStateClosed, kAdoObjectClosed);
  std::string text = ado_odbc::ToOdbc(value);
  Check(SQLSetConnectAttr(dbc_->get(), SQL_ATTR_CURRENT_CATALOG, text.data(), SQL_NTS), SQL_HANDLE_DBC,
        dbc_->get());
}
