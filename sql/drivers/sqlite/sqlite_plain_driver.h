// The plain drivers of the SQLite libraries: IZSQLitePlainDriver is the one
// road from the driver to a library. It is the 2.8 library's compile-and-step
// interface; the 2.8 plain driver forwards to the library, the version 3 plain
// driver rebuilds the same interface over the version 3 calls, so everything
// above works unchanged with either library.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sql/core/dbc/native_library.h"

// Opaque handles of either library: a database, a compiled statement (the
// 2.8 library's virtual machine) and a user function's call context.
struct TZSQLiteDatabase;
struct TZSQLiteVM;
struct TZSQLiteContext;
using Psqlite = TZSQLiteDatabase*;
using Psqlite_vm = TZSQLiteVM*;
using Psqlite_func = TZSQLiteContext*;
// A callback handed to the library; it must have the signature that the
// loaded library's own function expects.
using TZSQLiteCallback = void (*)();

// Result codes the driver acts on.
inline constexpr int SQLITE_OK_CODE = 0;
inline constexpr int SQLITE_ERROR_CODE = 1;
inline constexpr int SQLITE_MISUSE_CODE = 21;
inline constexpr int SQLITE_ROW_CODE = 100;
inline constexpr int SQLITE_DONE_CODE = 101;

// A row array that Step handed out, owned by its receiver.
using TZSQLiteRowArray = std::unique_ptr<const char*[]>;

// Storage classes of the version 3 library.
inline constexpr int SQLITE_INTEGER_STORAGE = 1;
inline constexpr int SQLITE_FLOAT_STORAGE = 2;
inline constexpr int SQLITE_TEXT_STORAGE = 3;
inline constexpr int SQLITE_BLOB_STORAGE = 4;
inline constexpr int SQLITE_NULL_STORAGE = 5;

// A value of the current row as the library holds it: Integer for the
// integer class, Real for the float class, Text (the library's, valid until
// the next step) and its Length in bytes for the text class, which may hold
// NUL bytes of its own; nothing more for a BLOB or NULL.
struct TZSQLiteValue {
  int Storage = SQLITE_NULL_STORAGE;
  std::int64_t Integer = 0;
  double Real = 0;
  const char* Text = nullptr;
  int Length = 0;
};

// Every message a library hands out (ErrMsg arguments) belongs to the caller,
// who releases it with FreeMem of the same plain driver. An operation whose
// entry point the loaded library lacks raises "Unsupported operation", except
// OpenEncrypted, ReKey and Key, which answer null or 0.
class IZSQLitePlainDriver : public virtual IZPlainDriver {
public:
  virtual Psqlite Open(const char* fileName, int mode, char*& errMsg) = 0;
  virtual void Close(Psqlite handle) = 0;
  virtual int Execute(Psqlite handle, const char* sql, TZSQLiteCallback callback, void* argument,
                      char*& errMsg) = 0;
  virtual std::int64_t LastInsertRowId(Psqlite handle) = 0;
  virtual int Changes(Psqlite handle) = 0;
  virtual int LastStatementChanges(Psqlite handle) = 0;
  virtual const char* ErrorString(int errorCode) = 0;
  virtual void Interrupt(Psqlite handle) = 0;
  virtual int Complete(const char* sql) = 0;
  virtual void BusyHandler(Psqlite handle, TZSQLiteCallback handler, void* argument) = 0;
  virtual void BusyTimeout(Psqlite handle, int milliseconds) = 0;
  virtual int GetTable(Psqlite handle, const char* sql, char**& result, int& rowCount, int& columnCount,
                       char*& errMsg) = 0;
  virtual void FreeTable(char** result) = 0;
  virtual void FreeMem(void* pointer) = 0;
  virtual const char* LibVersion() = 0;
  virtual const char* LibEncoding() = 0;
  virtual int CreateFunction(Psqlite handle, const char* name, int argumentCount, TZSQLiteCallback function,
                             void* userData) = 0;
  virtual int CreateAggregate(Psqlite handle, const char* name, int argumentCount, TZSQLiteCallback stepFunction,
                              TZSQLiteCallback finalizeFunction, void* userData) = 0;
  virtual int FunctionType(Psqlite handle, const char* name, int dataType) = 0;
  virtual char* SetResultString(Psqlite_func context, const char* value, int length) = 0;
  virtual void SetResultInt(Psqlite_func context, int value) = 0;
  virtual void SetResultDouble(Psqlite_func context, double value) = 0;
  virtual void SetResultError(Psqlite_func context, const char* message, int length) = 0;
  virtual void* UserData(Psqlite_func context) = 0;
  virtual void* AggregateContext(Psqlite_func context, int bytes) = 0;
  virtual int AggregateCount(Psqlite_func context) = 0;
  virtual int SetAuthorizer(Psqlite handle, TZSQLiteCallback callback, void* argument) = 0;
  virtual void* Trace(Psqlite handle, TZSQLiteCallback callback, void* argument) = 0;
  virtual int Compile(Psqlite handle, const char* sql, int length, const char*& tail, Psqlite_vm& vm,
                      char*& errMsg) = 0;
  // On 100 (row) and 101 (done): columnCount N; names holds N names, N
  // declared types (null where none) and a null; values holds N texts (null
  // for NULL) and a null on 100, and is null on 101. Both arrays are made
  // with new[] and belong to the caller (TZSQLiteRowArray); the texts stay
  // the library's until the next step.
  // Any other code leaves the three arguments untouched.
  virtual int Step(Psqlite_vm vm, int& columnCount, const char**& values, const char**& names) = 0;
  // Row by row without the arrays of Step, for drivers that answer true
  // from HasTypedRows (else both raise "Unsupported operation"). StepRow
  // answers like Step and, on 100, fills values[0 .. count - 1];
  // RowValues fills them the same way for the current row, as after the
  // first Step; ColumnText gives the text Step would have handed out for a column of
  // the current row (null for NULL), kept in copy where it is not the
  // library's own.
  virtual bool HasTypedRows() = 0;
  virtual int StepRow(Psqlite_vm vm, int count, TZSQLiteValue* values) = 0;
  virtual void RowValues(Psqlite_vm vm, int count, TZSQLiteValue* values) = 0;
  virtual const char* ColumnText(Psqlite_vm vm, int column, const char* declaredType, std::string& copy) = 0;
  virtual int Finalize(Psqlite_vm vm, char*& errMsg) = 0;
  virtual int Reset(Psqlite_vm vm, char*& errMsg) = 0;
  virtual int Bind(Psqlite_vm vm, int index, const char* value, int length, int copy) = 0;
  virtual void ProgressHandler(Psqlite handle, int instructions, TZSQLiteCallback callback, void* argument) = 0;
  virtual void* CommitHook(Psqlite handle, TZSQLiteCallback callback, void* argument) = 0;
  virtual Psqlite OpenEncrypted(const char* fileName, const void* key, int keyLength, int& errorCode,
                                char*& errMsg) = 0;
  virtual int ReKey(Psqlite handle, const void* key, int keyLength) = 0;
  virtual int Key(Psqlite handle, const void* key, int keyLength) = 0;
};

