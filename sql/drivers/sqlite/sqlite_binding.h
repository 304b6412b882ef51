// The run-time binding of the SQLite libraries, 2.8 and 3: the entry points
// looked up by name and one loader per library generation. The driver never
// links the library, so a machine without it runs the rest of the system and
// gets a clear error only when it opens a database.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// The 2.8 library's entry points, in the order they are looked up.
#define VX_SQLITE28_ENTRY_POINTS(X)                                                                              \
  X(sqlite_open) X(sqlite_close) X(sqlite_exec) X(sqlite_last_insert_rowid) X(sqlite_changes)                    \
  X(sqlite_last_statement_changes) X(sqlite_error_string) X(sqlite_interrupt) X(sqlite_complete)                 \
  X(sqlite_busy_handler) X(sqlite_busy_timeout) X(sqlite_get_table) X(sqlite_free_table) X(sqlite_freemem)       \
  X(sqlite_libversion) X(sqlite_libencoding) X(sqlite_create_function) X(sqlite_create_aggregate)                \
  X(sqlite_function_type) X(sqlite_set_result_string) X(sqlite_set_result_int) X(sqlite_set_result_double)       \
  X(sqlite_set_result_error) X(sqlite_user_data) X(sqlite_aggregate_context) X(sqlite_aggregate_count)           \
  X(sqlite_set_authorizer) X(sqlite_trace) X(sqlite_compile) X(sqlite_step) X(sqlite_finalize) X(sqlite_reset)   \
  X(sqlite_bind) X(sqlite_progress_handler) X(sqlite_commit_hook) X(sqlite_open_encrypted) X(sqlite_rekey)       \
  X(sqlite_key)

// The version 3 library's entry points, in the order they are looked up.
// sqlite3_mprintf copies the library's messages into memory the caller frees
// with sqlite3_free, as it frees every other message of the library; the
// last six read a value's storage class, its bytes and its double, the
// database of a statement for its message, and a value's 64-bit integer.
#define VX_SQLITE3_ENTRY_POINTS(X)                                                                                \
  X(sqlite3_open) X(sqlite3_close) X(sqlite3_column_count) X(sqlite3_column_text) X(sqlite3_column_name)          \
  X(sqlite3_column_decltype) X(sqlite3_exec) X(sqlite3_last_insert_rowid) X(sqlite3_changes) X(sqlite3_errmsg)     \
  X(sqlite3_interrupt) X(sqlite3_complete) X(sqlite3_busy_handler) X(sqlite3_busy_timeout) X(sqlite3_get_table)    \
  X(sqlite3_free_table) X(sqlite3_free) X(sqlite3_libversion) X(sqlite3_result_string) X(sqlite3_result_int)       \
  X(sqlite3_result_double) X(sqlite3_result_error) X(sqlite3_user_data) X(sqlite3_aggregate_context)              \
  X(sqlite3_aggregate_count) X(sqlite3_set_authorizer) X(sqlite3_trace) X(sqlite3_prepare) X(sqlite3_step)         \
  X(sqlite3_finalize) X(sqlite3_reset) X(sqlite3_progress_handler) X(sqlite3_commit_hook) X(sqlite3_rekey)         \
  X(sqlite3_key) X(sqlite3_mprintf) X(sqlite3_column_type) X(sqlite3_column_blob) X(sqlite3_column_bytes)           \
  X(sqlite3_db_handle) X(sqlite3_column_double) X(sqlite3_column_int64)

enum class TZSQLite28Entry : int {
  VX_SQLITE28_ENTRY_POINTS(VX_ENTRY_ENUM)
};

enum class TZSQLite3Entry : int {
  VX_SQLITE3_ENTRY_POINTS(VX_ENTRY_ENUM)
};

// A loader of one library generation; its table holds one address per entry
// point, null for those the loaded library does not export.
using TZSQLiteNativeLibraryLoader = TZEntryTableLoader;

// The program's two loaders, made on first use and freed at its end. Tests
// may change their file names (SetLibraries) before the first open.
TZSQLiteNativeLibraryLoader& SQLite28LibraryLoader();
TZSQLiteNativeLibraryLoader& SQLite3LibraryLoader();
