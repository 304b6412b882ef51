// The 2.8 plain driver: every operation forwards to the library function of
// the same purpose. The library publishes no header here, so the function
// types are declared below from its documented C interface.

#include <cstring>

#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/sqlite/sqlite_binding.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"

namespace {

using TOpenFn = Psqlite (*)(const char*, int, char**);
using TCloseFn = void (*)(Psqlite);
using TExecFn = int (*)(Psqlite, const char*, TZSQLiteCallback, void*, char**);
using THandleIntFn = int (*)(Psqlite);
using TErrorStringFn = const char* (*)(int);
using THandleVoidFn = void (*)(Psqlite);
using TCompleteFn = int (*)(const char*);
using TCallbackFn = void (*)(Psqlite, TZSQLiteCallback, void*);
using TBusyTimeoutFn = void (*)(Psqlite, int);
using TGetTableFn = int (*)(Psqlite, const char*, char***, int*, int*, char**);
using TFreeTableFn = void (*)(char**);
using TFreeMemFn = void (*)(void*);
using TTextFn = const char* (*)();
using TCreateFunctionFn = int (*)(Psqlite, const char*, int, TZSQLiteCallback, void*);
using TCreateAggregateFn = int (*)(Psqlite, const char*, int, TZSQLiteCallback, TZSQLiteCallback, void*);
using TFunctionTypeFn = int (*)(Psqlite, const char*, int);
using TSetResultStringFn = char* (*)(Psqlite_func, const char*, int);
using TSetResultIntFn = void (*)(Psqlite_func, int);
using TSetResultDoubleFn = void (*)(Psqlite_func, double);
using TSetResultErrorFn = void (*)(Psqlite_func, const char*, int);
using TUserDataFn = void* (*)(Psqlite_func);
using TAggregateContextFn = void* (*)(Psqlite_func, int);
using TAggregateCountFn = int (*)(Psqlite_func);
using TSetAuthorizerFn = int (*)(Psqlite, TZSQLiteCallback, void*);
using THookFn = void* (*)(Psqlite, TZSQLiteCallback, void*);
using TCompileFn = int (*)(Psqlite, const char*, const char**, Psqlite_vm*, char**);
using TStepFn = int (*)(Psqlite_vm, int*, const char***, const char***);
using TFinishFn = int (*)(Psqlite_vm, char**);
using TBindFn = int (*)(Psqlite_vm, int, const char*, int, int);
using TProgressFn = void (*)(Psqlite, int, TZSQLiteCallback, void*);
using TOpenEncryptedFn = Psqlite (*)(const char*, const void*, int, int*, char**);
using TKeyFn = int (*)(Psqlite, const void*, int);

void* RawEntry(TZSQLite28Entry entry) { return SQLite28LibraryLoader().EntryAt(static_cast<int>(entry)); }

template <typename F>
F Fn(TZSQLite28Entry entry) {
  return reinterpret_cast<F>(SQLite28LibraryLoader().RequiredEntry(static_cast<int>(entry)));
}

// A copy of count pointers of the library's array followed by a null.
const char** CopyRowArray(const char** source, int count) {
  auto* copy = new const char*[count + 1];
  if (source) std::memcpy(copy, source, sizeof(const char*) * count);
  else std::memset(copy, 0, sizeof(const char*) * count);
  copy[count] = nullptr;
  return copy;
}

}  // namespace

using E = TZSQLite28Entry;

void TZSQLite28PlainDriver::Initialize() { SQLite28LibraryLoader().LoadIfNeeded(); }

