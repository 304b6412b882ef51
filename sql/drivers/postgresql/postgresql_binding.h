// The run-time binding of the PostgreSQL client library (libpq): the entry
// points looked up by name and the two loaders, one per client generation.
// Nothing of libpq is linked, so a machine without it runs the rest of the
// system and gets a clear error only when it connects.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// Every entry point either generation binds, in table order: the four bytea
// and memory calls first, then the generations' common list, with the one
// that only the 8.x binding has (PQresultErrorField) after PQresultErrorMessage.
#define VX_PQ_ENTRY_POINTS(X)                                                                                 \
  X(PQfreemem) X(PQescapeByteaConn) X(PQescapeBytea) X(PQunescapeBytea) X(PQconnectdb) X(PQsetdbLogin)         \
  X(PQconndefaults) X(PQfinish) X(PQreset) X(PQrequestCancel) X(PQdb) X(PQuser) X(PQpass) X(PQhost) X(PQport)  \
  X(PQtty) X(PQoptions) X(PQstatus) X(PQerrorMessage) X(PQsocket) X(PQbackendPID) X(PQtrace) X(PQuntrace)      \
  X(PQsetNoticeProcessor) X(PQexec) X(PQnotifies) X(PQfreeNotify) X(PQsendQuery) X(PQgetResult) X(PQisBusy)    \
  X(PQconsumeInput) X(PQgetline) X(PQputline) X(PQgetlineAsync) X(PQputnbytes) X(PQendcopy) X(PQfn)            \
  X(PQresultStatus) X(PQresultErrorMessage) X(PQresultErrorField) X(PQntuples) X(PQnfields) X(PQbinaryTuples) \
  X(PQfname) X(PQfnumber) X(PQftype) X(PQfsize) X(PQfmod) X(PQcmdStatus) X(PQoidValue) X(PQoidStatus)          \
  X(PQcmdTuples) X(PQgetvalue) X(PQgetlength) X(PQgetisnull) X(PQclear) X(PQmakeEmptyPGresult) X(lo_open)      \
  X(lo_close) X(lo_read) X(lo_write) X(lo_lseek) X(lo_creat) X(lo_tell) X(lo_unlink) X(lo_import) X(lo_export)

// The index of each entry point in a loader's table.
enum class TZPgEntry : int {
  VX_PQ_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kPgEntryCount = 67;

// The exported name of an entry point.
const char* PgEntryName(TZPgEntry entry);

using TZPgEntryTable = std::vector<void*>;

// A loader of one client generation. Its table holds one address per entry
// point, null for those the library does not export and, in the 7.x loader,
// for PQresultErrorField, which that generation never looks up.
class TZPostgreSQLNativeLibraryLoader : public TZEntryTableLoader {
public:
  TZPostgreSQLNativeLibraryLoader(std::vector<AnsiString> libraryNames, bool errorFields);

protected:
  bool Binds(int index) const override;

private:
  bool errorFields_;
};

// The program's two loaders, made on first use and freed at its end; both
// try "libpq.so.5", then "libpq.so".
TZPostgreSQLNativeLibraryLoader& PostgreSQL7Loader();
TZPostgreSQLNativeLibraryLoader& PostgreSQL8Loader();
