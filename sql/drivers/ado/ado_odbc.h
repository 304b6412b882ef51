// What the ADO object layer needs of unixODBC: the one ODBC environment of
// the process, owned connection and statement handles, the error that a
// failing call raises ("[SQLSTATE] message" from the diagnostics), and text
// crossing as UTF-8 through the narrow calls.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

// Raised by every failing member of the ADO objects; Message() is
// "[SQLSTATE] text" (Windows-1250), SqlState() the five characters alone.
class EAdoError : public Exception {
public:
  EAdoError(AnsiString sqlState, const AnsiString& text)
      : Exception("[" + sqlState + "] " + text), sqlState_(std::move(sqlState)) {}
  const AnsiString& SqlState() const { return sqlState_; }
  const char* ClassName() const override { return "EAdoError"; }

private:
  AnsiString sqlState_;
};

namespace ado_odbc {

// The process-wide ODBC 3 environment; every connection keeps it alive.
std::shared_ptr<void> Environment();

// An ODBC handle freed with SQLFreeHandle when the holder goes.
class Handle {
public:
  Handle() = default;
  Handle(SQLSMALLINT type, SQLHANDLE parent);  // allocates; raises on failure
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Free(); }

  void Free();
  SQLHANDLE get() const { return handle_; }
  SQLSMALLINT type() const { return type_; }
  explicit operator bool() const { return handle_ != SQL_NULL_HANDLE; }

private:
  SQLSMALLINT type_ = 0;
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

[[noreturn]] void RaiseDiagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN ret);

// Raises EAdoError from the handle's diagnostics when ret is an error
// (SQL_ERROR, SQL_INVALID_HANDLE); warnings and SQL_NO_DATA pass.
inline void Check(SQLRETURN ret, SQLSMALLINT type, SQLHANDLE handle) {
  if (ret != SQL_SUCCESS && ret != SQL_SUCCESS_WITH_INFO && ret != SQL_NO_DATA) [[unlikely]]
    RaiseDiagnostics(type, handle, ret);
}

// Windows-1250 text to the UTF-8 that crosses the narrow calls, and back.
std::string ToOdbc(std::string_view text);
AnsiString FromOdbc(std::string_view utf8);

}  // namespace ado_odbc
