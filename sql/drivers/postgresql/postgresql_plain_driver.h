// The plain drivers of libpq: IZPostgreSQLPlainDriver is the one road from
// the driver to the client library, served by one class per client
// generation from a copy of its loader's table. Types are declared as libpq
// declares them; nothing is linked.
#pragma once

#include <cstddef>
#include <cstdio>

#include "sql/drivers/postgresql/postgresql_binding.h"
#include "sql/drivers/postgresql/postgresql_client_types.h"

// libpq's header makes PQfreeNotify a macro for PQfreemem; in a source that
// includes that header first, the member below must keep its name.
#undef PQfreeNotify

// Every operation named after a libpq function calls it with the same
// arguments and passes its result on. Calling a function the loaded library
// does not export raises EZSQLException "Unsupported operation".
class IZPostgreSQLPlainDriver : public virtual IZPlainDriver {
public:
  // The bytes as a quoted bytea literal ('...'), escaped by the library.
  virtual AnsiString EscapeBytea(const AnsiString& value, PGconn* handle) = 0;
  // The bytes of a bytea value as the server sends it (escape or hex form).
  virtual AnsiString UnescapeBytea(const AnsiString& value) = 0;

  virtual PGconn* PQconnectdb(const char* connInfo) = 0;
  virtual PGconn* PQsetdbLogin(const char* host, const char* port, const char* options, const char* tty,
                               const char* dbName, const char* login, const char* password) = 0;
  virtual PQconninfoOption* PQconndefaults() = 0;
  virtual void PQfinish(PGconn* handle) = 0;
  virtual void PQreset(PGconn* handle) = 0;
  virtual int PQrequestCancel(PGconn* handle) = 0;
  virtual const char* PQdb(PGconn* handle) = 0;
  virtual const char* PQuser(PGconn* handle) = 0;
  virtual const char* PQpass(PGconn* handle) = 0;
  virtual const char* PQhost(PGconn* handle) = 0;
  virtual const char* PQport(PGconn* handle) = 0;
  virtual const char* PQtty(PGconn* handle) = 0;
  virtual const char* PQoptions(PGconn* handle) = 0;
  virtual TZPgConnStatus PQstatus(PGconn* handle) = 0;
  virtual const char* PQerrorMessage(PGconn* handle) = 0;
  virtual int PQsocket(PGconn* handle) = 0;
  virtual int PQbackendPID(PGconn* handle) = 0;
  virtual void PQtrace(PGconn* handle, FILE* stream) = 0;
  virtual void PQuntrace(PGconn* handle) = 0;
  virtual PQnoticeProcessor PQsetNoticeProcessor(PGconn* handle, PQnoticeProcessor processor, void* arg) = 0;
  virtual PGresult* PQexec(PGconn* handle, const char* query) = 0;
  virtual PGnotify* PQnotifies(PGconn* handle) = 0;
  virtual void PQfreeNotify(PGnotify* notify) = 0;
  virtual int PQsendQuery(PGconn* handle, const char* query) = 0;
  virtual PGresult* PQgetResult(PGconn* handle) = 0;
  virtual int PQisBusy(PGconn* handle) = 0;
  virtual int PQconsumeInput(PGconn* handle) = 0;
  virtual int PQgetline(PGconn* handle, char* buffer, int length) = 0;
  virtual int PQputline(PGconn* handle, const char* text) = 0;
  virtual int PQgetlineAsync(PGconn* handle, char* buffer, int length) = 0;
  virtual int PQputnbytes(PGconn* handle, const char* buffer, int count) = 0;
  virtual int PQendcopy(PGconn* handle) = 0;
  virtual PGresult* PQfn(PGconn* handle, int functionId, int* resultBuffer, int* resultLength, int resultIsInt,
                         const TZPgArgBlock* args, int argCount) = 0;
  virtual TZPgExecStatus PQresultStatus(const PGresult* result) = 0;
  virtual const char* PQresultErrorMessage(const PGresult* result) = 0;
  // The 7.x binding answers "" without calling the library.
  virtual const char* PQresultErrorField(const PGresult* result, int fieldCode) = 0;
  virtual int PQntuples(const PGresult* result) = 0;
  virtual int PQnfields(const PGresult* result) = 0;
  virtual int PQbinaryTuples(const PGresult* result) = 0;
  virtual const char* PQfname(const PGresult* result, int column) = 0;
  virtual int PQfnumber(const PGresult* result, const char* name) = 0;
  virtual Oid PQftype(const PGresult* result, int column) = 0;
  virtual int PQfsize(const PGresult* result, int column) = 0;
  virtual int PQfmod(const PGresult* result, int column) = 0;
  virtual const char* PQcmdStatus(PGresult* result) = 0;
  virtual Oid PQoidValue(const PGresult* result) = 0;
  virtual const char* PQoidStatus(const PGresult* result) = 0;
  virtual const char* PQcmdTuples(PGresult* result) = 0;
  virtual const char* PQgetvalue(const PGresult* result, int row, int column) = 0;
  virtual int PQgetlength(const PGresult* result, int row, int column) = 0;
  virtual int PQgetisnull(const PGresult* result, int row, int column) = 0;
  virtual void PQclear(PGresult* result) = 0;
  virtual PGresult* PQmakeEmptyPGresult(PGconn* handle, TZPgExecStatus status) = 0;
  virtual int lo_open(PGconn* handle, Oid oid, int mode) = 0;
  virtual int lo_close(PGconn* handle, int fd) = 0;
  virtual int lo_read(PGconn* handle, int fd, char* buffer, std::size_t length) = 0;
  virtual int lo_write(PGconn* handle, int fd, const char* buffer, std::size_t length) = 0;
  virtual int lo_lseek(PGconn* handle, int fd, int offset, int whence) = 0;
  virtual Oid lo_creat(PGconn* handle, int mode) = 0;
  virtual int lo_tell(PGconn* handle, int fd) = 0;
  virtual int lo_unlink(PGconn* handle, Oid oid) = 0;
  virtual Oid lo_import(PGconn* handle, const char* fileName) = 0;
  virtual int lo_export(PGconn* handle, Oid oid, const char* fileName) = 0;
};

