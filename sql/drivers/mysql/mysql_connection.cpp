// The MySQL connection: connect sequence, session settings and transactions.
// Every step is reported to the driver manager's log under the plain driver's
// protocol.

#include "sql/drivers/mysql/mysql_connection.h"

#include <mariadb/mysql.h>

#include <utility>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/mysql/mysql_metadata.h"
#include "sql/drivers/mysql/mysql_utils.h"

namespace {

constexpr int kDefaultMySQLPort = 3306;
constexpr int kClientOptionCount = 32;
constexpr int kFirstNumberedClientOption = 18;
constexpr int kLastNumberedClientOption = 30;

// The property names of the client flags; name i stands for bit 2^i.
const std::vector<AnsiString>& ClientOptionNames() {
  static const std::vector<AnsiString> names = [] {
    std::vector<AnsiString> list = {
        "CLIENT_LONG_PASSWORD",   "CLIENT_FOUND_ROWS",     "CLIENT_LONG_FLAG",         "CLIENT_CONNECT_WITH_DB",
        "CLIENT_NO_SCHEMA",       "CLIENT_COMPRESS",       "CLIENT_ODBC",              "CLIENT_LOCAL_FILES",
        "CLIENT_IGNORE_SPACE",    "CLIENT_CHANGE_USER",    "CLIENT_INTERACTIVE",       "CLIENT_SSL",
        "CLIENT_IGNORE_SIGPIPE",  "CLIENT_TRANSACTIONS",   "CLIENT_RESERVED",          "CLIENT_SECURE_CONNECTION",
        "CLIENT_MULTI_STATEMENTS", "CLIENT_MULTI_RESULTS",
    };
    for (int i = kFirstNumberedClientOption; i <= kLastNumberedClientOption; ++i)
      list.push_back("CLIENT_OPT_" + IntToStr(i));
    list.emplace_back("CLIENT_REMEMBER_OPTIONS");
    return list;
  }();
  return names;
}

const char* IsolationStatement(TZTransactIsolationLevel level) {
  switch (level) {
    case tiReadCommitted:
      return "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED";
    case tiRepeatableRead:
      return "SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ";
    case tiSerializable:
      return "SET SESSION TRANSACTION ISOLATION LEVEL SERIALIZABLE";
    default:
      return "SET SESSION TRANSACTION ISOLATION LEVEL READ UNCOMMITTED";
  }
}

AnsiString AutoCommitCallText(bool value) { return "Native SetAutoCommit " + BoolToStrEx(value) + "call"; }

// The property's value for a pointer argument of the library: null when empty.
const char* OptionalText(const AnsiString& value) { return value.empty() ? nullptr : value.c_str(); }

}  // namespace

TZMySQLConnection::TZMySQLConnection(Ref<IZDriver> driver, const AnsiString& url,
                                     Ref<IZMySQLPlainDriver> plainDriver, const AnsiString& hostName, int port,
                                     const AnsiString& database, const AnsiString& user, const AnsiString& password,
                                     TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)),
      clientCodePage_(Trim(GetProperties()->Values("codepage"))) {
  SetMetadata(std::make_unique<TZMySQLDatabaseMetadata>(this, url, GetProperties()));
}

AnsiString TZMySQLConnection::ConnectLogText() {
  return Format("CONNECT TO \"%s\" AS USER \"%s\"", {Database(), User()});
}

void TZMySQLConnection::Open() {
  if (!IsClosed()) return;
  if (!plainDriver_->Init(handle_)) throw EZSQLException(SZCanNotConnectToServer);
  try {
    Connect();
  } catch (...) {
    DropHandle();
    throw;
  }
  TZAbstractConnection::Open();
}

void TZMySQLConnection::Connect() {
  AnsiString logText = ConnectLogText();
  AnsiString protocol = plainDriver_->GetProtocol();
  SetConnectOptions();
  unsigned int flags = ClientFlags();
  SetSslOptions();

  int port = Port() == 0 ? kDefaultMySQLPort : Port();
  if (!plainDriver_->RealConnect(handle_, HostName().c_str(), User().c_str(), Password().c_str(),
                                 Database().c_str(), static_cast<unsigned int>(port), nullptr, flags)) {
    CheckMySQLError(plainDriver_.get(), handle_, lcConnect, logText);
    DriverManager()->LogError(lcConnect, protocol, logText, 0, SZUnknownError);
    throw EZSQLException(SZCanNotConnectToServer);
  }
  DriverManager()->LogMessage(lcConnect, protocol, logText);

  if (!clientCodePage_.empty()) ExecuteSessionStatement(Format("SET CHARACTER SET %s", {clientCodePage_}));
  RestoreSessionSettings();
}

