// The DB-Library call interface as the driver sees it: opaque login and
// process records, the scalar types of its calls and the codes the driver
// passes. Our own declarations, matching the FreeTDS library's prototypes, so
// the driver builds without the library's headers and binds it at run time.
#pragma once

#include <cstdint>

struct DBLibLogin;    // a login record (LOGINREC)
struct DBLibProcess;  // one connection to a server (DBPROCESS)

using DBINT = std::int32_t;
using RETCODE = int;
using STATUS = int;
using DBBOOL = unsigned char;
using BYTE = unsigned char;
using DBSMALLINT = std::int16_t;

// Status codes.
inline constexpr RETCODE kDBSucceed = 1;
inline constexpr RETCODE kDBFail = 0;
// The error handler's answer that cancels the failing operation.
inline constexpr int kDBIntCancel = 2;

// Login record items (dbsetlname / dbsetlbool), FreeTDS numbering for both
// server flavours.
inline constexpr int kDBSetHost = 1;
inline constexpr int kDBSetUser = 2;
inline constexpr int kDBSetPwd = 3;
inline constexpr int kDBSetApp = 5;
inline constexpr int kDBSetNatLang = 7;
inline constexpr int kDBSetCharset = 10;
// The operating system's single sign-on in place of a user and password.
inline constexpr int kDBSetNetworkAuth = 101;

// dbsetopt: the largest text or image value the library hands out.
inline constexpr int kDBTextLimit = 7;

// The callbacks through which the library reports errors and server messages.
using DBErrorHandler = int (*)(DBLibProcess* proc, int severity, int dbErr, int osErr, char* dbErrStr,
                               char* osErrStr);
using DBMessageHandler = int (*)(DBLibProcess* proc, DBINT msgNo, int msgState, int severity, char* msgText,
                                 char* srvName, char* procName, int line);

// The prototypes of the calls the driver makes. Never linked: the driver
// takes their types for the addresses it looks up by name.
namespace dblib_api {

RETCODE dbinit();
DBErrorHandler dberrhandle(DBErrorHandler handler);
DBMessageHandler dbmsghandle(DBMessageHandler handler);
void dbexit();
DBBOOL dbdead(DBLibProcess* proc);
DBLibLogin* dblogin();
void dbloginfree(DBLibLogin* login);
RETCODE dbsetlogintime(int seconds);
RETCODE dbsetlname(DBLibLogin* login, const char* value, int which);
RETCODE dbsetlbool(DBLibLogin* login, int value, int which);
RETCODE dbsetmaxprocs(int maxProcs);
DBLibProcess* dbopen(DBLibLogin* login, const char* server);
RETCODE dbcancel(DBLibProcess* proc);
RETCODE dbcmd(DBLibProcess* proc, const char* command);
RETCODE dbsqlexec(DBLibProcess* proc);
RETCODE dbresults(DBLibProcess* proc);
RETCODE dbcanquery(DBLibProcess* proc);
RETCODE dbmorecmds(DBLibProcess* proc);
RETCODE dbuse(DBLibProcess* proc, const char* name);
RETCODE dbsetopt(DBLibProcess* proc, int option, const char* charParam, int intParam);
void dbclose(DBLibProcess* proc);
char* dbname(DBLibProcess* proc);
RETCODE dbcmdrow(DBLibProcess* proc);
int dbnumcols(DBLibProcess* proc);
char* dbcolname(DBLibProcess* proc, int column);
int dbcoltype(DBLibProcess* proc, int column);
DBINT dbcollen(DBLibProcess* proc, int column);
BYTE* dbdata(DBLibProcess* proc, int column);
DBINT dbdatlen(DBLibProcess* proc, int column);
DBINT dbconvert(DBLibProcess* proc, int srcType, const BYTE* src, DBINT srcLen, int destType, BYTE* dest,
                DBINT destLen);
STATUS dbnextrow(DBLibProcess* proc);
RETCODE dbgetrow(DBLibProcess* proc, DBINT row);
DBINT dbcount(DBLibProcess* proc);
RETCODE dbrpcinit(DBLibProcess* proc, const char* rpcName, DBSMALLINT options);
RETCODE dbrpcparam(DBLibProcess* proc, const char* paramName, BYTE status, int type, DBINT maxLen, DBINT dataLen,
                   BYTE* value);
RETCODE dbrpcsend(DBLibProcess* proc);
RETCODE dbsqlok(DBLibProcess* proc);
DBINT dbretstatus(DBLibProcess* proc);
DBBOOL dbhasretstat(DBLibProcess* proc);
char* dbretname(DBLibProcess* proc, int retNum);
BYTE* dbretdata(DBLibProcess* proc, int retNum);
int dbretlen(DBLibProcess* proc, int retNum);
int dbrettype(DBLibProcess* proc, int retNum);

}  // namespace dblib_api
