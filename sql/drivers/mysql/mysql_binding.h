// The run-time binding of the MySQL client library: the entry points looked up
// by name and the loaders that find the library by a list of file names. The
// driver never links the library, so a machine without it still runs the rest
// of the system and gets a clear error only when it connects.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// Every client function the binding looks up, in table order. The 5 loaders
// bind the last one too; the 4.1 loaders stop before it.
#define VX_MYSQL_ENTRY_POINTS(X)                                                                          \
  X(mysql_affected_rows) X(mysql_character_set_name) X(mysql_close) X(mysql_connect) X(mysql_create_db)    \
  X(mysql_data_seek) X(mysql_debug) X(mysql_drop_db) X(mysql_dump_debug_info) X(mysql_eof) X(mysql_errno)  \
  X(mysql_error) X(mysql_escape_string) X(mysql_fetch_field) X(mysql_fetch_field_direct)                   \
  X(mysql_fetch_fields) X(mysql_fetch_lengths) X(mysql_fetch_row) X(mysql_field_seek) X(mysql_field_tell)   \
  X(mysql_free_result) X(mysql_get_client_info) X(mysql_get_host_info) X(mysql_get_proto_info)             \
  X(mysql_get_server_info) X(mysql_info) X(mysql_init) X(mysql_insert_id) X(mysql_kill) X(mysql_list_dbs)   \
  X(mysql_list_fields) X(mysql_list_processes) X(mysql_list_tables) X(mysql_num_fields) X(mysql_num_rows)   \
  X(mysql_options) X(mysql_ping) X(mysql_query) X(mysql_real_connect) X(mysql_real_escape_string)           \
  X(mysql_real_query) X(mysql_refresh) X(mysql_row_seek) X(mysql_row_tell) X(mysql_select_db)               \
  X(mysql_shutdown) X(mysql_ssl_set) X(mysql_stat) X(mysql_store_result) X(mysql_thread_id)                 \
  X(mysql_use_result) X(my_init) X(mysql_thread_init) X(mysql_thread_end) X(mysql_thread_safe)              \
  X(mysql_server_init) X(mysql_server_end) X(mysql_change_user) X(mysql_field_count)                        \
  X(mysql_get_client_version) X(mysql_send_query) X(mysql_read_query_result) X(mysql_master_query)          \
  X(mysql_master_send_query) X(mysql_slave_query) X(mysql_slave_send_query) X(mysql_enable_rpl_parse)       \
  X(mysql_disable_rpl_parse) X(mysql_rpl_parse_enabled) X(mysql_enable_reads_from_master)                   \
  X(mysql_disable_reads_from_master) X(mysql_reads_from_master_enabled) X(mysql_rpl_query_type)             \
  X(mysql_rpl_probe) X(mysql_set_master) X(mysql_add_slave) X(mysql_manager_init) X(mysql_manager_connect)  \
  X(mysql_manager_close) X(mysql_manager_command) X(mysql_manager_fetch_line) X(mysql_autocommit)           \
  X(mysql_commit) X(mysql_get_server_version) X(mysql_hex_string) X(mysql_more_results)                     \
  X(mysql_next_result) X(mysql_rollback) X(mysql_set_character_set) X(mysql_set_server_option)              \
  X(mysql_sqlstate) X(mysql_warning_count) X(mysql_stmt_affected_rows) X(mysql_stmt_attr_get)               \
  X(mysql_stmt_attr_set) X(mysql_stmt_bind_param) X(mysql_stmt_bind_result) X(mysql_stmt_close)             \
  X(mysql_stmt_data_seek) X(mysql_stmt_errno) X(mysql_stmt_error) X(mysql_stmt_execute) X(mysql_stmt_fetch) \
  X(mysql_stmt_fetch_column) X(mysql_stmt_field_count) X(mysql_stmt_free_result) X(mysql_stmt_init)         \
  X(mysql_stmt_insert_id) X(mysql_stmt_num_rows) X(mysql_stmt_param_count) X(mysql_stmt_param_metadata)     \
  X(mysql_stmt_prepare) X(mysql_stmt_reset) X(mysql_stmt_result_metadata) X(mysql_stmt_row_seek)            \
  X(mysql_stmt_row_tell) X(mysql_stmt_send_long_data) X(mysql_stmt_sqlstate) X(mysql_stmt_store_result)     \
  X(mysql_get_character_set_info)

// The index of each entry point in a binding's table.
enum class TZMySQLEntry : int {
  VX_MYSQL_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kMySQL41EntryCount = 119;
inline constexpr int kMySQL5EntryCount = 120;

// The exported name of an entry point.
const char* MySQLEntryName(TZMySQLEntry entry);

using TZMySQLEntryTable = std::vector<void*>;

// A loader of one client library flavour; its table holds one address per
// entry point, null for those the loaded library does not export.
class TZMySQLNativeLibraryLoader : public TZEntryTableLoader {
public:
  TZMySQLNativeLibraryLoader(std::vector<AnsiString> libraryNames, int entryCount);
  // A library that was loaded is shut down (mysql_server_end) before it is freed.
  ~TZMySQLNativeLibraryLoader() override;
};

// The four loaders of the program, made on first use and freed at its end.
// Tests may change their file names (SetLibraries) before the first connect.
TZMySQLNativeLibraryLoader& MySQL41ClientLoader();
TZMySQLNativeLibraryLoader& MySQL5ClientLoader();
TZMySQLNativeLibraryLoader& MySQL41EmbeddedLoader();
TZMySQLNativeLibraryLoader& MySQL5EmbeddedLoader();
