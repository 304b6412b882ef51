// The PostgreSQL connection: connection string, session set-up, transaction
// blocks, two-phase commit, type names, server version and sequences. Every
// statement of its own is reported to the driver manager's log under the
// plain driver's protocol.

#include "sql/drivers/postgresql/postgresql_connection.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/postgresql/postgresql_metadata.h"

namespace {

constexpr int kDefaultPostgreSQLPort = 5432;
// The server refuses a prepared transaction's id of 200 bytes or more (its
// buffer holds 200 with the terminating zero), so longer ids are cut to 199.
constexpr std::size_t kMaxTransactionIdLength = 199;
constexpr char kNoticeProtocol[] = "Postgres NOTICE";

// A value of the connection string in single quotes, with libpq's escapes.
AnsiString ConnectValue(const AnsiString& value) {
  AnsiString text = "'";
  for (char c : value) {
    if (c == '\\' || c == '\'') text += '\\';
    text += c;
  }
  return text + '\'';
}

// libpq calls this on the calling thread for every notice of the server.
void PostgreSQLNoticeProcessor(void*, const char* message) {
  try {
    DriverManager()->LogMessage(lcOther, kNoticeProtocol, message ? message : "");
  } catch (...) {
    // Nothing may unwind through the client library.
  }
}

// The leading decimal digits of text; 0 when there are none.
int LeadingNumber(const AnsiString& text) {
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 0xFFFF) throw ERangeError("Range check error");
  }
  return static_cast<int>(value);
}

// The error path of CheckConnectionError, also taken by a failed connect that
// libpq gave no text for. A connection's handle is never finished here: it
// stays for Close or a reset.
[[noreturn]] void RaiseConnectionError(IZConnection* connection, IZPostgreSQLPlainDriver* plainDriver,
                                       TZLoggingCategory category, const AnsiString& logMessage, PGresult* result,
                                       AnsiString errorText) {
  if (errorText.empty()) errorText = SZUnknownError;
  // Errors libpq raises itself (a lost connection) have no SQLSTATE: null.
  const char* sqlState = result ? plainDriver->PQresultErrorField(result, kPgDiagSqlState) : nullptr;
  const AnsiString status = sqlState ? Trim(sqlState) : AnsiString();
  if (connection && connection->GetAutoCommit()) {
    try {
      connection->Rollback();
    } catch (...) {
      // The server's first error is the one to report.
    }
  }
  DriverManager()->LogError(category, plainDriver->GetProtocol(), logMessage, 0, errorText);
  if (result) plainDriver->PQclear(result);
  throw EZSQLException(status, Format(SZSQLError1, {errorText}));
}

AnsiString ErrorText(IZPostgreSQLPlainDriver* plainDriver, PGconn* handle) {
  return handle ? Trim(plainDriver->PQerrorMessage(handle)) : AnsiString();
}

}  // namespace

void DecodeServerVersion(const AnsiString& versionText, int& major, int& minor, int& sub) {
  TStringList words, parts;
  PutSplitString(&words, versionText, " ");
  if (words.Count() > 1) PutSplitString(&parts, words[1], ".");
  major = parts.Count() > 0 ? StrToIntDef(parts[0], 0) : 0;
  minor = parts.Count() > 1 ? LeadingNumber(parts[1]) : 0;
  sub = parts.Count() > 2 ? LeadingNumber(parts[2]) : 0;
}

void CheckConnectionError(IZConnection* connection, IZPostgreSQLPlainDriver* plainDriver, PGconn* handle,
                          TZLoggingCategory category, const AnsiString& logMessage, PGresult* result) {
  AnsiString errorText = ErrorText(plainDriver, handle);
  if (errorText.empty()) return;
  RaiseConnectionError(connection, plainDriver, category, logMessage, result, errorText);
}

// --- connection ------------------------------------------------------------------

