// The plain drivers of DB-Library: IZDBLibPlainDriver is the one road from
// the connection, statements and result sets to the library. Most
// operations call the entry point they are named after with the arguments
// unchanged; the login-record setters name their item, and a call the
// loaded library does not export raises "Unsupported operation". Both
// flavours run on FreeTDS and differ only in their protocol and description.
#pragma once

#include "sql/core/dbc/native_library.h"
#include "sql/drivers/dblib/dblib_api.h"

class IZDBLibPlainDriver : public virtual IZPlainDriver {
public:
  // Raises the collected errors and server messages as one Exception.
  virtual void CheckError() = 0;
  virtual bool dbdead(DBLibProcess* proc) = 0;
  virtual DBLibLogin* dblogin() = 0;
  virtual void dbloginfree(DBLibLogin* login) = 0;
  virtual RETCODE dbsetlogintime(int seconds) = 0;
  virtual RETCODE dbsetlname(DBLibLogin* login, const char* value, int item) = 0;
  virtual RETCODE dbsetlhost(DBLibLogin* login, const char* value) = 0;
  virtual RETCODE dbsetluser(DBLibLogin* login, const char* value) = 0;
  virtual RETCODE dbsetlpwd(DBLibLogin* login, const char* value) = 0;
  virtual RETCODE dbsetlapp(DBLibLogin* login, const char* value) = 0;
  virtual RETCODE dbsetlnatlang(DBLibLogin* login, const char* value) = 0;
  virtual RETCODE dbsetlcharset(DBLibLogin* login, const char* value) = 0;
  // The operating system's sign-on in place of a user and password.
  virtual RETCODE dbsetlsecure(DBLibLogin* login) = 0;
  virtual RETCODE dbsetmaxprocs(int maxProcs) = 0;
  // Null when the server cannot be reached or refuses the login.
  virtual DBLibProcess* dbopen(DBLibLogin* login, const char* server) = 0;
  virtual RETCODE dbcancel(DBLibProcess* proc) = 0;
  virtual RETCODE dbcmd(DBLibProcess* proc, const char* command) = 0;
  virtual RETCODE dbsqlexec(DBLibProcess* proc) = 0;
  virtual RETCODE dbresults(DBLibProcess* proc) = 0;
  virtual RETCODE dbcanquery(DBLibProcess* proc) = 0;
  virtual RETCODE dbmorecmds(DBLibProcess* proc) = 0;
  virtual RETCODE dbuse(DBLibProcess* proc, const char* database) = 0;
  virtual RETCODE dbsetopt(DBLibProcess* proc, int option, const char* charParam, int intParam) = 0;
  // The library's close answers nothing; this answers success.
  virtual RETCODE dbclose(DBLibProcess* proc) = 0;
  virtual AnsiString dbname(DBLibProcess* proc) = 0;
  virtual RETCODE dbcmdrow(DBLibProcess* proc) = 0;
  virtual int dbnumcols(DBLibProcess* proc) = 0;
  virtual AnsiString dbcolname(DBLibProcess* proc, int column) = 0;
  virtual int dbcoltype(DBLibProcess* proc, int column) = 0;
  virtual DBINT dbcollen(DBLibProcess* proc, int column) = 0;
  // Null for a null value.
  virtual BYTE* dbdata(DBLibProcess* proc, int column) = 0;
  virtual DBINT dbdatlen(DBLibProcess* proc, int column) = 0;
  virtual DBINT dbconvert(DBLibProcess* proc, int srcType, const BYTE* src, DBINT srcLen, int destType, BYTE* dest,
                          DBINT destLen) = 0;
  virtual STATUS dbnextrow(DBLibProcess* proc) = 0;
  virtual RETCODE dbgetrow(DBLibProcess* proc, DBINT row) = 0;
  virtual DBINT dbcount(DBLibProcess* proc) = 0;
  virtual RETCODE dbrpcinit(DBLibProcess* proc, const char* procedureName, DBSMALLINT options) = 0;
  virtual RETCODE dbrpcparam(DBLibProcess* proc, const char* parameterName, BYTE status, int type, DBINT maxLen,
                             DBINT dataLen, BYTE* value) = 0;
  virtual RETCODE dbrpcsend(DBLibProcess* proc) = 0;
  // Sends the procedure call and reads the server's first answer to it.
  virtual RETCODE dbrpcexec(DBLibProcess* proc) = 0;
  virtual DBINT dbretstatus(DBLibProcess* proc) = 0;
  virtual bool dbhasretstat(DBLibProcess* proc) = 0;
  virtual AnsiString dbretname(DBLibProcess* proc, int retNum) = 0;
  virtual BYTE* dbretdata(DBLibProcess* proc, int retNum) = 0;
  virtual int dbretlen(DBLibProcess* proc, int retNum) = 0;
  virtual int dbrettype(DBLibProcess* proc, int retNum) = 0;
};

