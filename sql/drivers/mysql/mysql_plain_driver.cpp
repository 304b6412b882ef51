// The plain drivers: each operation fetches its entry point from the copied
// table, with the function type taken from the client library's header, and
// calls it. Counts the library gives unsigned become signed 32-bit values.

#include "sql/drivers/mysql/mysql_plain_driver.h"

#include <cstdint>
#include <limits>
#include <mariadb/mysql.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

static_assert(MYSQL_OPT_CONNECT_TIMEOUT == static_cast<int>(TZMySQLOption::MYSQL_OPT_CONNECT_TIMEOUT) &&
              MYSQL_SET_CHARSET_NAME == static_cast<int>(TZMySQLOption::MYSQL_SET_CHARSET_NAME));

// The typed entry point of a function the client header declares.
#define VX_MYSQL(name) reinterpret_cast<decltype(&::name)>(Entry(TZMySQLEntry::name))

namespace {

constexpr int kMaxRowColumns = 256;
constexpr char kRangeCheckError[] = "Range check error";
constexpr char kDefaultDataDirArgument[] = "--datadir=./data/";
constexpr char kServerArgumentPrefix[] = "ServerArgument";

// Functions of old client libraries that today's header no longer declares.
using TConnectFn = MYSQL* (*)(MYSQL*, const char*, const char*, const char*);
using TDatabaseFn = int (*)(MYSQL*, const char*);

constexpr const char* kOptionNames[kMySQLOptionCount] = {
    "MYSQL_OPT_CONNECT_TIMEOUT", "MYSQL_OPT_COMPRESS",       "MYSQL_OPT_NAMED_PIPE",  "MYSQL_INIT_COMMAND",
    "MYSQL_READ_DEFAULT_FILE",   "MYSQL_READ_DEFAULT_GROUP", "MYSQL_SET_CHARSET_DIR", "MYSQL_SET_CHARSET_NAME",
};

int CheckedInt(unsigned long long value) {
  if (value > static_cast<unsigned long long>(std::numeric_limits<int>::max())) throw ERangeError(kRangeCheckError);
  return static_cast<int>(value);
}

int SaturatedInt(unsigned long long value) {
  constexpr auto kMax = static_cast<unsigned long long>(std::numeric_limits<int>::max());
  return static_cast<int>(value > kMax ? kMax : value);
}

AnsiString CopyText(const char* text) { return text ? AnsiString(text) : AnsiString(); }

// The embedded server's process-wide argument set and server groups.
struct TEmbeddedArguments {
  std::vector<AnsiString> args;
  std::vector<char*> argv;
};

TEmbeddedArguments& EmbeddedArguments() {
  static TEmbeddedArguments arguments;
  return arguments;
}

char kEmbeddedGroup[] = "embedded";
char kServerGroup[] = "server";
char* kServerGroups[] = {kEmbeddedGroup, kServerGroup, nullptr};

bool IsServerArgumentName(const AnsiString& name) {
  constexpr std::size_t kPrefixLength = sizeof(kServerArgumentPrefix) - 1;
  return name.size() >= kPrefixLength && SameText(name.substr(0, kPrefixLength), kServerArgumentPrefix);
}

// "--datadir=<something>", the option name in any case.
bool IsDataDirArgument(const AnsiString& arg) {
  auto eq = arg.find('=');
  return eq != AnsiString::npos && eq + 1 < arg.size() && SameText(arg.substr(0, eq), "--datadir");
}

void BuildEmbeddedArguments(TStrings* options) {
  std::vector<AnsiString> args{ParamStr(0)};
  for (int i = 0; options && i < options->Count(); ++i)
    if (IsServerArgumentName(options->Names(i))) args.push_back(options->ValueFromIndex(i));
  bool hasDataDir = false;
  for (const AnsiString& arg : args) hasDataDir = hasDataDir || IsDataDirArgument(arg);
  if (!hasDataDir) args.emplace_back(kDefaultDataDirArgument);

  TEmbeddedArguments& target = EmbeddedArguments();
  target.args = std::move(args);
  target.argv.clear();
  for (AnsiString& arg : target.args) target.argv.push_back(arg.data());
}

}  // namespace

const char* MySQLOptionName(TZMySQLOption option) { return kOptionNames[static_cast<int>(option)]; }

std::vector<AnsiString> MySQLEmbeddedServerArguments() { return EmbeddedArguments().args; }

