// The plain drivers: each operation fetches its entry point from the copied
// table, with the function type taken from libpq's header, and calls it. The
// bytea escaping is the one piece of work of their own.

#include "sql/drivers/postgresql/postgresql_plain_driver.h"

#include <cstddef>
#include <libpq-fe.h>
// The header makes this a macro for PQfreemem; the library still exports it.
#undef PQfreeNotify

#include "platform/rtl/format.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

// The typed entry point of a function libpq's header declares.
#define VX_PQ(name) reinterpret_cast<decltype(&::name)>(Entry(TZPgEntry::name))

static_assert(CONNECTION_OK == static_cast<int>(TZPgConnStatus::CONNECTION_OK) &&
              CONNECTION_BAD == static_cast<int>(TZPgConnStatus::CONNECTION_BAD));
static_assert(PGRES_EMPTY_QUERY == static_cast<int>(TZPgExecStatus::PGRES_EMPTY_QUERY) &&
              PGRES_FATAL_ERROR == static_cast<int>(TZPgExecStatus::PGRES_FATAL_ERROR));
static_assert(sizeof(ConnStatusType) == sizeof(TZPgConnStatus) && sizeof(ExecStatusType) == sizeof(TZPgExecStatus));
static_assert(sizeof(PQArgBlock) == sizeof(TZPgArgBlock) && offsetof(PQArgBlock, u) == offsetof(TZPgArgBlock, u));
static_assert(PG_DIAG_SQLSTATE == kPgDiagSqlState);

namespace {

// Declared by today's header only as a macro.
using TFreeNotifyFn = void (*)(PGnotify*);

// Copies a buffer the library allocated and releases it with PQfreemem.
AnsiString TakeLibraryBuffer(decltype(&::PQfreemem) freeMemory, unsigned char* buffer, std::size_t length) {
  AnsiString copy(reinterpret_cast<const char*>(buffer), length);
  freeMemory(buffer);
  return copy;
}

}  // namespace

void* TZPostgreSQLBasePlainDriver::Entry(TZPgEntry entry) const {
  if (!HasEntry(entry)) throw EZSQLException(SZUnsupportedOperation);
  return entries_[static_cast<std::size_t>(entry)];
}

bool TZPostgreSQLBasePlainDriver::HasEntry(TZPgEntry entry) const {
  auto index = static_cast<std::size_t>(entry);
  return index < entries_.size() && entries_[index];
}

void TZPostgreSQLBasePlainDriver::Initialize() {
  loader_.LoadIfNeeded();
  entries_ = loader_.Entries();
}

AnsiString TZPostgreSQLBasePlainDriver::EscapeBytea(const AnsiString& value, PGconn* handle) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
  std::size_t length = 0;
  // Without a connection the library cannot know the server's string
  // settings, so the older call serves only libraries that lack the newer
  // and callers that have no connection.
  unsigned char* escaped = handle && HasEntry(TZPgEntry::PQescapeByteaConn)
                               ? VX_PQ(PQescapeByteaConn)(handle, bytes, value.size(), &length)
                               : VX_PQ(PQescapeBytea)(bytes, value.size(), &length);
  if (!escaped) throw EZSQLException(Format(SZSQLError1, {handle ? PQerrorMessage(handle) : SZUnknownError}));
  // The length counts the terminating zero.
  return '\'' + TakeLibraryBuffer(VX_PQ(PQfreemem), escaped, length ? length - 1 : 0) + '\'';
}

AnsiString TZPostgreSQLBasePlainDriver::UnescapeBytea(const AnsiString& value) {
  std::size_t length = 0;
  unsigned char* bytes = VX_PQ(PQunescapeBytea)(reinterpret_cast<const unsigned char*>(value.c_str()), &length);
  if (!bytes) throw EZSQLException(SZConvertionError);
  return TakeLibraryBuffer(VX_PQ(PQfreemem), bytes, length);
}

const char* TZPostgreSQL7PlainDriver::PQresultErrorField(const PGresult*, int) { return ""; }

// --- forwarding ----------------------------------------------------------------

