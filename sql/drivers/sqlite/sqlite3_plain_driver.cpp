// The version 3 plain driver: the 2.8 compile-and-step interface rebuilt over
// the version 3 calls. Rows are handed out in the 2.8 layout, error texts come
// from the binding's own table, and what the library lacks answers 21.

#include <iterator>
#include <string>

#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/sqlite/sqlite_binding.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

using TOpenFn = int (*)(const char*, Psqlite*);
using TCloseFn = int (*)(Psqlite);
using TColumnCountFn = int (*)(Psqlite_vm);
using TColumnTextFn = const char* (*)(Psqlite_vm, int);
using TExecFn = int (*)(Psqlite, const char*, TZSQLiteCallback, void*, char**);
using TRowIdFn = std::int64_t (*)(Psqlite);
using THandleIntFn = int (*)(Psqlite);
using THandleTextFn = const char* (*)(Psqlite);
using THandleVoidFn = void (*)(Psqlite);
using TCompleteFn = int (*)(const char*);
using TCallbackFn = int (*)(Psqlite, TZSQLiteCallback, void*);
using TBusyTimeoutFn = int (*)(Psqlite, int);
using TGetTableFn = int (*)(Psqlite, const char*, char***, int*, int*, char**);
using TFreeTableFn = void (*)(char**);
using TFreeMemFn = void (*)(void*);
using TTextFn = const char* (*)();
using TResultStringFn = void (*)(Psqlite_func, const char*, int, void (*)(void*));
using TResultIntFn = void (*)(Psqlite_func, int);
using TResultDoubleFn = void (*)(Psqlite_func, double);
using TResultErrorFn = void (*)(Psqlite_func, const char*, int);
using TUserDataFn = void* (*)(Psqlite_func);
using TAggregateContextFn = void* (*)(Psqlite_func, int);
using TAggregateCountFn = int (*)(Psqlite_func);
using THookFn = void* (*)(Psqlite, TZSQLiteCallback, void*);
using TPrepareFn = int (*)(Psqlite, const char*, int, Psqlite_vm*, const char**);
using TStmtFn = int (*)(Psqlite_vm);
using TProgressFn = void (*)(Psqlite, int, TZSQLiteCallback, void*);
using TKeyFn = int (*)(Psqlite, const void*, int);
using TMprintfFn = char* (*)(const char*, ...);
using TColumnIntFn = int (*)(Psqlite_vm, int);
using TColumnBlobFn = const void* (*)(Psqlite_vm, int);
using TDbHandleFn = Psqlite (*)(Psqlite_vm);
using TColumnDoubleFn = double (*)(Psqlite_vm, int);
using TColumnInt64Fn = std::int64_t (*)(Psqlite_vm, int);

constexpr const char* kErrorTexts[] = {
    "not an error",
    "SQL logic error or missing database",
    "internal SQLite implementation flaw",
    "access permission denied",
    "callback requested query abort",
    "database is locked",
    "database table is locked",
    "out of memory",
    "attempt to write a readonly database",
    "interrupted",
    "disk I/O error",
    "database disk image is malformed",
    "table or record not found",
    "database is full",
    "unable to open database file",
    "database locking protocol failure",
    "table contains no data",
    "database schema has changed",
    "too much data for one table row",
    "constraint failed",
    "datatype mismatch",
    "library routine called out of sequence",
    "kernel lacks large file support",
    "authorization denied",
    "auxiliary database format error",
    "bind index out of range",
    "file is encrypted or is not a database",
};
constexpr char kUnknownErrorText[] = "unknown error";
constexpr char kNotUsedText[] = "function is not used in the current version of the library";

using E = TZSQLite3Entry;

void* RawEntry(TZSQLite3Entry entry) { return SQLite3LibraryLoader().EntryAt(static_cast<int>(entry)); }

template <typename F>
F Fn(TZSQLite3Entry entry) {
  return reinterpret_cast<F>(SQLite3LibraryLoader().RequiredEntry(static_cast<int>(entry)));
}

// A copy of text in the library's memory, which the caller frees with FreeMem.
char* LibraryText(const char* text) {
  return Fn<TMprintfFn>(TZSQLite3Entry::sqlite3_mprintf)("%s", text ? text : "");
}

// The library's own text of the last failure on handle, for the caller to
// free; null when there is no failure to tell.
char* FailureText(Psqlite handle, int code) {
  if (code == SQLITE_OK_CODE || code == SQLITE_ROW_CODE || code == SQLITE_DONE_CODE || !handle) return nullptr;
  return LibraryText(Fn<THandleTextFn>(E::sqlite3_errmsg)(handle));
}