void* TZMySQLBasePlainDriver::Entry(TZMySQLEntry entry) const {
  auto index = static_cast<std::size_t>(entry);
  void* address = index < entries_.size() ? entries_[index] : nullptr;
  if (!address) throw EZSQLException(Format(SZClientLibraryHasNoFunction, {MySQLEntryName(entry)}));
  return address;
}

void TZMySQLBasePlainDriver::Initialize() {
  loader_.LoadIfNeeded();
  entries_ = loader_.Entries();
}

void TZMySQLBasePlainDriver::StartLibrary(int argc, char** argv, char** groups) {
  auto index = static_cast<std::size_t>(TZMySQLEntry::mysql_server_init);
  if (index < entries_.size() && entries_[index]) VX_MYSQL(mysql_server_init)(argc, argv, groups);
}

MYSQL* TZMySQLBasePlainDriver::Init(MYSQL*& handle) {
  StartLibrary(1, nullptr, nullptr);
  handle = VX_MYSQL(mysql_init)(nullptr);
  return handle;
}

MYSQL* TZMySQLBasePlainDriver::InitEmbedded(MYSQL*& handle) {
  TEmbeddedArguments& arguments = EmbeddedArguments();
  StartLibrary(static_cast<int>(arguments.argv.size()), arguments.argv.data(), kServerGroups);
  handle = VX_MYSQL(mysql_init)(nullptr);
  return handle;
}

void TZMySQLBasePlainDriver::BuildArguments(TStrings*) {}

MYSQL* TZMySQLD41PlainDriver::Init(MYSQL*& handle) { return InitEmbedded(handle); }
void TZMySQLD41PlainDriver::BuildArguments(TStrings* options) { BuildEmbeddedArguments(options); }
MYSQL* TZMySQLD5PlainDriver::Init(MYSQL*& handle) { return InitEmbedded(handle); }
void TZMySQLD5PlainDriver::BuildArguments(TStrings* options) { BuildEmbeddedArguments(options); }

// --- connection ---------------------------------------------------------------