Psqlite TZSQLite28PlainDriver::Open(const char* fileName, int mode, char*& errMsg) {
  return Fn<TOpenFn>(E::sqlite_open)(fileName, mode, &errMsg);
}
void TZSQLite28PlainDriver::Close(Psqlite handle) { Fn<TCloseFn>(E::sqlite_close)(handle); }
int TZSQLite28PlainDriver::Execute(Psqlite handle, const char* sql, TZSQLiteCallback callback, void* argument,
                                   char*& errMsg) {
  return Fn<TExecFn>(E::sqlite_exec)(handle, sql, callback, argument, &errMsg);
}
std::int64_t TZSQLite28PlainDriver::LastInsertRowId(Psqlite handle) {
  return Fn<THandleIntFn>(E::sqlite_last_insert_rowid)(handle);
}
int TZSQLite28PlainDriver::Changes(Psqlite handle) { return Fn<THandleIntFn>(E::sqlite_changes)(handle); }
int TZSQLite28PlainDriver::LastStatementChanges(Psqlite handle) {
  return Fn<THandleIntFn>(E::sqlite_last_statement_changes)(handle);
}
const char* TZSQLite28PlainDriver::ErrorString(int errorCode) {
  return Fn<TErrorStringFn>(E::sqlite_error_string)(errorCode);
}
void TZSQLite28PlainDriver::Interrupt(Psqlite handle) { Fn<THandleVoidFn>(E::sqlite_interrupt)(handle); }
int TZSQLite28PlainDriver::Complete(const char* sql) { return Fn<TCompleteFn>(E::sqlite_complete)(sql); }
void TZSQLite28PlainDriver::BusyHandler(Psqlite handle, TZSQLiteCallback handler, void* argument) {
  Fn<TCallbackFn>(E::sqlite_busy_handler)(handle, handler, argument);
}
void TZSQLite28PlainDriver::BusyTimeout(Psqlite handle, int milliseconds) {
  Fn<TBusyTimeoutFn>(E::sqlite_busy_timeout)(handle, milliseconds);
}
int TZSQLite28PlainDriver::GetTable(Psqlite handle, const char* sql, char**& result, int& rowCount,
                                    int& columnCount, char*& errMsg) {
  return Fn<TGetTableFn>(E::sqlite_get_table)(handle, sql, &result, &rowCount, &columnCount, &errMsg);
}
void TZSQLite28PlainDriver::FreeTable(char** result) { Fn<TFreeTableFn>(E::sqlite_free_table)(result); }
void TZSQLite28PlainDriver::FreeMem(void* pointer) { Fn<TFreeMemFn>(E::sqlite_freemem)(pointer); }
const char* TZSQLite28PlainDriver::LibVersion() { return Fn<TTextFn>(E::sqlite_libversion)(); }
const char* TZSQLite28PlainDriver::LibEncoding() { return Fn<TTextFn>(E::sqlite_libencoding)(); }
int TZSQLite28PlainDriver::CreateFunction(Psqlite handle, const char* name, int argumentCount,
                                          TZSQLiteCallback function, void* userData) {
  return Fn<TCreateFunctionFn>(E::sqlite_create_function)(handle, name, argumentCount, function, userData);
}
int TZSQLite28PlainDriver::CreateAggregate(Psqlite handle, const char* name, int argumentCount,
                                           TZSQLiteCallback stepFunction, TZSQLiteCallback finalizeFunction,
                                           void* userData) {
  return Fn<TCreateAggregateFn>(E::sqlite_create_aggregate)(handle, name, argumentCount, stepFunction,
                                                             finalizeFunction, userData);
}
int TZSQLite28PlainDriver::FunctionType(Psqlite handle, const char* name, int dataType) {
  return Fn<TFunctionTypeFn>(E::sqlite_function_type)(handle, name, dataType);
}
char* TZSQLite28PlainDriver::SetResultString(Psqlite_func context, const char* value, int length) {
  return Fn<TSetResultStringFn>(E::sqlite_set_result_string)(context, value, length);
}
void TZSQLite28PlainDriver::SetResultInt(Psqlite_func context, int value) {
  Fn<TSetResultIntFn>(E::sqlite_set_result_int)(context, value);
}
void TZSQLite28PlainDriver::SetResultDouble(Psqlite_func context, double value) {
  Fn<TSetResultDoubleFn>(E::sqlite_set_result_double)(context, value);
}
void TZSQLite28PlainDriver::SetResultError(Psqlite_func context, const char* message, int length) {
  Fn<TSetResultErrorFn>(E::sqlite_set_result_error)(context, message, length);
}
void* TZSQLite28PlainDriver::UserData(Psqlite_func context) { return Fn<TUserDataFn>(E::sqlite_user_data)(context); }
void* TZSQLite28PlainDriver::AggregateContext(Psqlite_func context, int bytes) {
  return Fn<TAggregateContextFn>(E::sqlite_aggregate_context)(context, bytes);
}
int TZSQLite28PlainDriver::AggregateCount(Psqlite_func context) {
  return Fn<TAggregateCountFn>(E::sqlite_aggregate_count)(context);
}
int TZSQLite28PlainDriver::SetAuthorizer(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<TSetAuthorizerFn>(E::sqlite_set_authorizer)(handle, callback, argument);
}
void* TZSQLite28PlainDriver::Trace(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<THookFn>(E::sqlite_trace)(handle, callback, argument);
}
int TZSQLite28PlainDriver::Compile(Psqlite handle, const char* sql, int, const char*& tail, Psqlite_vm& vm,
                                   char*& errMsg) {
  return Fn<TCompileFn>(E::sqlite_compile)(handle, sql, &tail, &vm, &errMsg);
}