PGconn* TZPostgreSQLBasePlainDriver::PQconnectdb(const char* connInfo) { return VX_PQ(PQconnectdb)(connInfo); }
PGconn* TZPostgreSQLBasePlainDriver::PQsetdbLogin(const char* host, const char* port, const char* options,
                                                  const char* tty, const char* dbName, const char* login,
                                                  const char* password) {
  return VX_PQ(PQsetdbLogin)(host, port, options, tty, dbName, login, password);
}
PQconninfoOption* TZPostgreSQLBasePlainDriver::PQconndefaults() { return VX_PQ(PQconndefaults)(); }
void TZPostgreSQLBasePlainDriver::PQfinish(PGconn* handle) { VX_PQ(PQfinish)(handle); }
void TZPostgreSQLBasePlainDriver::PQreset(PGconn* handle) { VX_PQ(PQreset)(handle); }
int TZPostgreSQLBasePlainDriver::PQrequestCancel(PGconn* handle) { return VX_PQ(PQrequestCancel)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQdb(PGconn* handle) { return VX_PQ(PQdb)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQuser(PGconn* handle) { return VX_PQ(PQuser)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQpass(PGconn* handle) { return VX_PQ(PQpass)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQhost(PGconn* handle) { return VX_PQ(PQhost)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQport(PGconn* handle) { return VX_PQ(PQport)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQtty(PGconn* handle) { return VX_PQ(PQtty)(handle); }
const char* TZPostgreSQLBasePlainDriver::PQoptions(PGconn* handle) { return VX_PQ(PQoptions)(handle); }
TZPgConnStatus TZPostgreSQLBasePlainDriver::PQstatus(PGconn* handle) {
  return static_cast<TZPgConnStatus>(VX_PQ(PQstatus)(handle));
}
const char* TZPostgreSQLBasePlainDriver::PQerrorMessage(PGconn* handle) { return VX_PQ(PQerrorMessage)(handle); }
int TZPostgreSQLBasePlainDriver::PQsocket(PGconn* handle) { return VX_PQ(PQsocket)(handle); }
int TZPostgreSQLBasePlainDriver::PQbackendPID(PGconn* handle) { return VX_PQ(PQbackendPID)(handle); }
void TZPostgreSQLBasePlainDriver::PQtrace(PGconn* handle, FILE* stream) { VX_PQ(PQtrace)(handle, stream); }
void TZPostgreSQLBasePlainDriver::PQuntrace(PGconn* handle) { VX_PQ(PQuntrace)(handle); }
PQnoticeProcessor TZPostgreSQLBasePlainDriver::PQsetNoticeProcessor(PGconn* handle, PQnoticeProcessor processor,
                                                                    void* arg) {
  return VX_PQ(PQsetNoticeProcessor)(handle, processor, arg);
}
PGresult* TZPostgreSQLBasePlainDriver::PQexec(PGconn* handle, const char* query) {
  return VX_PQ(PQexec)(handle, query);
}
PGnotify* TZPostgreSQLBasePlainDriver::PQnotifies(PGconn* handle) { return VX_PQ(PQnotifies)(handle); }
void TZPostgreSQLBasePlainDriver::PQfreeNotify(PGnotify* notify) {
  reinterpret_cast<TFreeNotifyFn>(Entry(TZPgEntry::PQfreeNotify))(notify);
}
int TZPostgreSQLBasePlainDriver::PQsendQuery(PGconn* handle, const char* query) {
  return VX_PQ(PQsendQuery)(handle, query);
}
PGresult* TZPostgreSQLBasePlainDriver::PQgetResult(PGconn* handle) { return VX_PQ(PQgetResult)(handle); }
int TZPostgreSQLBasePlainDriver::PQisBusy(PGconn* handle) { return VX_PQ(PQisBusy)(handle); }
int TZPostgreSQLBasePlainDriver::PQconsumeInput(PGconn* handle) { return VX_PQ(PQconsumeInput)(handle); }
int TZPostgreSQLBasePlainDriver::PQgetline(PGconn* handle, char* buffer, int length) {
  return VX_PQ(PQgetline)(handle, buffer, length);
}
int TZPostgreSQLBasePlainDriver::PQputline(PGconn* handle, const char* text) { return VX_PQ(PQputline)(handle, text); }
int TZPostgreSQLBasePlainDriver::PQgetlineAsync(PGconn* handle, char* buffer, int length) {
  return VX_PQ(PQgetlineAsync)(handle, buffer, length);
}
int TZPostgreSQLBasePlainDriver::PQputnbytes(PGconn* handle, const char* buffer, int count) {
  return VX_PQ(PQputnbytes)(handle, buffer, count);
}
int TZPostgreSQLBasePlainDriver::PQendcopy(PGconn* handle) { return VX_PQ(PQendcopy)(handle); }
PGresult* TZPostgreSQLBasePlainDriver::PQfn(PGconn* handle, int functionId, int* resultBuffer, int* resultLength,
                                            int resultIsInt, const TZPgArgBlock* args, int argCount) {
  return VX_PQ(PQfn)(handle, functionId, resultBuffer, resultLength, resultIsInt,
                     reinterpret_cast<const PQArgBlock*>(args), argCount);
}
TZPgExecStatus TZPostgreSQLBasePlainDriver::PQresultStatus(const PGresult* result) {
  return static_cast<TZPgExecStatus>(VX_PQ(PQresultStatus)(result));
}
const char* TZPostgreSQLBasePlainDriver::PQresultErrorMessage(const PGresult* result) {
  return VX_PQ(PQresultErrorMessage)(result);
}
const char* TZPostgreSQLBasePlainDriver::PQresultErrorField(const PGresult* result, int fieldCode) {
  return VX_PQ(PQresultErrorField)(result, fieldCode);
}
int TZPostgreSQLBasePlainDriver::PQntuples(const PGresult* result) { return VX_PQ(PQntuples)(result); }
int TZPostgreSQLBasePlainDriver::PQnfields(const PGresult* result) { return VX_PQ(PQnfields)(result); }
int TZPostgreSQLBasePlainDriver::PQbinaryTuples(const PGresult* result) { return VX_PQ(PQbinaryTuples)(result); }
const char* TZPostgreSQLBasePlainDriver::PQfname(const PGresult* result, int column) {
  return VX_PQ(PQfname)(result, column);
}
int TZPostgreSQLBasePlainDriver::PQfnumber(const PGresult* result, const char* name) {
  return VX_PQ(PQfnumber)(result, name);
}
Oid TZPostgreSQLBasePlainDriver::PQftype(const PGresult* result, int column) { return VX_PQ(PQftype)(result, column); }
int TZPostgreSQLBasePlainDriver::PQfsize(const PGresult* result, int column) { return VX_PQ(PQfsize)(result, column); }
int TZPostgreSQLBasePlainDriver::PQfmod(const PGresult* result, int column) { return VX_PQ(PQfmod)(result, column); }
const char* TZPostgreSQLBasePlainDriver::PQcmdStatus(PGresult* result) { return VX_PQ(PQcmdStatus)(result); }
Oid TZPostgreSQLBasePlainDriver::PQoidValue(const PGresult* result) { return VX_PQ(PQoidValue)(result); }
const char* TZPostgreSQLBasePlainDriver::PQoidStatus(const PGresult* result) { return VX_PQ(PQoidStatus)(result); }
const char* TZPostgreSQLBasePlainDriver::PQcmdTuples(PGresult* result) { return VX_PQ(PQcmdTuples)(result); }
const char* TZPostgreSQLBasePlainDriver::PQgetvalue(const PGresult* result, int row, int column) {
  return VX_PQ(PQgetvalue)(result, row, column);
}
int TZPostgreSQLBasePlainDriver::PQgetlength(const PGresult* result, int row, int column) {
  return VX_PQ(PQgetlength)(result, row, column);
}
int TZPostgreSQLBasePlainDriver::PQgetisnull(const PGresult* result, int row, int column) {
  return VX_PQ(PQgetisnull)(result, row, column);
}
void TZPostgreSQLBasePlainDriver::PQclear(PGresult* result) { VX_PQ(PQclear)(result); }
PGresult* TZPostgreSQLBasePlainDriver::PQmakeEmptyPGresult(PGconn* handle, TZPgExecStatus status) {
  return VX_PQ(PQmakeEmptyPGresult)(handle, static_cast<ExecStatusType>(status));
}
int TZPostgreSQLBasePlainDriver::lo_open(PGconn* handle, Oid oid, int mode) {
  return VX_PQ(lo_open)(handle, oid, mode);
}
int TZPostgreSQLBasePlainDriver::lo_close(PGconn* handle, int fd) { return VX_PQ(lo_close)(handle, fd); }
int TZPostgreSQLBasePlainDriver::lo_read(PGconn* handle, int fd, char* buffer, std::size_t length) {
  return VX_PQ(lo_read)(handle, fd, buffer, length);
}
int TZPostgreSQLBasePlainDriver::lo_write(PGconn* handle, int fd, const char* buffer, std::size_t length) {
  return VX_PQ(lo_write)(handle, fd, buffer, length);
}
int TZPostgreSQLBasePlainDriver::lo_lseek(PGconn* handle, int fd, int offset, int whence) {
  return VX_PQ(lo_lseek)(handle, fd, offset, whence);
}
Oid TZPostgreSQLBasePlainDriver::lo_creat(PGconn* handle, int mode) { return VX_PQ(lo_creat)(handle, mode); }
int TZPostgreSQLBasePlainDriver::lo_tell(PGconn* handle, int fd) { return VX_PQ(lo_tell)(handle, fd); }
int TZPostgreSQLBasePlainDriver::lo_unlink(PGconn* handle, Oid oid) { return VX_PQ(lo_unlink)(handle, oid); }
Oid TZPostgreSQLBasePlainDriver::lo_import(PGconn* handle, const char* fileName) {
  return VX_PQ(lo_import)(handle, fileName);
}
int TZPostgreSQLBasePlainDriver::lo_export(PGconn* handle, Oid oid, const char* fileName) {
  return VX_PQ(lo_export)(handle, oid, fileName);
}