TZPostgreSQLConnection::TZPostgreSQLConnection(Ref<IZDriver> driver, const AnsiString& url,
                                               Ref<IZPostgreSQLPlainDriver> plainDriver, const AnsiString& hostName,
                                               int port, const AnsiString& database, const AnsiString& user,
                                               const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port == 0 ? kDefaultPostgreSQLPort : port, database,
                           user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  TStrings* info = GetProperties();
  const AnsiString beginRequired = info->Values("beginreq");
  beginRequired_ = beginRequired.empty() || StrToBoolEx(beginRequired);
  oidAsBlob_ = StrToBoolEx(info->Values("oidasblob"));
  clientCodePage_ = ServerEncodingName(Trim(info->Values("codepage")));
  charsetCode_ = FindCharsetCode(clientCodePage_);
  SetMetadata(std::make_unique<TZPostgreSQLDatabaseMetadata>(this, url, GetProperties()));
}

TZPostgreSQLConnection::~TZPostgreSQLConnection() = default;

AnsiString TZPostgreSQLConnection::BuildConnectString() {
  TStrings* info = GetProperties();
  AnsiString text = (IsIpAddr(HostName()) ? "hostaddr=" : "host=") + ConnectValue(HostName());
  text += " port=" + ConnectValue(IntToStr(Port()));
  text += " dbname=" + ConnectValue(Database());
  text += " user=" + ConnectValue(User());
  text += " password=" + ConnectValue(Password());
  const AnsiString sslMode = info->Values("sslmode"), requireSsl = info->Values("requiressl");
  if (!sslMode.empty())
    text += " sslmode=" + ConnectValue(sslMode);
  else if (!requireSsl.empty())
    text += " requiressl=" + ConnectValue(requireSsl);
  const int timeout = StrToIntDef(info->Values("timeout"), -1);
  if (timeout >= 0) text += " connect_timeout=" + ConnectValue(IntToStr(timeout));
  return text;
}

void TZPostgreSQLConnection::Open() {
  if (!IsClosed()) return;
  const AnsiString logText = Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()});
  handle_.Reset(plainDriver_.get(), plainDriver_->PQconnectdb(BuildConnectString().c_str()));
  try {
    if (!handle_ || plainDriver_->PQstatus(handle_.get()) == TZPgConnStatus::CONNECTION_BAD)
      RaiseConnectionError(nullptr, plainDriver_.get(), lcConnect, logText, nullptr,
                           ErrorText(plainDriver_.get(), handle_.get()));
    DriverManager()->LogMessage(lcConnect, Protocol(), logText);
    plainDriver_->PQsetNoticeProcessor(handle_.get(), PostgreSQLNoticeProcessor, nullptr);
    SetUpSession();
  } catch (...) {
    // The handle of a failed attempt is finished at once.
    handle_.Reset();
    throw;
  }
  TZAbstractConnection::Open();
}