// The forwarding both generations share; they differ in name, loader and
// whether the library is asked for error fields.
class TZPostgreSQLBasePlainDriver : public TZAbstractObject, public virtual IZPostgreSQLPlainDriver {
public:
  void Initialize() override;
  // libpq's own escaping: with the connection's settings when there is a
  // handle and the library has PQescapeByteaConn, else without them.
  AnsiString EscapeBytea(const AnsiString& value, PGconn* handle) override;
  AnsiString UnescapeBytea(const AnsiString& value) override;

  PGconn* PQconnectdb(const char* connInfo) override;
  PGconn* PQsetdbLogin(const char* host, const char* port, const char* options, const char* tty,
                       const char* dbName, const char* login, const char* password) override;
  PQconninfoOption* PQconndefaults() override;
  void PQfinish(PGconn* handle) override;
  void PQreset(PGconn* handle) override;
  int PQrequestCancel(PGconn* handle) override;
  const char* PQdb(PGconn* handle) override;
  const char* PQuser(PGconn* handle) override;
  const char* PQpass(PGconn* handle) override;
  const char* PQhost(PGconn* handle) override;
  const char* PQport(PGconn* handle) override;
  const char* PQtty(PGconn* handle) override;
  const char* PQoptions(PGconn* handle) override;
  TZPgConnStatus PQstatus(PGconn* handle) override;
  const char* PQerrorMessage(PGconn* handle) override;
  int PQsocket(PGconn* handle) override;
  int PQbackendPID(PGconn* handle) override;
  void PQtrace(PGconn* handle, FILE* stream) override;
  void PQuntrace(PGconn* handle) override;
  PQnoticeProcessor PQsetNoticeProcessor(PGconn* handle, PQnoticeProcessor processor, void* arg) override;
  PGresult* PQexec(PGconn* handle, const char* query) override;
  PGnotify* PQnotifies(PGconn* handle) override;
  void PQfreeNotify(PGnotify* notify) override;
  int PQsendQuery(PGconn* handle, const char* query) override;
  PGresult* PQgetResult(PGconn* handle) override;
  int PQisBusy(PGconn* handle) override;
  int PQconsumeInput(PGconn* handle) override;
  int PQgetline(PGconn* handle, char* buffer, int length) override;
  int PQputline(PGconn* handle, const char* text) override;
  int PQgetlineAsync(PGconn* handle, char* buffer, int length) override;
  int PQputnbytes(PGconn* handle, const char* buffer, int count) override;
  int PQendcopy(PGconn* handle) override;
  PGresult* PQfn(PGconn* handle, int functionId, int* resultBuffer, int* resultLength, int resultIsInt,
                 const TZPgArgBlock* args, int argCount) override;
  TZPgExecStatus PQresultStatus(const PGresult* result) override;
  const char* PQresultErrorMessage(const PGresult* result) override;
  const char* PQresultErrorField(const PGresult* result, int fieldCode) override;
  int PQntuples(const PGresult* result) override;
  int PQnfields(const PGresult* result) override;
  int PQbinaryTuples(const PGresult* result) override;
  const char* PQfname(const PGresult* result, int column) override;
  int PQfnumber(const PGresult* result, const char* name) override;
  Oid PQftype(const PGresult* result, int column) override;
  int PQfsize(const PGresult* result, int column) override;
  int PQfmod(const PGresult* result, int column) override;
  const char* PQcmdStatus(PGresult* result) override;
  Oid PQoidValue(const PGresult* result) override;
  const char* PQoidStatus(const PGresult* result) override;
  const char* PQcmdTuples(PGresult* result) override;
  const char* PQgetvalue(const PGresult* result, int row, int column) override;
  int PQgetlength(const PGresult* result, int row, int column) override;
  int PQgetisnull(const PGresult* result, int row, int column) override;
  void PQclear(PGresult* result) override;
  PGresult* PQmakeEmptyPGresult(PGconn* handle, TZPgExecStatus status) override;
  int lo_open(PGconn* handle, Oid oid, int mode) override;
  int lo_close(PGconn* handle, int fd) override;
  int lo_read(PGconn* handle, int fd, char* buffer, std::size_t length) override;
  int lo_write(PGconn* handle, int fd, const char* buffer, std::size_t length) override;
  int lo_lseek(PGconn* handle, int fd, int offset, int whence) override;
  Oid lo_creat(PGconn* handle, int mode) override;
  int lo_tell(PGconn* handle, int fd) override;
  int lo_unlink(PGconn* handle, Oid oid) override;
  Oid lo_import(PGconn* handle, const char* fileName) override;
  int lo_export(PGconn* handle, Oid oid, const char* fileName) override;

protected:
  explicit TZPostgreSQLBasePlainDriver(TZPostgreSQLNativeLibraryLoader& loader) : loader_(loader) {}

