// The plain driver: each operation takes its entry point from the loader's
// table, typed by the prototype in dblib_api.h, and calls it.

#include "sql/drivers/dblib/dblib_plain_driver.h"

#include "sql/drivers/dblib/dblib_binding.h"

#define VX_CALL(name) VX_DBLIB_ENTRY(DBLibLibraryLoader(), name)

namespace {

AnsiString TextOrEmpty(const char* text) { return text ? AnsiString(text) : AnsiString(); }

}  // namespace

void TZDBLibPlainDriver::Initialize() { DBLibLibraryLoader().LoadIfNeeded(); }
void TZDBLibPlainDriver::CheckError() { CheckDBLibErrors(); }

bool TZDBLibPlainDriver::dbdead(DBLibProcess* proc) { return VX_CALL(dbdead)(proc) != 0; }
DBLibLogin* TZDBLibPlainDriver::dblogin() { return VX_CALL(dblogin)(); }
void TZDBLibPlainDriver::dbloginfree(DBLibLogin* login) { VX_CALL(dbloginfree)(login); }
RETCODE TZDBLibPlainDriver::dbsetlogintime(int seconds) { return VX_CALL(dbsetlogintime)(seconds); }
RETCODE TZDBLibPlainDriver::dbsetlname(DBLibLogin* login, const char* value, int item) {
  return VX_CALL(dbsetlname)(login, value, item);
}
RETCODE TZDBLibPlainDriver::dbsetlhost(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetHost);
}
RETCODE TZDBLibPlainDriver::dbsetluser(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetUser);
}
RETCODE TZDBLibPlainDriver::dbsetlpwd(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetPwd);
}
RETCODE TZDBLibPlainDriver::dbsetlapp(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetApp);
}
RETCODE TZDBLibPlainDriver::dbsetlnatlang(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetNatLang);
}
RETCODE TZDBLibPlainDriver::dbsetlcharset(DBLibLogin* login, const char* value) {
  return dbsetlname(login, value, kDBSetCharset);
}
RETCODE TZDBLibPlainDriver::dbsetlsecure(DBLibLogin* login) {
  return VX_CALL(dbsetlbool)(login, 1, kDBSetNetworkAuth);
}
RETCODE TZDBLibPlainDriver::dbsetmaxprocs(int maxProcs) { return VX_CALL(dbsetmaxprocs)(maxProcs); }
DBLibProcess* TZDBLibPlainDriver::dbopen(DBLibLogin* login, const char* server) {
  return VX_CALL(dbopen)(login, server);
}
RETCODE TZDBLibPlainDriver::dbcancel(DBLibProcess* proc) { return VX_CALL(dbcancel)(proc); }
RETCODE TZDBLibPlainDriver::dbcmd(DBLibProcess* proc, const char* command) { return VX_CALL(dbcmd)(proc, command); }
RETCODE TZDBLibPlainDriver::dbsqlexec(DBLibProcess* proc) { return VX_CALL(dbsqlexec)(proc); }
RETCODE TZDBLibPlainDriver::dbresults(DBLibProcess* proc) { return VX_CALL(dbresults)(proc); }
RETCODE TZDBLibPlainDriver::dbcanquery(DBLibProcess* proc) { return VX_CALL(dbcanquery)(proc); }
RETCODE TZDBLibPlainDriver::dbmorecmds(DBLibProcess* proc) { return VX_CALL(dbmorecmds)(proc); }
RETCODE TZDBLibPlainDriver::dbuse(DBLibProcess* proc, const char* database) {
  return VX_CALL(dbuse)(proc, database);
}
RETCODE TZDBLibPlainDriver::dbsetopt(DBLibProcess* proc, int option, const char* charParam, int intParam) {
  return VX_CALL(dbsetopt)(proc, option, charParam, intParam);
}
RETCODE TZDBLibPlainDriver::dbclose(DBLibProcess* proc) {
  VX_CALL(dbclose)(proc);
  return kDBSucceed;
}
AnsiString TZDBLibPlainDriver::dbname(DBLibProcess* proc) { return TextOrEmpty(VX_CALL(dbname)(proc)); }
RETCODE TZDBLibPlainDriver::dbcmdrow(DBLibProcess* proc) { return VX_CALL(dbcmdrow)(proc); }
int TZDBLibPlainDriver::dbnumcols(DBLibProcess* proc) { return VX_CALL(dbnumcols)(proc); }
AnsiString TZDBLibPlainDriver::dbcolname(DBLibProcess* proc, int column) {
  return TextOrEmpty(VX_CALL(dbcolname)(proc, column));
}
int TZDBLibPlainDriver::dbcoltype(DBLibProcess* proc, int column) { return VX_CALL(dbcoltype)(proc, column); }
DBINT TZDBLibPlainDriver::dbcollen(DBLibProcess* proc, int column) { return VX_CALL(dbcollen)(proc, column); }
BYTE* TZDBLibPlainDriver::dbdata(DBLibProcess* proc, int column) { return VX_CALL(dbdata)(proc, column); }
DBINT TZDBLibPlainDriver::dbdatlen(DBLibProcess* proc, int column) { return VX_CALL(dbdatlen)(proc, column); }
DBINT TZDBLibPlainDriver::dbconvert(DBLibProcess* proc, int srcType, const BYTE* src, DBINT srcLen, int destType,
                                    BYTE* dest, DBINT destLen) {
  return VX_CALL(dbconvert)(proc, srcType, src, srcLen, destType, dest, destLen);
}
STATUS TZDBLibPlainDriver::dbnextrow(DBLibProcess* proc) { return VX_CALL(dbnextrow)(proc); }
RETCODE TZDBLibPlainDriver::dbgetrow(DBLibProcess* proc, DBINT row) { return VX_CALL(dbgetrow)(proc, row); }
DBINT TZDBLibPlainDriver::dbcount(DBLibProcess* proc) { return VX_CALL(dbcount)(proc); }
RETCODE TZDBLibPlainDriver::dbrpcinit(DBLibProcess* proc, const char* procedureName, DBSMALLINT options) {
  return VX_CALL(dbrpcinit)(proc, procedureName, options);
}
RETCODE TZDBLibPlainDriver::dbrpcparam(DBLibProcess* proc, const char* parameterName, BYTE status, int type,
                                       DBINT maxLen, DBINT dataLen, BYTE* value) {
  return VX_CALL(dbrpcparam)(proc, parameterName, status, type, maxLen, dataLen, value);
}
RETCODE TZDBLibPlainDriver::dbrpcsend(DBLibProcess* proc) { return VX_CALL(dbrpcsend)(proc); }
RETCODE TZDBLibPlainDriver::dbrpcexec(DBLibProcess* proc) {
  // FreeTDS has no single call for this: send, then read the first answer.
  RETCODE result = dbrpcsend(proc);
  if (result == kDBSucceed) result = VX_CALL(dbsqlok)(proc);
  return result;
}
DBINT TZDBLibPlainDriver::dbretstatus(DBLibProcess* proc) { return VX_CALL(dbretstatus)(proc); }
bool TZDBLibPlainDriver::dbhasretstat(DBLibProcess* proc) { return VX_CALL(dbhasretstat)(proc) != 0; }
AnsiString TZDBLibPlainDriver::dbretname(DBLibProcess* proc, int retNum) {
  return TextOrEmpty(VX_CALL(dbretname)(proc, retNum));
}
BYTE* TZDBLibPlainDriver::dbretdata(DBLibProcess* proc, int retNum) { return VX_CALL(dbretdata)(proc, retNum); }
int TZDBLibPlainDriver::dbretlen(DBLibProcess* proc, int retNum) { return VX_CALL(dbretlen)(proc, retNum); }
int TZDBLibPlainDriver::dbrettype(DBLibProcess* proc, int retNum) { return VX_CALL(dbrettype)(proc, retNum); }