// Whether a column's declared type makes the driver read it as binary.
bool DeclaredBinary(const char* declaredType) {
  if (!declaredType) return false;
  int precision = 0, decimals = 0;
  const TZSQLType type = ConvertSQLiteTypeToSQLType(declaredType, precision, decimals);
  return type == stBinaryStream || type == stBytes;
}

// The entries a typed row needs, looked up once: the loader's look-up per
// value would cost more than the value. The library, once loaded, stays.
struct RowEntries {
  TStmtFn step = Fn<TStmtFn>(E::sqlite3_step);
  TColumnIntFn type = Fn<TColumnIntFn>(E::sqlite3_column_type);
  TColumnInt64Fn integer = Fn<TColumnInt64Fn>(E::sqlite3_column_int64);
  TColumnDoubleFn real = Fn<TColumnDoubleFn>(E::sqlite3_column_double);
  TColumnTextFn text = Fn<TColumnTextFn>(E::sqlite3_column_text);
  TColumnIntFn bytes = Fn<TColumnIntFn>(E::sqlite3_column_bytes);
};

// A statement exists, so the library is loaded.
const RowEntries& Entries() {
  static const RowEntries entries;
  return entries;
}

}  // namespace

void TZSQLite3PlainDriver::Initialize() { SQLite3LibraryLoader().LoadIfNeeded(); }

// The library takes UTF-8 names; ours are in the system's single-byte code
// page. The old rule of converting only for library versions above "3.2.5"
// (compared as text) would pass 3.10 and later unconverted.
Psqlite TZSQLite3PlainDriver::Open(const char* fileName, int, char*& errMsg) {
  std::string name = AnsiToUtf8(fileName ? fileName : "");
  Psqlite handle = nullptr;
  int code = Fn<TOpenFn>(E::sqlite3_open)(name.c_str(), &handle);
  if (code == SQLITE_OK_CODE) return handle;
  // The library makes a handle even when it cannot open the file: its text
  // is kept, the handle closed, and null tells the caller the open failed.
  if (handle) {
    errMsg = LibraryText(Fn<THandleTextFn>(E::sqlite3_errmsg)(handle));
    Fn<TCloseFn>(E::sqlite3_close)(handle);
  }
  return nullptr;
}

void TZSQLite3PlainDriver::Close(Psqlite handle) { Fn<TCloseFn>(E::sqlite3_close)(handle); }

int TZSQLite3PlainDriver::Execute(Psqlite handle, const char* sql, TZSQLiteCallback callback, void* argument,
                                  char*& errMsg) {
  errMsg = nullptr;
  return Fn<TExecFn>(E::sqlite3_exec)(handle, sql, callback, argument, &errMsg);
}

std::int64_t TZSQLite3PlainDriver::LastInsertRowId(Psqlite handle) {
  return Fn<TRowIdFn>(E::sqlite3_last_insert_rowid)(handle);
}
int TZSQLite3PlainDriver::Changes(Psqlite handle) { return Fn<THandleIntFn>(E::sqlite3_changes)(handle); }
int TZSQLite3PlainDriver::LastStatementChanges(Psqlite) { return SQLITE_MISUSE_CODE; }

const char* TZSQLite3PlainDriver::ErrorString(int errorCode) {
  if (errorCode < 0 || errorCode >= static_cast<int>(std::size(kErrorTexts))) return kUnknownErrorText;
  return kErrorTexts[errorCode];
}

void TZSQLite3PlainDriver::Interrupt(Psqlite handle) { Fn<THandleVoidFn>(E::sqlite3_interrupt)(handle); }
int TZSQLite3PlainDriver::Complete(const char* sql) { return Fn<TCompleteFn>(E::sqlite3_complete)(sql); }
void TZSQLite3PlainDriver::BusyHandler(Psqlite handle, TZSQLiteCallback handler, void* argument) {
  Fn<TCallbackFn>(E::sqlite3_busy_handler)(handle, handler, argument);
}
void TZSQLite3PlainDriver::BusyTimeout(Psqlite handle, int milliseconds) {
  Fn<TBusyTimeoutFn>(E::sqlite3_busy_timeout)(handle, milliseconds);
}
int TZSQLite3PlainDriver::GetTable(Psqlite handle, const char* sql, char**& result, int& rowCount,
                                   int& columnCount, char*& errMsg) {
  return Fn<TGetTableFn>(E::sqlite3_get_table)(handle, sql, &result, &rowCount, &columnCount, &errMsg);
}
void TZSQLite3PlainDriver::FreeTable(char** result) { Fn<TFreeTableFn>(E::sqlite3_free_table)(result); }
void TZSQLite3PlainDriver::FreeMem(void* pointer) { Fn<TFreeMemFn>(E::sqlite3_free)(pointer); }
const char* TZSQLite3PlainDriver::LibVersion() { return Fn<TTextFn>(E::sqlite3_libversion)(); }