int TZSQLite28PlainDriver::Step(Psqlite_vm vm, int& columnCount, const char**& values, const char**& names) {
  int count = 0;
  const char** libraryValues = nullptr;
  const char** libraryNames = nullptr;
  int code = Fn<TStepFn>(E::sqlite_step)(vm, &count, &libraryValues, &libraryNames);
  if (code != SQLITE_ROW_CODE && code != SQLITE_DONE_CODE) return code;
  columnCount = count;
  values = code == SQLITE_ROW_CODE ? CopyRowArray(libraryValues, count) : nullptr;
  // Names and declared types: the connection turns show_datatypes on.
  names = CopyRowArray(libraryNames, 2 * count);
  return code;
}

int TZSQLite28PlainDriver::Finalize(Psqlite_vm vm, char*& errMsg) {
  return Fn<TFinishFn>(E::sqlite_finalize)(vm, &errMsg);
}
int TZSQLite28PlainDriver::StepRow(Psqlite_vm, int, TZSQLiteValue*) { throw EZSQLException(SZUnsupportedOperation); }
void TZSQLite28PlainDriver::RowValues(Psqlite_vm, int, TZSQLiteValue*) { throw EZSQLException(SZUnsupportedOperation); }
const char* TZSQLite28PlainDriver::ColumnText(Psqlite_vm, int, const char*, std::string&) {
  throw EZSQLException(SZUnsupportedOperation);
}
int TZSQLite28PlainDriver::Reset(Psqlite_vm vm, char*& errMsg) { return Fn<TFinishFn>(E::sqlite_reset)(vm, &errMsg); }
int TZSQLite28PlainDriver::Bind(Psqlite_vm vm, int index, const char* value, int length, int copy) {
  return Fn<TBindFn>(E::sqlite_bind)(vm, index, value, length, copy);
}
void TZSQLite28PlainDriver::ProgressHandler(Psqlite handle, int instructions, TZSQLiteCallback callback,
                                            void* argument) {
  Fn<TProgressFn>(E::sqlite_progress_handler)(handle, instructions, callback, argument);
}
void* TZSQLite28PlainDriver::CommitHook(Psqlite handle, TZSQLiteCallback callback, void* argument) {
  return Fn<THookFn>(E::sqlite_commit_hook)(handle, callback, argument);
}

Psqlite TZSQLite28PlainDriver::OpenEncrypted(const char* fileName, const void* key, int keyLength, int& errorCode,
                                             char*& errMsg) {
  void* address = RawEntry(E::sqlite_open_encrypted);
  if (!address) return nullptr;
  return reinterpret_cast<TOpenEncryptedFn>(address)(fileName, key, keyLength, &errorCode, &errMsg);
}

int TZSQLite28PlainDriver::ReKey(Psqlite handle, const void* key, int keyLength) {
  void* address = RawEntry(E::sqlite_rekey);
  return address ? reinterpret_cast<TKeyFn>(address)(handle, key, keyLength) : 0;
}

int TZSQLite28PlainDriver::Key(Psqlite handle, const void* key, int keyLength) {
  void* address = RawEntry(E::sqlite_key);
  return address ? reinterpret_cast<TKeyFn>(address)(handle, key, keyLength) : 0;
}