  // The bound address of entry, or EZSQLException "Unsupported operation".
  void* Entry(TZPgEntry entry) const;
  bool HasEntry(TZPgEntry entry) const;

private:
  TZPostgreSQLNativeLibraryLoader& loader_;
  TZPgEntryTable entries_;
};

class TZPostgreSQL7PlainDriver : public TZPostgreSQLBasePlainDriver {
public:
  // Tests hand in a loader of their own; the program uses PostgreSQL7Loader.
  explicit TZPostgreSQL7PlainDriver(TZPostgreSQLNativeLibraryLoader& loader = PostgreSQL7Loader())
      : TZPostgreSQLBasePlainDriver(loader) {}
  AnsiString GetProtocol() override { return "postgresql-7"; }
  AnsiString GetDescription() override { return "Native Plain Driver for PostgreSQL 7.x"; }
  const char* PQresultErrorField(const PGresult* result, int fieldCode) override;
};

class TZPostgreSQL8PlainDriver : public TZPostgreSQLBasePlainDriver {
public:
  explicit TZPostgreSQL8PlainDriver(TZPostgreSQLNativeLibraryLoader& loader = PostgreSQL8Loader())
      : TZPostgreSQLBasePlainDriver(loader) {}
  AnsiString GetProtocol() override { return "postgresql-8"; }
  AnsiString GetDescription() override { return "Native Plain Driver for PostgreSQL 8.x"; }
};