void TZMySQLConnection::SetConnectOptions() {
  TStrings* properties = GetProperties();
  if (StrToBoolEx(properties->Values("compress")))
    plainDriver_->SetOptions(handle_, TZMySQLOption::MYSQL_OPT_COMPRESS, nullptr);

  // An absent or unreadable "timeout" still sets a connect timeout of 0.
  int timeout = StrToIntDef(properties->Values("timeout"), 0);
  if (timeout >= 0) {
    auto seconds = static_cast<unsigned int>(timeout);
    plainDriver_->SetOptions(handle_, TZMySQLOption::MYSQL_OPT_CONNECT_TIMEOUT, &seconds);
  }
  // A server that stops answering ends a call after this many seconds
  // ("MYSQL_OPT_READ_TIMEOUT=" and "MYSQL_OPT_WRITE_TIMEOUT=" properties).
  const std::pair<TZMySQLOption, const char*> limits[] = {
      {TZMySQLOption::MYSQL_OPT_READ_TIMEOUT, "MYSQL_OPT_READ_TIMEOUT"},
      {TZMySQLOption::MYSQL_OPT_WRITE_TIMEOUT, "MYSQL_OPT_WRITE_TIMEOUT"}};
  for (const auto& [option, name] : limits) {
    const int limit = StrToIntDef(Trim(properties->Values(name)), 0);
    if (limit <= 0) continue;
    auto seconds = static_cast<unsigned int>(limit);
    plainDriver_->SetOptions(handle_, option, &seconds);
  }

  // The handshake carries the database, user and password as they stand, in
  // the client code page: announce that page, or the server refuses a name
  // with Czech letters before "SET CHARACTER SET" is ever sent.
  if (!clientCodePage_.empty())
    plainDriver_->SetOptions(handle_, TZMySQLOption::MYSQL_SET_CHARSET_NAME, clientCodePage_.c_str());

  for (int i = 0; i < kMySQLOptionCount; ++i) {
    auto option = static_cast<TZMySQLOption>(i);
    AnsiString value = properties->Values(MySQLOptionName(option));
    if (value.empty()) continue;
    switch (option) {
      case TZMySQLOption::MYSQL_OPT_CONNECT_TIMEOUT: {
        // The library reads this option as a number, never as text.
        unsigned int seconds = static_cast<unsigned int>(StrToInt(Trim(value)));
        plainDriver_->SetOptions(handle_, option, &seconds);
        break;
      }
      case TZMySQLOption::MYSQL_OPT_COMPRESS:
      case TZMySQLOption::MYSQL_OPT_NAMED_PIPE:
        plainDriver_->SetOptions(handle_, option, nullptr);
        break;
      default:
        plainDriver_->SetOptions(handle_, option, value.c_str());
    }
  }
}

unsigned int TZMySQLConnection::ClientFlags() {
  TStrings* properties = GetProperties();
  unsigned int flags = StrToBoolEx(properties->Values("dbless")) ? 0u : unsigned{CLIENT_CONNECT_WITH_DB};
  // An UPDATE counts the rows it matched, not only those it changed: a
  // posted row that already held its values is still its one row.
  if (properties->Values("CLIENT_FOUND_ROWS").empty()) flags |= CLIENT_FOUND_ROWS;
  const std::vector<AnsiString>& names = ClientOptionNames();
  for (int i = 0; i < kClientOptionCount; ++i)
    if (StrToBoolEx(properties->Values(names[i]))) flags |= 1u << i;
  return flags;
}

