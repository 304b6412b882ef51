// The run-time binding of DB-Library: the entry points looked up by name in
// one process-wide table, the loader that finds the library, starts it and
// installs the driver's error and message handlers, and the two lists those
// handlers fill. Both server flavours share the one FreeTDS library, so they
// share one loader and one pair of lists: a second handler installation
// would take the first one's callbacks away.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"
#include "sql/drivers/dblib/dblib_api.h"

// Every entry point of either flavour's library, in the order the loader
// looks them up. A name the loaded library lacks leaves its slot empty.
#define VX_DBLIB_ENTRY_POINTS(X)                                                                                   \
  X(db12hour) X(dberrhandle) X(dbmsghandle) X(dbprocerrhandle) X(dbprocmsghandle) X(abort_xact)                    \
  X(build_xact_string) X(close_commit) X(commit_xact) X(open_commit) X(remove_xact) X(scan_xact) X(start_xact)     \
  X(stat_xact) X(bcp_batch) X(bcp_bind) X(bcp_colfmt) X(bcp_collen) X(bcp_colptr) X(bcp_columns) X(bcp_control)    \
  X(bcp_done) X(bcp_exec) X(bcp_init) X(bcp_moretext) X(bcp_readfmt) X(bcp_sendrow) X(bcp_setl) X(bcp_writefmt)    \
  X(dbadata) X(dbadlen) X(dbaltbind) X(dbaltcolid) X(dbaltlen) X(dbaltop) X(dbalttype) X(dbaltutype)               \
  X(dbanullbind) X(dbbind) X(dbbylist) X(dbcancel) X(dbcanquery) X(dbchange) X(dbclose) X(dbclrbuf) X(dbclropt)    \
  X(dbcmd) X(dbcmdrow) X(dbcolbrowse) X(dbcolinfo) X(dbcollen) X(dbcolname) X(dbcolsource) X(dbcoltype)            \
  X(dbcolutype) X(dbconvert) X(dbcount) X(dbcurcmd) X(dbcurrow) X(dbcursor) X(dbcursorbind) X(dbcursorclose)       \
  X(dbcursorcolinfo) X(dbcursorfetch) X(dbcursorfetchex) X(dbcursorinfo) X(dbcursorinfoex) X(dbcursoropen)         \
  X(dbdata) X(dbdataready) X(dbdatecrack) X(dbdatlen) X(dbdead) X(dbexit) X(dbwinexit) X(dbenlisttrans)            \
  X(dbenlistxatrans) X(dbfcmd) X(dbfirstrow) X(dbfreebuf) X(dbfreelogin) X(dbloginfree) X(dbfreequal) X(dbgetchar) \
  X(dbgetmaxprocs) X(dbgetoff) X(dbgetpacket) X(dbgetrow) X(dbgettime) X(dbgetuserdata) X(dbhasretstat) X(dbinit)  \
  X(dbisavail) X(dbiscount) X(dbisopt) X(dblastrow) X(dblogin) X(dbmorecmds) X(dbmoretext) X(dbname) X(dbnextrow)  \
  X(dbnullbind) X(dbnumalts) X(dbnumcols) X(dbnumcompute) X(dbnumorders) X(dbnumrets) X(dbopen) X(dbordercol)      \
  X(dbprocinfo) X(dbprhead) X(dbprrow) X(dbprtype) X(dbqual) X(dbreadtext) X(dbresults) X(dbretdata) X(dbretlen)   \
  X(dbretname) X(dbretstatus) X(dbrettype) X(dbrows) X(dbrowtype) X(dbrpcinit) X(dbrpcparam) X(dbrpcsend)          \
  X(dbrpcexec) X(dbrpwclr) X(dbserverenum) X(dbsetavail) X(dbsetmaxprocs) X(dbsetlname) X(dbsetlbool)              \
  X(dbsetlogintime) X(dbsetlpacket) X(dbsetnull) X(dbsetopt) X(dbsettime) X(dbsetuserdata) X(dbsqlexec) X(dbsqlok) \
  X(dbsqlsend) X(dbstrcpy) X(dbstrlen) X(dbtabbrowse) X(dbtabcount) X(dbtabname) X(dbtabsource) X(dbtsnewlen)      \
  X(dbtsnewval) X(dbtsput) X(dbtxptr) X(dbtxtimestamp) X(dbtxtsnewval) X(dbtxtsput) X(dbuse) X(dbvarylen)          \
  X(dbwillconvert) X(dbwritetext) X(dbupdatetext)

enum class TZDBLibEntry : int {
  VX_DBLIB_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kDBLibEntryCount = 160;

// The exported name of an entry point.

// One error the library reported; the texts are copies (empty for null).
struct TDBLibError {
  DBLibProcess* dbProc;
  int Severity;
  int DbErr;
  int OsErr;
  AnsiString DbErrStr;
  AnsiString OsErrStr;
};

// One message a server sent.
struct TDBLibMessage {
  DBLibProcess* dbProc;
  DBINT MsgNo;
  int MsgState;
  int Severity;
  AnsiString MsgText;
  AnsiString SrvName;
  AnsiString ProcName;
  int Line;
};

// The process-wide lists, filled by the handlers and emptied by
// CheckDBLibErrors; nothing ties a record to the connection it names.
std::vector<TDBLibError>& DBLibErrors();
std::vector<TDBLibMessage>& DBLibMessages();

// The handlers the loader installs: each appends one record. The error
// handler asks the library to cancel the failing operation.
int DBLibErrorHandler(DBLibProcess* proc, int severity, int dbErr, int osErr, char* dbErrStr, char* osErrStr);
int DBLibMessageHandler(DBLibProcess* proc, DBINT msgNo, int msgState, int severity, char* msgText, char* srvName,
                        char* procName, int line);

// Empties both lists. When they held an error, or a message of a severity
// above 1, raises the platform's Exception with one text: each error as
// "<DbErrStr> <OsErrStr> \r", then each such message as "<MsgText> \r".
// Messages of severity 0 or 1 are informational and dropped.
void CheckDBLibErrors();

// Loads the library and fills the table; then starts the library and puts
// the driver's handlers in place of those installed before.
class TZDBLibNativeLibraryLoader : public TZEntryTableLoader {
public:
  explicit TZDBLibNativeLibraryLoader(std::vector<AnsiString> libraryNames);
  ~TZDBLibNativeLibraryLoader() override;

  bool Load() override;
  // Gives the earlier handlers back and ends the library before freeing it.
  void FreeNativeLibrary() override;

  // Null when the library lacks the entry point.
  void* Entry(TZDBLibEntry entry) const { return EntryAt(static_cast<int>(entry)); }
  // The entry point; EZSQLException "Unsupported operation" when it is missing.
  void* RequiredEntry(TZDBLibEntry entry) const { return TZEntryTableLoader::RequiredEntry(static_cast<int>(entry)); }

private:
  DBErrorHandler previousErrorHandler_ = nullptr;
  DBMessageHandler previousMessageHandler_ = nullptr;
};

// The typed entry point of a call that dblib_api.h declares; "Unsupported
// operation" when the loaded library lacks it.
#define VX_DBLIB_ENTRY(loader, name) \
  reinterpret_cast<decltype(&dblib_api::name)>((loader).RequiredEntry(TZDBLibEntry::name))

// The program's one loader, made on first use with "libsybdb.so.5" and
// "libsybdb.so" and freed at its end. Tests may change its file names
// before the first connect.
TZDBLibNativeLibraryLoader& DBLibLibraryLoader();