char* TZSQLite3PlainDriver::SetResultString(Psqlite_func context, const char* value, int length) {
  Fn<TResultStringFn>(E::sqlite3_result_string)(context, value, length, nullptr);
  return nullptr;
}
void TZSQLite3PlainDriver::SetResultInt(Psqlite_func context, int value) {
  Fn<TResultIntFn>(E::sqlite3_result_int)(context, value);
}
void TZSQLite3PlainDriver::SetResultDouble(Psqlite_func context, double value) {
  Fn<TResultDoubleFn>(E::sqlite3_result_double)(context, value);
}
void TZSQLite3PlainDriver::SetResultError(Psqlite_func context, const char* message, int length) {
  Fn<TResultErrorFn>(E::sqlite3_result_error)(context, message, length);
}
void* TZSQLite3PlainDriver::UserData(Psqlite_func context) { return Fn<TUserDataFn>(E::sqlite3_user_data)(context); }
void* TZSQLite3PlainDriver::AggregateContext(Psqlite_func context, int bytes) {
  return Fn<TAggregateContextFn>(E::sqlite3_aggregate_context)(context, bytes);
}
int TZSQLite3PlainDriver::AggregateCount(Psqlite_func context) {
  return Fn<TAggregateCountFn>(E::sqlite3_aggregate_count)(context);
}
int TZSQLite3PlainDriver::SetAuthorizer(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<TCallbackFn>(E::sqlite3_set_authorizer)(handle, callback, argument);
}
void* TZSQLite3PlainDriver::Trace(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<THookFn>(E::sqlite3_trace)(handle, callback, argument);
}

int TZSQLite3PlainDriver::Compile(Psqlite handle, const char* sql, int, const char*& tail, Psqlite_vm& vm,
                                  char*& errMsg) {
  int code = Fn<TPrepareFn>(E::sqlite3_prepare)(handle, sql, -1, &vm, &tail);
  errMsg = FailureText(handle, code);
  return code;
}

int TZSQLite3PlainDriver::Step(Psqlite_vm vm, int& columnCount, const char**& values, const char**& names) {
  const int code = Fn<TStmtFn>(E::sqlite3_step)(vm);
  if (code != SQLITE_ROW_CODE && code != SQLITE_DONE_CODE) return code;
  const int count = Fn<TColumnCountFn>(E::sqlite3_column_count)(vm);
  const bool row = code == SQLITE_ROW_CODE;
  auto columnName = Fn<TColumnTextFn>(E::sqlite3_column_name);
  auto columnType = Fn<TColumnTextFn>(E::sqlite3_column_decltype);
  const char** rowValues = row ? new const char*[count + 1] : nullptr;
  const char** rowNames = new const char*[2 * (count + 1)];
  // Room for every column at once: the texts handed out must not move.
  std::vector<std::string> escaped(row ? count : 0);
  bool anyCopy = false;
  for (int i = 0; i < count; ++i) {
    rowNames[i] = columnName(vm, i);
    rowNames[count + i] = columnType(vm, i);
    if (!row) continue;
    rowValues[i] = ColumnText(vm, i, rowNames[count + i], escaped[i]);
    anyCopy = anyCopy || rowValues[i] == escaped[i].c_str();
  }
  // A statement has escaped copies only once some statement made any: rows
  // without a BLOB or a REAL skip the lock.
  if (anyCopy || anyEscaped_.load(std::memory_order_relaxed)) {
    std::lock_guard lock(escapedMutex_);
    if (!anyCopy) escaped_.erase(vm);
    else escaped_[vm] = std::move(escaped);
    anyEscaped_.store(true, std::memory_order_relaxed);
  }
  if (row) rowValues[count] = nullptr;
  rowNames[2 * count] = nullptr;
  rowNames[2 * count + 1] = nullptr;
  columnCount = count;
  values = rowValues;
  names = rowNames;
  return code;
}

int TZSQLite3PlainDriver::StepRow(Psqlite_vm vm, int count, TZSQLiteValue* values) {
  const int code = Entries().step(vm);
  if (code == SQLITE_ROW_CODE) RowValues(vm, count, values);
  return code;
}

