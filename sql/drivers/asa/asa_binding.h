// The run-time binding of the embedded-SQL client: the 43 entry points
// looked up by name, and one loader per client generation, each with its
// own table and its own library file. The driver never links the library,
// so a machine without it gets a clear error only when it connects.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// Every entry point, in the order the loader looks them up.
#define VX_ASA_ENTRY_POINTS(X)                                                                               \
  X(sqlerror_message) X(db_init) X(db_fini) X(db_string_connect) X(db_string_disconnect) X(db_find_engine)      \
  X(db_start_engine) X(db_stop_engine) X(db_start_database) X(db_stop_database) X(alloc_sqlda) X(fill_sqlda)   \
  X(fill_s_sqlda) X(free_filled_sqlda) X(free_sqlda) X(free_sqlda_noind) X(dbpp_setconnect) X(dbpp_disconnect) \
  X(dbpp_prepare_into) X(dbpp_describe_cursor) X(dbpp_prepare_describe) X(dbpp_select) X(dbpp_open)           \
  X(dbpp_close) X(dbpp_fetch) X(dbpp_declare) X(dbpp_dropstmt) X(dbpp_describe) X(dbpp_delete) X(dbpp_update) \
  X(dbpp_put_into) X(dbpp_put_array) X(dbpp_execute_imm) X(dbpp_commit) X(dbpp_rollback) X(dbpp_execute_into) \
  X(dbpp_get_data) X(dbpp_explain) X(dbpp_setoption) X(dbpp_fetch_array) X(db_register_a_callback)            \
  X(dbpp_resume) X(db_cancel_request)

enum class TZASAEntry : int {
  VX_ASA_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kASAEntryCount = 43;

// The exported name of an entry point.

// Loads one generation's library and fills its table: one address per entry
// point, null for each name the library does not export.
class TZASANativeLibraryLoader : public TZEntryTableLoader {
public:
  explicit TZASANativeLibraryLoader(std::vector<AnsiString> libraryNames);

  void* Entry(TZASAEntry entry) const { return EntryAt(static_cast<int>(entry)); }
};

// The program's loader of a client generation (7, 8 or 9), made on first use
// with "libdblib<version>.so" and freed at the program's end.
TZASANativeLibraryLoader& ASALibraryLoader(int version);
