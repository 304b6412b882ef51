// The ODBC environment, handle holders, diagnostics and text conversion of
// the ADO object layer (see ado_odbc.h).

#include "sql/drivers/ado/ado_odbc.h"

#include "platform/rtl/text.h"

namespace ado_odbc {

namespace {

constexpr SQLSMALLINT kMaxMessageLength = 1024;

void FreeEnvironment(void* env) { SQLFreeHandle(SQL_HANDLE_ENV, env); }

}  // namespace

std::shared_ptr<void> Environment() {
  // Held weakly here, so the environment goes with the last connection and
  // nothing is left for the end of the program.
  static std::weak_ptr<void> shared;
  std::shared_ptr<void> env = shared.lock();
  if (env) return env;
  SQLHENV raw = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw)))
    throw EAdoError("HY001", "Cannot allocate the ODBC environment");
  env = std::shared_ptr<void>(raw, FreeEnvironment);
  Check(SQLSetEnvAttr(raw, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV,
        raw);
  shared = env;
  return env;
}

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
  SQLHANDLE raw = SQL_NULL_HANDLE;
  const SQLSMALLINT parentType = type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
  Check(SQLAllocHandle(type, parent, &raw), parentType, parent);
  handle_ = raw;
}

void Handle::Free() {
  if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
  handle_ = SQL_NULL_HANDLE;
}

void RaiseDiagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN ret) {
  SQLCHAR state[6] = {};
  SQLCHAR message[kMaxMessageLength] = {};
  SQLINTEGER nativeError = 0;
  SQLSMALLINT length = 0;
  AnsiString firstState, text;
  for (SQLSMALLINT record = 1;; ++record) {
    if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &nativeError, message, kMaxMessageLength, &length)))
      break;
    const AnsiString line = Trim(FromOdbc(reinterpret_cast<const char*>(message)));
    if (record == 1) {
      firstState = reinterpret_cast<const char*>(state);
      text = line;
    } else {
      text += "\n[" + AnsiString(reinterpret_cast<const char*>(state)) + "] " + line;
    }
  }
  if (firstState.empty()) {
    // A call that failed without a diagnostic record: an invalid handle.
    firstState = "HY000";
    text = ret == SQL_INVALID_HANDLE ? "Invalid handle" : "General error";
  }
  throw EAdoError(firstState, text);
}

std::string ToOdbc(std::string_view text) { return AnsiToUtf8(text); }

AnsiString FromOdbc(std::string_view utf8) {
  // Most values are plain ASCII, which is the same in both.
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) return Utf8ToAnsi(utf8);
  return AnsiString(utf8);
}

}  // namespace ado_odbc