int TZMySQLBasePlainDriver::GetClientVersion() { return CheckedInt(VX_MYSQL(mysql_get_client_version)()); }
int TZMySQLBasePlainDriver::GetServerVersion(MYSQL* handle) {
  return CheckedInt(VX_MYSQL(mysql_get_server_version)(handle));
}
void TZMySQLBasePlainDriver::ClearHandle(MYSQL*& handle) { handle = nullptr; }
std::int64_t TZMySQLBasePlainDriver::GetAffectedRows(MYSQL* handle) {
  return static_cast<std::int64_t>(VX_MYSQL(mysql_affected_rows)(handle));
}
void TZMySQLBasePlainDriver::Close(MYSQL* handle) { VX_MYSQL(mysql_close)(handle); }
MYSQL* TZMySQLBasePlainDriver::Connect(MYSQL* handle, const char* host, const char* user, const char* password) {
  return reinterpret_cast<TConnectFn>(Entry(TZMySQLEntry::mysql_connect))(handle, host, user, password);
}
int TZMySQLBasePlainDriver::CreateDatabase(MYSQL* handle, const char* database) {
  return reinterpret_cast<TDatabaseFn>(Entry(TZMySQLEntry::mysql_create_db))(handle, database);
}
void TZMySQLBasePlainDriver::Debug(const char* debug) { VX_MYSQL(mysql_debug)(debug); }
int TZMySQLBasePlainDriver::DropDatabase(MYSQL* handle, const char* database) {
  return reinterpret_cast<TDatabaseFn>(Entry(TZMySQLEntry::mysql_drop_db))(handle, database);
}
int TZMySQLBasePlainDriver::DumpDebugInfo(MYSQL* handle) { return VX_MYSQL(mysql_dump_debug_info)(handle); }
int TZMySQLBasePlainDriver::GetLastErrorCode(MYSQL* handle) { return CheckedInt(VX_MYSQL(mysql_errno)(handle)); }
const char* TZMySQLBasePlainDriver::GetLastError(MYSQL* handle) { return VX_MYSQL(mysql_error)(handle); }
unsigned long TZMySQLBasePlainDriver::EscapeString(char* to, const char* from, unsigned long length) {
  return VX_MYSQL(mysql_escape_string)(to, from, length);
}
const char* TZMySQLBasePlainDriver::GetClientInfo() { return VX_MYSQL(mysql_get_client_info)(); }
const char* TZMySQLBasePlainDriver::GetHostInfo(MYSQL* handle) { return VX_MYSQL(mysql_get_host_info)(handle); }
int TZMySQLBasePlainDriver::GetProtoInfo(MYSQL* handle) { return CheckedInt(VX_MYSQL(mysql_get_proto_info)(handle)); }
const char* TZMySQLBasePlainDriver::GetServerInfo(MYSQL* handle) { return VX_MYSQL(mysql_get_server_info)(handle); }
std::int64_t TZMySQLBasePlainDriver::GetLastInsertID(MYSQL* handle) {
  return static_cast<std::int64_t>(VX_MYSQL(mysql_insert_id)(handle));
}
int TZMySQLBasePlainDriver::Kill(MYSQL* handle, unsigned long pid) { return VX_MYSQL(mysql_kill)(handle, pid); }
MYSQL_RES* TZMySQLBasePlainDriver::ListDatabases(MYSQL* handle, const char* wild) {
  return VX_MYSQL(mysql_list_dbs)(handle, wild);
}
MYSQL_RES* TZMySQLBasePlainDriver::ListFields(MYSQL* handle, const char* table, const char* wild) {
  return VX_MYSQL(mysql_list_fields)(handle, table, wild);
}
MYSQL_RES* TZMySQLBasePlainDriver::ListProcesses(MYSQL* handle) { return VX_MYSQL(mysql_list_processes)(handle); }
MYSQL_RES* TZMySQLBasePlainDriver::ListTables(MYSQL* handle, const char* wild) {
  return VX_MYSQL(mysql_list_tables)(handle, wild);
}
int TZMySQLBasePlainDriver::SetOptions(MYSQL* handle, TZMySQLOption option, const void* arg) {
  return VX_MYSQL(mysql_options)(handle, static_cast<mysql_option>(option), arg);
}
int TZMySQLBasePlainDriver::Ping(MYSQL* handle) { return VX_MYSQL(mysql_ping)(handle); }
int TZMySQLBasePlainDriver::ExecQuery(MYSQL* handle, const char* query) { return VX_MYSQL(mysql_query)(handle, query); }
MYSQL* TZMySQLBasePlainDriver::RealConnect(MYSQL* handle, const char* host, const char* user, const char* password,
                                           const char* db, unsigned int port, const char* unixSocket,
                                           unsigned int clientFlag) {
  return VX_MYSQL(mysql_real_connect)(handle, host, user, password, db, port, unixSocket, clientFlag);
}
unsigned long TZMySQLBasePlainDriver::RealEscapeString(MYSQL* handle, char* to, const char* from,
                                                       unsigned long length) {
  return VX_MYSQL(mysql_real_escape_string)(handle, to, from, length);
}
int TZMySQLBasePlainDriver::ExecRealQuery(MYSQL* handle, const char* query, unsigned long length) {
  return VX_MYSQL(mysql_real_query)(handle, query, length);
}
int TZMySQLBasePlainDriver::Refresh(MYSQL* handle, unsigned int options) {
  return VX_MYSQL(mysql_refresh)(handle, options);
}
int TZMySQLBasePlainDriver::SelectDatabase(MYSQL* handle, const char* database) {
  return VX_MYSQL(mysql_select_db)(handle, database);
}
int TZMySQLBasePlainDriver::SslSet(MYSQL* handle, const char* key, const char* cert, const char* ca,
                                   const char* caPath, const char* cipher) {
  return VX_MYSQL(mysql_ssl_set)(handle, key, cert, ca, caPath, cipher) & 0xFF;
}
const char* TZMySQLBasePlainDriver::GetStatInfo(MYSQL* handle) { return VX_MYSQL(mysql_stat)(handle); }
MYSQL_RES* TZMySQLBasePlainDriver::StoreResult(MYSQL* handle) { return VX_MYSQL(mysql_store_result)(handle); }
unsigned long TZMySQLBasePlainDriver::GetThreadId(MYSQL* handle) { return VX_MYSQL(mysql_thread_id)(handle); }
MYSQL_RES* TZMySQLBasePlainDriver::UseResult(MYSQL* handle) { return VX_MYSQL(mysql_use_result)(handle); }
int TZMySQLBasePlainDriver::Shutdown(MYSQL* handle, std::uint8_t level) {
  return VX_MYSQL(mysql_shutdown)(handle, static_cast<mysql_enum_shutdown_level>(level));
}
bool TZMySQLBasePlainDriver::SetAutocommit(MYSQL* handle, bool mode) {
  return VX_MYSQL(mysql_autocommit)(handle, mode ? 1 : 0) == 0;
}
bool TZMySQLBasePlainDriver::Commit(MYSQL* handle) { return VX_MYSQL(mysql_commit)(handle) == 0; }
bool TZMySQLBasePlainDriver::MoreResults(MYSQL* handle) { return VX_MYSQL(mysql_more_results)(handle) != 0; }
int TZMySQLBasePlainDriver::NextResult(MYSQL* handle) { return VX_MYSQL(mysql_next_result)(handle); }
bool TZMySQLBasePlainDriver::Rollback(MYSQL* handle) { return VX_MYSQL(mysql_rollback)(handle) == 0; }
AnsiString TZMySQLBasePlainDriver::GetSQLState(MYSQL* handle) { return CopyText(VX_MYSQL(mysql_sqlstate)(handle)); }
bool TZMySQLBasePlainDriver::SupportsNextResult() {
  auto index = static_cast<std::size_t>(TZMySQLEntry::mysql_next_result);
  return index < entries_.size() && entries_[index];
}
bool TZMySQLBasePlainDriver::ResultSetExists(MYSQL* handle) { return VX_MYSQL(mysql_field_count)(handle) != 0; }