// A text's length is asked after the text itself, so that it counts the
// bytes of that very text; the text may hold NUL bytes.
void TZSQLite3PlainDriver::RowValues(Psqlite_vm vm, int count, TZSQLiteValue* values) {
  const RowEntries& entries = Entries();
  for (int i = 0; i < count; ++i) {
    TZSQLiteValue& value = values[i];
    value.Storage = entries.type(vm, i);
    switch (value.Storage) {
      case SQLITE_INTEGER_STORAGE: value.Integer = entries.integer(vm, i); break;
      case SQLITE_FLOAT_STORAGE: value.Real = entries.real(vm, i); break;
      case SQLITE_TEXT_STORAGE:
        value.Text = entries.text(vm, i);
        value.Length = entries.bytes(vm, i);
        break;
      default: break;
    }
  }
}

// A BLOB in a binary column (written by any program) is handed out in the
// driver's escaped text, which keeps NUL and "%" bytes; a REAL in the fewest
// digits that read back as the same double (the library's own text has 15
// only); everything else as the library's text.
const char* TZSQLite3PlainDriver::ColumnText(Psqlite_vm vm, int column, const char* declaredType,
                                             std::string& copy) {
  // The storage class first: it is cheap, and most values are no BLOB.
  const int storage = Fn<TColumnIntFn>(E::sqlite3_column_type)(vm, column);
  const bool binary = storage == SQLITE_BLOB_STORAGE && DeclaredBinary(declaredType);
  if (storage != SQLITE_FLOAT_STORAGE && !binary) return Fn<TColumnTextFn>(E::sqlite3_column_text)(vm, column);
  if (!binary) {
    copy = FloatToSqlStr(Fn<TColumnDoubleFn>(E::sqlite3_column_double)(vm, column));
    return copy.c_str();
  }
  const auto* bytes = static_cast<const char*>(Fn<TColumnBlobFn>(E::sqlite3_column_blob)(vm, column));
  const int length = Fn<TColumnIntFn>(E::sqlite3_column_bytes)(vm, column);
  copy = EscapeSQLiteBytes(AnsiString(bytes ? bytes : "", bytes ? length : 0));
  return copy.c_str();
}

int TZSQLite3PlainDriver::Finalize(Psqlite_vm vm, char*& errMsg) {
  Psqlite handle = Fn<TDbHandleFn>(E::sqlite3_db_handle)(vm);
  int code = Fn<TStmtFn>(E::sqlite3_finalize)(vm);
  errMsg = FailureText(handle, code);
  std::lock_guard lock(escapedMutex_);
  escaped_.erase(vm);
  return code;
}

int TZSQLite3PlainDriver::Reset(Psqlite_vm vm, char*& errMsg) {
  int code = Fn<TStmtFn>(E::sqlite3_reset)(vm);
  errMsg = FailureText(Fn<TDbHandleFn>(E::sqlite3_db_handle)(vm), code);
  return code;
}

int TZSQLite3PlainDriver::Bind(Psqlite_vm, int, const char*, int, int) {
  throw EZSQLException(SZUnsupportedOperation);
}

void TZSQLite3PlainDriver::ProgressHandler(Psqlite handle, int instructions, TZSQLiteCallback callback,
                                           void* argument) {
  Fn<TProgressFn>(E::sqlite3_progress_handler)(handle, instructions, callback, argument);
}
void* TZSQLite3PlainDriver::CommitHook(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<THookFn>(E::sqlite3_commit_hook)(handle, callback, argument);
}

// The message is the library's memory like any other, so the caller's usual
// FreeMem is right for it too.
Psqlite TZSQLite3PlainDriver::OpenEncrypted(const char*, const void*, int, int& errorCode, char*& errMsg) {
  errorCode = SQLITE_MISUSE_CODE;
  errMsg = LibraryText(kNotUsedText);
  return nullptr;
}

int TZSQLite3PlainDriver::ReKey(Psqlite handle, const void* key, int keyLength) {
  void* address = RawEntry(E::sqlite3_rekey);
  return address ? reinterpret_cast<TKeyFn>(address)(handle, key, keyLength) : 0;
}

int TZSQLite3PlainDriver::Key(Psqlite handle, const void* key, int keyLength) {
  void* address = RawEntry(E::sqlite3_key);
  return address ? reinterpret_cast<TKeyFn>(address)(handle, key, keyLength) : 0;
}