class TZSQLite28PlainDriver : public TZAbstractObject, public virtual IZSQLitePlainDriver {
public:
  AnsiString GetProtocol() override { return "sqlite-2.8"; }
  AnsiString GetDescription() override { return "Native Plain Driver for SQLite 2.8"; }
  void Initialize() override;

  Psqlite Open(const char* fileName, int mode, char*& errMsg) override;
  void Close(Psqlite handle) override;
  int Execute(Psqlite handle, const char* sql, TZSQLiteCallback callback, void* argument, char*& errMsg) override;
  std::int64_t LastInsertRowId(Psqlite handle) override;
  int Changes(Psqlite handle) override;
  int LastStatementChanges(Psqlite handle) override;
  const char* ErrorString(int errorCode) override;
  void Interrupt(Psqlite handle) override;
  int Complete(const char* sql) override;
  void BusyHandler(Psqlite handle, TZSQLiteCallback handler, void* argument) override;
  void BusyTimeout(Psqlite handle, int milliseconds) override;
  int GetTable(Psqlite handle, const char* sql, char**& result, int& rowCount, int& columnCount,
               char*& errMsg) override;
  void FreeTable(char** result) override;
  void FreeMem(void* pointer) override;
  const char* LibVersion() override;
  const char* LibEncoding() override;
  int CreateFunction(Psqlite handle, const char* name, int argumentCount, TZSQLiteCallback function,
                     void* userData) override;
  int CreateAggregate(Psqlite handle, const char* name, int argumentCount, TZSQLiteCallback stepFunction,
                      TZSQLiteCallback finalizeFunction, void* userData) override;
  int FunctionType(Psqlite handle, const char* name, int dataType) override;
  char* SetResultString(Psqlite_func context, const char* value, int length) override;
  void SetResultInt(Psqlite_func context, int value) override;
  void SetResultDouble(Psqlite_func context, double value) override;
  void SetResultError(Psqlite_func context, const char* message, int length) override;
  void* UserData(Psqlite_func context) override;
  void* AggregateContext(Psqlite_func context, int bytes) override;
  int AggregateCount(Psqlite_func context) override;
  int SetAuthorizer(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  void* Trace(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  // The library reads the text up to its NUL; length is not passed.
  int Compile(Psqlite handle, const char* sql, int length, const char*& tail, Psqlite_vm& vm,
              char*& errMsg) override;
  // The library's arrays belong to its machine: they are copied into new ones.
  int Step(Psqlite_vm vm, int& columnCount, const char**& values, const char**& names) override;
  // The 2.8 library hands out texts only.
  bool HasTypedRows() override { return false; }
  int StepRow(Psqlite_vm vm, int count, TZSQLiteValue* values) override;
  void RowValues(Psqlite_vm vm, int count, TZSQLiteValue* values) override;
  const char* ColumnText(Psqlite_vm vm, int column, const char* declaredType, std::string& copy) override;
  int Finalize(Psqlite_vm vm, char*& errMsg) override;
  int Reset(Psqlite_vm vm, char*& errMsg) override;
  int Bind(Psqlite_vm vm, int index, const char* value, int length, int copy) override;
  void ProgressHandler(Psqlite handle, int instructions, TZSQLiteCallback callback, void* argument) override;
  void* CommitHook(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  Psqlite OpenEncrypted(const char* fileName, const void* key, int keyLength, int& errorCode,
                        char*& errMsg) override;
  int ReKey(Psqlite handle, const void* key, int keyLength) override;
  int Key(Psqlite handle, const void* key, int keyLength) override;
};

class TZSQLite3PlainDriver : public TZAbstractObject, public virtual IZSQLitePlainDriver {
public:
  AnsiString GetProtocol() override { return "sqlite-3"; }
  AnsiString GetDescription() override { return "Native Plain Driver for SQLite 3"; }
  void Initialize() override;

  // The file name goes to the library in UTF-8. A failed open closes the
  // handle the library made anyway and returns null, with the library's
  // text in errMsg.
  Psqlite Open(const char* fileName, int mode, char*& errMsg) override;
  void Close(Psqlite handle) override;
  // Sets errMsg to null first.
  int Execute(Psqlite handle, const char* sql, TZSQLiteCallback callback, void* argument, char*& errMsg) override;
  std::int64_t LastInsertRowId(Psqlite handle) override;
  int Changes(Psqlite handle) override;
  // 21: the library has no such count.
  int LastStatementChanges(Psqlite handle) override;
  // The binding's own texts for 0 to 26; "unknown error" for any other code.
  const char* ErrorString(int errorCode) override;
  void Interrupt(Psqlite handle) override;
  int Complete(const char* sql) override;
  void BusyHandler(Psqlite handle, TZSQLiteCallback handler, void* argument) override;
  void BusyTimeout(Psqlite handle, int milliseconds) override;
  int GetTable(Psqlite handle, const char* sql, char**& result, int& rowCount, int& columnCount,
               char*& errMsg) override;
  void FreeTable(char** result) override;
  void FreeMem(void* pointer) override;
  const char* LibVersion() override;
  // Null: the library has no single encoding text.
  const char* LibEncoding() override { return nullptr; }
  // The three answer 21; the library is not called.
  int CreateFunction(Psqlite, const char*, int, TZSQLiteCallback, void*) override { return SQLITE_MISUSE_CODE; }
  int CreateAggregate(Psqlite, const char*, int, TZSQLiteCallback, TZSQLiteCallback, void*) override {
    return SQLITE_MISUSE_CODE;
  }
  int FunctionType(Psqlite, const char*, int) override { return SQLITE_MISUSE_CODE; }
  // Returns null.
  char* SetResultString(Psqlite_func context, const char* value, int length) override;
  void SetResultInt(Psqlite_func context, int value) override;
  void SetResultDouble(Psqlite_func context, double value) override;
  void SetResultError(Psqlite_func context, const char* message, int length) override;
  void* UserData(Psqlite_func context) override;
  void* AggregateContext(Psqlite_func context, int bytes) override;
  int AggregateCount(Psqlite_func context) override;
  int SetAuthorizer(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  void* Trace(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  // The text is read up to its NUL (length is not used); tail is set to what
  // follows the first statement; errMsg is the library's text of a failure.
  int Compile(Psqlite handle, const char* sql, int length, const char*& tail, Psqlite_vm& vm,
              char*& errMsg) override;
  int Step(Psqlite_vm vm, int& columnCount, const char**& values, const char**& names) override;
  bool HasTypedRows() override { return true; }
  int StepRow(Psqlite_vm vm, int count, TZSQLiteValue* values) override;
  void RowValues(Psqlite_vm vm, int count, TZSQLiteValue* values) override;
  const char* ColumnText(Psqlite_vm vm, int column, const char* declaredType, std::string& copy) override;
  // Both hand out the library's text of a failure in errMsg, else null.
  int Finalize(Psqlite_vm vm, char*& errMsg) override;
  int Reset(Psqlite_vm vm, char*& errMsg) override;
  // The library has no such call: "Unsupported operation".
  int Bind(Psqlite_vm vm, int index, const char* value, int length, int copy) override;
  void ProgressHandler(Psqlite handle, int instructions, TZSQLiteCallback callback, void* argument) override;
  void* CommitHook(Psqlite handle, TZSQLiteCallback callback, void* argument) override;
  // Null, with code 21 and a message (to be freed like any other).
  Psqlite OpenEncrypted(const char* fileName, const void* key, int keyLength, int& errorCode,
                        char*& errMsg) override;
  int ReKey(Psqlite handle, const void* key, int keyLength) override;
  int Key(Psqlite handle, const void* key, int keyLength) override;

private:
  // The escaped copies of a statement's current row, valid like the
  // library's own texts until its next step or its finalization.
  std::mutex escapedMutex_;
  std::map<Psqlite_vm, std::vector<std::string>> escaped_;
  std::atomic<bool> anyEscaped_{false};
};