// Literals of this driver carry backslash escapes (QuoteTextLiteral) and the
// server's bytea text is read in escape form; servers that default to
// standard strings and hex bytea are brought to those rules here.
void TZPostgreSQLConnection::SetUpSession() {
  if (!clientCodePage_.empty()) ExecuteControl("SET CLIENT_ENCODING TO " + Literal(clientCodePage_));
  if (serverMajor_ == 0 && serverMinor_ == 0) LoadServerVersion();
  const int version = serverMajor_ * 100 + serverMinor_;
  if (version >= 802) {
    ExecuteControl("SET standard_conforming_strings = off");
    ExecuteControl("SET escape_string_warning = off");
  }
  if (version >= 900) ExecuteControl("SET bytea_output = 'escape'");
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::ExecuteControl(const AnsiString& sql) {
  PGresult* result = plainDriver_->PQexec(handle_.get(), sql.c_str());
  CheckConnectionError(nullptr, plainDriver_.get(), handle_.get(), lcExecute, sql, result);
  const TZPostgreSQLResultHandle held(plainDriver_.get(), result);
  DriverManager()->LogMessage(lcExecute, Protocol(), sql);
}

template <typename Read>
void TZPostgreSQLConnection::Query(const AnsiString& sql, Read read) {
  PGresult* result = plainDriver_->PQexec(handle_.get(), sql.c_str());
  CheckConnectionError(this, plainDriver_.get(), handle_.get(), lcExecute, sql, result);
  const TZPostgreSQLResultHandle held(plainDriver_.get(), result);
  DriverManager()->LogMessage(lcExecute, Protocol(), sql);
  read(held.get());
}

std::optional<AnsiString> TZPostgreSQLConnection::QueryFirstValue(const AnsiString& sql) {
  if (IsClosed()) Open();
  std::optional<AnsiString> value;
  Query(sql, [&](PGresult* result) {
    if (plainDriver_->PQntuples(result) > 0 && plainDriver_->PQnfields(result) > 0)
      value = plainDriver_->PQgetvalue(result, 0, 0);
  });
  return value;
}

AnsiString TZPostgreSQLConnection::Literal(const AnsiString& value) const {
  return QuoteTextLiteral(charsetCode_, value);
}

void TZPostgreSQLConnection::BeginTransactionBlock() {
  const TZTransactIsolationLevel level = GetTransactIsolationLevel();
  if (level == tiNone) return;
  if (beginRequired_) ExecuteControl("BEGIN");
  if (level == tiReadCommitted)
    ExecuteControl("SET TRANSACTION ISOLATION LEVEL READ COMMITTED");
  else if (level == tiSerializable)
    ExecuteControl("SET TRANSACTION ISOLATION LEVEL SERIALIZABLE");
  else
    throw EZSQLException(SZIsolationIsNotSupported);
}

void TZPostgreSQLConnection::Close() {
  if (!IsClosed()) {
    handle_.Reset();
    DriverManager()->LogMessage(lcDisconnect, Protocol(), Format("DISCONNECT FROM \"%s\"", {Database()}));
  }
  TZAbstractConnection::Close();
}

void TZPostgreSQLConnection::Commit() {
  if (GetTransactIsolationLevel() == tiNone || IsClosed()) return;
  ExecuteControl("COMMIT");
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::Rollback() {
  if (GetTransactIsolationLevel() == tiNone || IsClosed()) return;
  ExecuteControl("ROLLBACK");
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::PrepareTransaction(const AnsiString& transactionId) {
  if (GetTransactIsolationLevel() == tiNone || IsClosed()) return;
  ExecuteControl("PREPARE TRANSACTION " + Literal(transactionId.substr(0, kMaxTransactionIdLength)));
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::CommitPrepared(const AnsiString& transactionId) {
  if (GetTransactIsolationLevel() != tiNone || IsClosed()) return;
  ExecuteControl("COMMIT PREPARED " + Literal(transactionId.substr(0, kMaxTransactionIdLength)));
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::RollbackPrepared(const AnsiString& transactionId) {
  if (GetTransactIsolationLevel() != tiNone || IsClosed()) return;
  ExecuteControl("ROLLBACK PREPARED " + Literal(transactionId.substr(0, kMaxTransactionIdLength)));
  BeginTransactionBlock();
}

void TZPostgreSQLConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (level != tiNone && level != tiReadCommitted && level != tiSerializable)
    throw EZSQLException(SZIsolationIsNotSupported);
  if (GetTransactIsolationLevel() != tiNone && !IsClosed()) ExecuteControl("END");
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) BeginTransactionBlock();
}

int TZPostgreSQLConnection::PingServer() {
  if (IsClosed() || !handle_) return -1;
  auto answers = [this] {
    const TZPostgreSQLResultHandle result(plainDriver_.get(), plainDriver_->PQexec(handle_.get(), ""));
    return result && plainDriver_->PQstatus(handle_.get()) == TZPgConnStatus::CONNECTION_OK;
  };
  if (answers()) return 0;
  try {
    plainDriver_->PQreset(handle_.get());
    if (!answers()) return -1;
    // A reset session starts at the server's defaults again.
    SetUpSession();
    return 0;
  } catch (...) {
    return 1;
  }
}

AnsiString TZPostgreSQLConnection::GetTypeNameByOid(Oid oid) {
  if (IsClosed()) Open();
  if (!typeNames_) LoadTypeNames();
  for (const auto& [typeOid, name] : *typeNames_)
    if (typeOid == oid) return name;
  return AnsiString();
}

void TZPostgreSQLConnection::LoadTypeNames() {
  const bool domains = GetServerMajorVersion() > 7 || (serverMajor_ == 7 && serverMinor_ >= 3);
  const AnsiString sql = domains ? "SELECT oid, typname, typbasetype FROM pg_type WHERE oid<10000 OR "
                                   "typbasetype<>0 ORDER BY oid"
                                 : "SELECT oid, typname FROM pg_type WHERE oid<10000";
  auto names = std::make_unique<std::vector<std::pair<Oid, AnsiString>>>();
  Query(sql, [&](PGresult* result) {
    const int rows = plainDriver_->PQntuples(result);
    for (int row = 0; row < rows; ++row) {
      const auto oid = static_cast<Oid>(StrToInt64Def(plainDriver_->PQgetvalue(result, row, 0), 0));
      AnsiString name = plainDriver_->PQgetvalue(result, row, 1);
      if (domains) {
        const auto base = static_cast<Oid>(StrToInt64Def(plainDriver_->PQgetvalue(result, row, 2), 0));
        if (base != 0) {
          name.clear();
          for (const auto& [knownOid, knownName] : *names)
            if (knownOid == base) {
              name = knownName;
              break;
            }
        }
      }
      names->emplace_back(oid, name);
    }
  });
  typeNames_ = std::move(names);
}

void TZPostgreSQLConnection::LoadServerVersion() {
  std::optional<AnsiString> text;
  Query("SELECT version()", [&](PGresult* result) {
    if (plainDriver_->PQntuples(result) > 0) text = plainDriver_->PQgetvalue(result, 0, 0);
  });
  DecodeServerVersion(text.value_or(""), serverMajor_, serverMinor_, serverSub_);
}

int TZPostgreSQLConnection::GetServerMajorVersion() {
  if (serverMajor_ == 0 && serverMinor_ == 0) {
    if (IsClosed())
      Open();
    else
      LoadServerVersion();
  }
  return serverMajor_;
}

int TZPostgreSQLConnection::GetServerMinorVersion() {
  GetServerMajorVersion();
  return serverMinor_;
}

int TZPostgreSQLConnection::GetServerSubVersion() {
  GetServerMajorVersion();
  return serverSub_;
}

int TZPostgreSQLConnection::GetServerVersion() {
  const int major = GetServerMajorVersion();
  return EncodeSqlVersioning(major, serverMinor_, serverSub_);
}

Ref<IZSequence> TZPostgreSQLConnection::CreateSequence(const AnsiString& name, int blockSize) {
  return MakeRef<TZPostgreSQLSequence>(Ref<IZConnection>(this), name, blockSize);
}

// --- sequences ---------------------------------------------------------------------

AnsiString TZPostgreSQLSequence::ValueSQL(const char* function) {
  auto* connection = dynamic_cast<IZPostgreSQLConnection*>(GetConnection().get());
  const TZPgCharsetCode code = connection ? connection->GetCharactersetCode() : csOTHER;
  return Format("%s(%s)", {function, QuoteTextLiteral(code, GetName())});
}

std::int64_t TZPostgreSQLSequence::QueryValue(const char* function) {
  auto* connection = dynamic_cast<TZPostgreSQLConnection*>(GetConnection().get());
  if (!connection) return 0;
  std::optional<AnsiString> value = connection->QueryFirstValue("SELECT " + ValueSQL(function));
  return value ? StrToInt64Def(*value, 0) : 0;
}

std::int64_t TZPostgreSQLSequence::GetCurrentValue() { return QueryValue("CURRVAL"); }
std::int64_t TZPostgreSQLSequence::GetNextValue() { return QueryValue("NEXTVAL"); }
AnsiString TZPostgreSQLSequence::GetCurrentValueSQL() { return ' ' + ValueSQL("CURRVAL") + ' '; }
AnsiString TZPostgreSQLSequence::GetNextValueSQL() { return ' ' + ValueSQL("NEXTVAL") + ' '; }