class TZDBLibPlainDriver : public TZAbstractObject, public virtual IZDBLibPlainDriver {
public:
  AnsiString GetProtocol() override { return protocol_; }
  AnsiString GetDescription() override { return description_; }
  // Loads and starts the library once per run.
  void Initialize() override;
  void CheckError() override;

  bool dbdead(DBLibProcess* proc) override;
  DBLibLogin* dblogin() override;
  void dbloginfree(DBLibLogin* login) override;
  RETCODE dbsetlogintime(int seconds) override;
  RETCODE dbsetlname(DBLibLogin* login, const char* value, int item) override;
  RETCODE dbsetlhost(DBLibLogin* login, const char* value) override;
  RETCODE dbsetluser(DBLibLogin* login, const char* value) override;
  RETCODE dbsetlpwd(DBLibLogin* login, const char* value) override;
  RETCODE dbsetlapp(DBLibLogin* login, const char* value) override;
  RETCODE dbsetlnatlang(DBLibLogin* login, const char* value) override;
  RETCODE dbsetlcharset(DBLibLogin* login, const char* value) override;
  RETCODE dbsetlsecure(DBLibLogin* login) override;
  RETCODE dbsetmaxprocs(int maxProcs) override;
  DBLibProcess* dbopen(DBLibLogin* login, const char* server) override;
  RETCODE dbcancel(DBLibProcess* proc) override;
  RETCODE dbcmd(DBLibProcess* proc, const char* command) override;
  RETCODE dbsqlexec(DBLibProcess* proc) override;
  RETCODE dbresults(DBLibProcess* proc) override;
  RETCODE dbcanquery(DBLibProcess* proc) override;
  RETCODE dbmorecmds(DBLibProcess* proc) override;
  RETCODE dbuse(DBLibProcess* proc, const char* database) override;
  RETCODE dbsetopt(DBLibProcess* proc, int option, const char* charParam, int intParam) override;
  RETCODE dbclose(DBLibProcess* proc) override;
  AnsiString dbname(DBLibProcess* proc) override;
  RETCODE dbcmdrow(DBLibProcess* proc) override;
  int dbnumcols(DBLibProcess* proc) override;
  AnsiString dbcolname(DBLibProcess* proc, int column) override;
  int dbcoltype(DBLibProcess* proc, int column) override;
  DBINT dbcollen(DBLibProcess* proc, int column) override;
  BYTE* dbdata(DBLibProcess* proc, int column) override;
  DBINT dbdatlen(DBLibProcess* proc, int column) override;
  DBINT dbconvert(DBLibProcess* proc, int srcType, const BYTE* src, DBINT srcLen, int destType, BYTE* dest,
                  DBINT destLen) override;
  STATUS dbnextrow(DBLibProcess* proc) override;
  RETCODE dbgetrow(DBLibProcess* proc, DBINT row) override;
  DBINT dbcount(DBLibProcess* proc) override;
  RETCODE dbrpcinit(DBLibProcess* proc, const char* procedureName, DBSMALLINT options) override;
  RETCODE dbrpcparam(DBLibProcess* proc, const char* parameterName, BYTE status, int type, DBINT maxLen,
                     DBINT dataLen, BYTE* value) override;
  RETCODE dbrpcsend(DBLibProcess* proc) override;
  RETCODE dbrpcexec(DBLibProcess* proc) override;
  DBINT dbretstatus(DBLibProcess* proc) override;
  bool dbhasretstat(DBLibProcess* proc) override;
  AnsiString dbretname(DBLibProcess* proc, int retNum) override;
  BYTE* dbretdata(DBLibProcess* proc, int retNum) override;
  int dbretlen(DBLibProcess* proc, int retNum) override;
  int dbrettype(DBLibProcess* proc, int retNum) override;

protected:
  TZDBLibPlainDriver(AnsiString protocol, AnsiString description)
      : protocol_(std::move(protocol)), description_(std::move(description)) {}

private:
  AnsiString protocol_;
  AnsiString description_;
};

class TZDBLibSybaseASE125PlainDriver : public TZDBLibPlainDriver {
public:
  TZDBLibSybaseASE125PlainDriver()
      : TZDBLibPlainDriver("sybase", "Native dblib driver for Sybase ASE 12.5") {}
};

class TZDBLibMSSQL7PlainDriver : public TZDBLibPlainDriver {
public:
  TZDBLibMSSQL7PlainDriver() : TZDBLibPlainDriver("mssql", "Native dblib driver for MS SQL 7+") {}
};
