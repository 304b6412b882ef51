// Connecting, the transaction options and disconnecting through the
// embedded-SQL client.

#include "sql/drivers/asa/asa_connection.h"

#include <cstring>
#include <vector>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_metadata.h"
#include "sql/drivers/asa/asa_utils.h"

namespace {

constexpr char kInitLogMessage[] = "Inititalizing SQLCA";
constexpr char kInitError[] = "Error initializing SQLCA";
constexpr char kCloseError[] = "Error closing SQLCA";
constexpr char kQuoteInValue[] = "A connection value may not hold a double quote: %s";

}  // namespace

TZASAConnection::TZASAConnection(Ref<IZDriver> driver, const AnsiString& url, Ref<IZASAPlainDriver> plainDriver,
                                 const AnsiString& hostName, int port, const AnsiString& database,
                                 const AnsiString& user, const AnsiString& password, TStrings* properties)
    : TZAbstractConnection(std::move(driver), url, hostName, port, database, user, password, properties),
      plainDriver_(std::move(plainDriver)) {
  SetMetadata(std::make_unique<TZASADatabaseMetadata>(this, url, GetProperties()));
}

void TZASAConnection::AreaError(const char* error) {
  DriverManager()->LogError(lcConnect, plainDriver_->GetProtocol(), kInitLogMessage, 0, error);
  throw EZSQLException(0, error);
}

AnsiString TZASAConnection::BuildConnectString() {
  AnsiString result;
  auto part = [&result](const char* key, const AnsiString& value) {
    if (value.empty()) return;
    if (value.find('"') != AnsiString::npos) throw EZSQLException(Format(kQuoteInValue, {key}));
    result += AnsiString(key) + "=\"" + value + "\"; ";
  };
  part("ENG", HostName());
  part("UID", User());
  part("PWD", Password());
  part(AnsiSameText(ExtractFileExt(Database()), ".db") ? "DBF" : "DBN", Database());
  AnsiString links;
  const AnsiString commLinks = GetProperties()->Values("CommLinks");
  const AnsiString linksValue = GetProperties()->Values("LINKS");
  if (!commLinks.empty()) links = "CommLinks=" + commLinks;
  if (!linksValue.empty()) links = "LINKS=" + linksValue;
  if (links.empty() && Port() != 0) links = "LINKS=tcpip(PORT=" + IntToStr(Port()) + ")";
  if (!links.empty()) result += links + "; ";
  return result;
}

void TZASAConnection::Open() {
  if (!IsClosed()) return;
  handle_.Reset();
  const AnsiString connectString = BuildConnectString();
  try {
    if (plainDriver_->db_init(&sqlca_) == 0) AreaError(kInitError);
    handle_.Reset(plainDriver_.get(), &sqlca_);
    plainDriver_->db_string_connect(handle_.get(), connectString.c_str());
    CheckASAError(plainDriver_.get(), handle_.get(), lcConnect, "");
    DriverManager()->LogMessage(lcConnect, plainDriver_->GetProtocol(),
                                "CONNECT TO \"" + Database() + "\" AS USER \"" + User() + "\"");
    StartTransaction();
  } catch (...) {
    handle_.Reset();
    throw;
  }
  TZAbstractConnection::Open();
}

void TZASAConnection::StartTransaction() {
  SetOption(1, nullptr, "CHAINED", GetAutoCommit() ? "OFF" : "ON");
  const int level = GetTransactIsolationLevel() == tiNone ? 0 : static_cast<int>(GetTransactIsolationLevel()) - 1;
  SetOption(1, nullptr, "ISOLATION_LEVEL", IntToStr(level));
}

void TZASAConnection::SetOption(int temporary, const char* user, const AnsiString& option, const AnsiString& value) {
  if (!handle_) return;
  // The option's value travels as one NUL-terminated string variable.
  std::vector<std::uint8_t> block(SqldaSize(1));
  auto* area = reinterpret_cast<SQLDA*>(block.data());
  std::memcpy(area->sqldaid, "SQLDA   ", sizeof area->sqldaid);
  area->sqldabc = static_cast<std::int32_t>(block.size());
  area->sqln = 1;
  area->sqld = 1;
  area->sqlvar[0].sqltype = DT_STRING;
  area->sqlvar[0].sqllen = static_cast<std::uint16_t>(value.size() + 1);
  area->sqlvar[0].sqldata = const_cast<char*>(value.c_str());
  plainDriver_->dbpp_setoption(handle_.get(), temporary, user, option.c_str(), area);
  CheckASAError(plainDriver_.get(), handle_.get(), lcOther, "");
  DriverManager()->LogMessage(lcOther, plainDriver_->GetProtocol(),
                              Format("SET OPTION %s.%s = %s", {AnsiString(user ? user : ""), option, value}));
}

void TZASAConnection::EndTransaction(bool commit) {
  if (IsClosed() || GetAutoCommit() || !handle_) return;
  if (commit)
    plainDriver_->dbpp_commit(handle_.get(), 0);
  else
    plainDriver_->dbpp_rollback(handle_.get(), 0);
  CheckASAError(plainDriver_.get(), handle_.get(), lcTransaction, "");
  DriverManager()->LogMessage(lcTransaction, plainDriver_->GetProtocol(),
                              commit ? "TRANSACTION COMMIT" : "TRANSACTION ROLLBACK");
}

void TZASAConnection::Commit() { EndTransaction(true); }
void TZASAConnection::Rollback() { EndTransaction(false); }

void TZASAConnection::SetAutoCommit(bool value) {
  TZAbstractConnection::SetAutoCommit(value);
  if (!IsClosed()) StartTransaction();
}

void TZASAConnection::SetTransactIsolationLevel(TZTransactIsolationLevel level) {
  TZAbstractConnection::SetTransactIsolationLevel(level);
  if (!IsClosed()) StartTransaction();
}

void TZASAConnection::Close() {
  if (IsClosed()) return;
  if (!GetAutoCommit()) Rollback();
  plainDriver_->db_string_disconnect(handle_.get(), nullptr);
  CheckASAError(plainDriver_.get(), handle_.get(), lcDisconnect, "");
  if (plainDriver_->db_fini(handle_.Take()) == 0) AreaError(kCloseError);
  DriverManager()->LogMessage(lcDisconnect, plainDriver_->GetProtocol(), "DISCONNECT FROM \"" + Database() + "\"");
  TZAbstractConnection::Close();
}