// --- results, fields and rows -------------------------------------------------

void TZMySQLBasePlainDriver::SeekData(MYSQL_RES* res, std::uint32_t offset) {
  VX_MYSQL(mysql_data_seek)(res, offset);
}
MYSQL_FIELD* TZMySQLBasePlainDriver::FetchField(MYSQL_RES* res) { return VX_MYSQL(mysql_fetch_field)(res); }
unsigned long* TZMySQLBasePlainDriver::FetchLengths(MYSQL_RES* res) { return VX_MYSQL(mysql_fetch_lengths)(res); }
MYSQL_ROW TZMySQLBasePlainDriver::FetchRow(MYSQL_RES* res) { return VX_MYSQL(mysql_fetch_row)(res); }
MYSQL_FIELD_OFFSET TZMySQLBasePlainDriver::SeekField(MYSQL_RES* res, MYSQL_FIELD_OFFSET offset) {
  return VX_MYSQL(mysql_field_seek)(res, offset);
}
void TZMySQLBasePlainDriver::FreeResult(MYSQL_RES* res) { VX_MYSQL(mysql_free_result)(res); }
std::int64_t TZMySQLBasePlainDriver::GetNumRows(MYSQL_RES* res) { return res ? GetRowCount(res) : 0; }
MYSQL_ROW_OFFSET TZMySQLBasePlainDriver::SeekRow(MYSQL_RES* res, MYSQL_ROW_OFFSET row) {
  return VX_MYSQL(mysql_row_seek)(res, row);
}
std::int64_t TZMySQLBasePlainDriver::GetRowCount(MYSQL_RES* res) {
  return static_cast<std::int64_t>(VX_MYSQL(mysql_num_rows)(res));
}
int TZMySQLBasePlainDriver::GetFieldCount(MYSQL_RES* res) { return CheckedInt(VX_MYSQL(mysql_num_fields)(res)); }
int TZMySQLBasePlainDriver::GetFieldType(MYSQL_FIELD* field) { return static_cast<int>(field->type) & 0xFF; }
int TZMySQLBasePlainDriver::GetFieldFlags(MYSQL_FIELD* field) { return CheckedInt(field->flags); }
const char* TZMySQLBasePlainDriver::GetFieldName(MYSQL_FIELD* field) { return field->name; }
const char* TZMySQLBasePlainDriver::GetFieldTable(MYSQL_FIELD* field) { return field->table; }
int TZMySQLBasePlainDriver::GetFieldLength(MYSQL_FIELD* field) { return SaturatedInt(field->length); }
int TZMySQLBasePlainDriver::GetFieldMaxLength(MYSQL_FIELD* field) { return SaturatedInt(field->max_length); }
int TZMySQLBasePlainDriver::GetFieldDecimals(MYSQL_FIELD* field) { return CheckedInt(field->decimals); }
int TZMySQLBasePlainDriver::GetFieldCharsetNr(MYSQL_FIELD* field) { return CheckedInt(field->charsetnr); }
const char* TZMySQLBasePlainDriver::GetFieldData(MYSQL_ROW row, int index) {
  if (index < 0 || index >= kMaxRowColumns) throw ERangeError(kRangeCheckError);
  return row[index];
}