void TZMySQLConnection::SetSslOptions() {
  TStrings* properties = GetProperties();
  if (!StrToBoolEx(properties->Values("MYSQL_SSL"))) return;
  AnsiString key = properties->Values("MYSQL_SSL_KEY");
  AnsiString cert = properties->Values("MYSQL_SSL_CERT");
  AnsiString ca = properties->Values("MYSQL_SSL_CA");
  AnsiString caPath = properties->Values("MYSQL_SSL_CAPATH");
  AnsiString cipher = properties->Values("MYSQL_SSL_CYPHER");
  plainDriver_->SslSet(handle_, OptionalText(key), OptionalText(cert), OptionalText(ca), OptionalText(caPath),
                       OptionalText(cipher));
  DriverManager()->LogMessage(lcConnect, plainDriver_->GetProtocol(), "SSL options set");
}

// A new session starts at the server's defaults, which are what a new
// connection stores (tiNone, auto-commit on); a connection closed and opened
// again with other settings gets them back, so Commit and Rollback keep
// meaning what the caller set up.
void TZMySQLConnection::RestoreSessionSettings() {
  TZTransactIsolationLevel level = GetTransactIsolationLevel();
  if (level != tiNone) ExecuteSessionStatement(IsolationStatement(level));
  if (!GetAutoCommit()) CheckNativeCall(plainDriver_->SetAutocommit(handle_, false), AutoCommitCallText(false));
}

void TZMySQLConnection::ExecuteSessionStatement(const AnsiString& sql) {
  if (plainDriver_->ExecQuery(handle_, sql.c_str()) != 0)
    CheckMySQLError(plainDriver_.get(), handle_, lcExecute, sql);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
}

void TZMySQLConnection::CheckNativeCall(bool ok, const AnsiString& text) {
  if (!ok) CheckMySQLError(plainDriver_.get(), handle_, lcExecute, text);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), text);
}

void TZMySQLConnection::DropHandle() {
  if (!handle_) return;
  plainDriver_->Close(handle_);
  plainDriver_->ClearHandle(handle_);
}

void TZMySQLConnection::Close() {
  if (IsClosed()) return;
  DropHandle();
  DriverManager()->LogMessage(lcDisconnect, plainDriver_->GetProtocol(),
                              Format("DISCONNECT FROM \"%s\"", {Database()}));
  TZAbstractConnection::Close();
}

void TZMySQLConnection::Commit() {
  if (GetAutoCommit() || IsClosed()) return;
  CheckNativeCall(plainDriver_->Commit(handle_), "Native Commit call");
}

void TZMySQLConnection::Rollback() {
  if (GetAutoCommit() || IsClosed()) return;
  CheckNativeCall(plainDriver_->Rollback(handle_), "Native Rollback call");
}

void TZMySQLConnection::SetAutoCommit(bool value) {
  if (value == GetAutoCommit()) return;
  TZAbstractConnection::SetAutoCommit(value);
  if (IsClosed()) return;
  CheckNativeCall(plainDriver_->SetAutocommit(handle_, value), AutoCommitCallText(value));
}

void TZMySQLConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  if (level == GetTransactIsolationLevel()) return;
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) ExecuteSessionStatement(IsolationStatement(level));
}

int TZMySQLConnection::PingServer() {
  if (!handle_ || IsClosed()) return -1;
  return plainDriver_->Ping(handle_);
}

AnsiString TZMySQLConnection::EscapeString(const AnsiString& value) {
  const auto length = static_cast<unsigned long>(value.size());
  AnsiString buffer(2 * value.size() + 1, '\0');
  unsigned long written = handle_ && !IsClosed()
                              ? plainDriver_->RealEscapeString(handle_, buffer.data(), value.data(), length)
                              : plainDriver_->EscapeString(buffer.data(), value.data(), length);
  // The library reports (unsigned long)-1 when it cannot escape the text.
  if (written > 2 * value.size()) throw EZSQLException(SZConvertionError);
  buffer.resize(written);
  return buffer;
}

int TZMySQLConnection::GetClientVersion() { return MySQLVersionToSQLVersion(plainDriver_->GetClientVersion()); }

int TZMySQLConnection::GetServerVersion() {
  // The library would read through a null handle.
  if (!handle_) throw EZSQLException(SZConnectionIsNotOpened);
  int version = MySQLVersionToSQLVersion(plainDriver_->GetServerVersion(handle_));
  CheckMySQLError(plainDriver_.get(), handle_, lcExecute, "mysql_get_server_version()");
  return version;
}