// --- prepared statements ------------------------------------------------------

std::int64_t TZMySQLBasePlainDriver::StmtAffectedRows(MYSQL_STMT* stmt) {
  return static_cast<std::int64_t>(VX_MYSQL(mysql_stmt_affected_rows)(stmt));
}
bool TZMySQLBasePlainDriver::StmtBindParam(MYSQL_STMT* stmt, MYSQL_BIND* bind) {
  return VX_MYSQL(mysql_stmt_bind_param)(stmt, bind) != 0;
}
bool TZMySQLBasePlainDriver::StmtBindResult(MYSQL_STMT* stmt, MYSQL_BIND* bind) {
  return VX_MYSQL(mysql_stmt_bind_result)(stmt, bind) != 0;
}
MYSQL_STMT* TZMySQLBasePlainDriver::StmtClose(MYSQL_STMT* stmt) {
  return VX_MYSQL(mysql_stmt_close)(stmt) == 0 ? nullptr : stmt;
}
void TZMySQLBasePlainDriver::StmtDataSeek(MYSQL_STMT* stmt, std::uint32_t offset) {
  VX_MYSQL(mysql_stmt_data_seek)(stmt, offset);
}
int TZMySQLBasePlainDriver::StmtErrno(MYSQL_STMT* stmt) { return CheckedInt(VX_MYSQL(mysql_stmt_errno)(stmt)); }
AnsiString TZMySQLBasePlainDriver::StmtError(MYSQL_STMT* stmt) { return CopyText(VX_MYSQL(mysql_stmt_error)(stmt)); }
int TZMySQLBasePlainDriver::StmtExecute(MYSQL_STMT* stmt) { return VX_MYSQL(mysql_stmt_execute)(stmt); }
int TZMySQLBasePlainDriver::StmtFetch(MYSQL_STMT* stmt) { return VX_MYSQL(mysql_stmt_fetch)(stmt); }
int TZMySQLBasePlainDriver::StmtFieldCount(MYSQL_STMT* stmt) {
  return CheckedInt(VX_MYSQL(mysql_stmt_field_count)(stmt));
}
MYSQL_STMT* TZMySQLBasePlainDriver::StmtInit(MYSQL* handle) { return VX_MYSQL(mysql_stmt_init)(handle); }
std::int64_t TZMySQLBasePlainDriver::StmtInsertId(MYSQL_STMT* stmt) {
  return static_cast<std::int64_t>(VX_MYSQL(mysql_stmt_insert_id)(stmt));
}
std::int64_t TZMySQLBasePlainDriver::StmtNumRows(MYSQL_STMT* stmt) {
  return stmt ? static_cast<std::int64_t>(VX_MYSQL(mysql_stmt_num_rows)(stmt)) : 0;
}
int TZMySQLBasePlainDriver::StmtParamCount(MYSQL_STMT* stmt) {
  return CheckedInt(VX_MYSQL(mysql_stmt_param_count)(stmt));
}
int TZMySQLBasePlainDriver::StmtPrepare(MYSQL_STMT* stmt, const char* query, unsigned long length) {
  return VX_MYSQL(mysql_stmt_prepare)(stmt, query, length);
}
MYSQL_RES* TZMySQLBasePlainDriver::StmtResultMetadata(MYSQL_STMT* stmt) {
  return VX_MYSQL(mysql_stmt_result_metadata)(stmt);
}
MYSQL_ROW_OFFSET TZMySQLBasePlainDriver::StmtRowSeek(MYSQL_STMT* stmt, MYSQL_ROW_OFFSET row) {
  return VX_MYSQL(mysql_stmt_row_seek)(stmt, row);
}
const char* TZMySQLBasePlainDriver::StmtSQLState(MYSQL_STMT* stmt) { return VX_MYSQL(mysql_stmt_sqlstate)(stmt); }
int TZMySQLBasePlainDriver::StmtStoreResult(MYSQL_STMT* stmt) { return VX_MYSQL(mysql_stmt_store_result)(stmt); }
