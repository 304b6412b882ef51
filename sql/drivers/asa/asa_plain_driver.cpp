// The plain drivers: each operation takes its entry point from its
// generation's table, typed by the prototype in asa_api.h, and calls it.
// The client's text arguments are not const; it never writes them.

#include "sql/drivers/asa/asa_plain_driver.h"

#include "sql/drivers/asa/asa_binding.h"

namespace {

char* Text(const char* text) { return const_cast<char*>(text); }

}  // namespace

// The bound address of entry, or EZSQLException naming the function: a call
// must never go through a null address.
void* TZASAPlainDriver::RequireEntry(int entry) const {
  return ASALibraryLoader(version_).NamedEntry(entry);
}

// The typed entry point of a call that asa_api.h declares.
#define VX_ASA(name) reinterpret_cast<decltype(&::name)>(RequireEntry(static_cast<int>(TZASAEntry::name)))

void TZASAPlainDriver::Initialize() { ASALibraryLoader(version_).LoadIfNeeded(); }

char* TZASAPlainDriver::sqlerror_message(SQLCA* sqlca, char* buffer, int size) {
  return VX_ASA(sqlerror_message)(sqlca, buffer, size);
}
unsigned short TZASAPlainDriver::db_init(SQLCA* sqlca) { return VX_ASA(db_init)(sqlca); }
unsigned short TZASAPlainDriver::db_fini(SQLCA* sqlca) { return VX_ASA(db_fini)(sqlca); }
unsigned TZASAPlainDriver::db_string_connect(SQLCA* sqlca, const char* text) {
  return VX_ASA(db_string_connect)(sqlca, Text(text));
}
unsigned TZASAPlainDriver::db_string_disconnect(SQLCA* sqlca, const char* text) {
  return VX_ASA(db_string_disconnect)(sqlca, Text(text));
}
SQLDA* TZASAPlainDriver::alloc_sqlda(unsigned count) { return VX_ASA(alloc_sqlda)(count); }
SQLDA* TZASAPlainDriver::free_sqlda(SQLDA* sqlda) { return VX_ASA(free_sqlda)(sqlda); }
void TZASAPlainDriver::dbpp_setoption(SQLCA* sqlca, int temporary, const char* user, const char* option,
                                      SQLDA* value) {
  VX_ASA(dbpp_setoption)(sqlca, temporary, Text(user), Text(option), value);
}
void TZASAPlainDriver::dbpp_describe_cursor(SQLCA* sqlca, const char* cursor, SQLDA* descriptor, unsigned kind) {
  VX_ASA(dbpp_describe_cursor)(sqlca, Text(cursor), descriptor, kind);
}
void TZASAPlainDriver::dbpp_prepare_describe(SQLCA* sqlca, const char* statementName, short* statementNumber,
                                             const char* sql, SQLDA* descriptor, unsigned flags, short longNames) {
  VX_ASA(dbpp_prepare_describe)(sqlca, nullptr, Text(statementName), statementNumber, Text(sql), nullptr,
                                descriptor, flags, longNames);
}
void TZASAPlainDriver::dbpp_describe(SQLCA* sqlca, const char* statementName, short* statementNumber,
                                     SQLDA* descriptor, short kind) {
  VX_ASA(dbpp_describe)(sqlca, nullptr, Text(statementName), statementNumber, descriptor, kind);
}
void TZASAPlainDriver::dbpp_dropstmt(SQLCA* sqlca, const char* statementName, const char* progname,
                                     short* statementNumber) {
  VX_ASA(dbpp_dropstmt)(sqlca, Text(statementName), Text(progname), statementNumber);
}
void TZASAPlainDriver::dbpp_open(SQLCA* sqlca, const char* cursor, const char* statementName,
                                 short* statementNumber, SQLDA* input, short blockSize, short isolation,
                                 short options) {
  VX_ASA(dbpp_open)(sqlca, Text(cursor), nullptr, Text(statementName), statementNumber, input, blockSize,
                    isolation, options);
}
void TZASAPlainDriver::dbpp_close(SQLCA* sqlca, const char* cursor) { VX_ASA(dbpp_close)(sqlca, Text(cursor)); }
void TZASAPlainDriver::dbpp_fetch(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor,
                                  short blockSize, short flags) {
  VX_ASA(dbpp_fetch)(sqlca, Text(cursor), kind, offset, descriptor, blockSize, flags);
}
void TZASAPlainDriver::dbpp_get_data(SQLCA* sqlca, const char* cursor, short column, int offset,
                                     SQLDA* descriptor) {
  VX_ASA(dbpp_get_data)(sqlca, Text(cursor), column, offset, descriptor, 0);
}
void TZASAPlainDriver::dbpp_delete(SQLCA* sqlca, const char* cursor) {
  VX_ASA(dbpp_delete)(sqlca, Text(cursor), nullptr, nullptr);
}
void TZASAPlainDriver::dbpp_update(SQLCA* sqlca, const char* cursor, SQLDA* values) {
  VX_ASA(dbpp_update)(sqlca, Text(cursor), values);
}
void TZASAPlainDriver::dbpp_put_into(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result) {
  VX_ASA(dbpp_put_into)(sqlca, Text(cursor), values, result);
}
void TZASAPlainDriver::dbpp_execute_into(SQLCA* sqlca, const char* statementName, const char* progname,
                                         short* statementNumber, SQLDA* input, SQLDA* output) {
  VX_ASA(dbpp_execute_into)(sqlca, Text(statementName), Text(progname), statementNumber, input, output);
}
void TZASAPlainDriver::dbpp_execute_imm(SQLCA* sqlca, const char* sql) {
  VX_ASA(dbpp_execute_imm)(sqlca, Text(sql), kExecuteImmediateFlag);
}
void TZASAPlainDriver::dbpp_commit(SQLCA* sqlca, int flag) { VX_ASA(dbpp_commit)(sqlca, flag); }
void TZASAPlainDriver::dbpp_rollback(SQLCA* sqlca, int flag) { VX_ASA(dbpp_rollback)(sqlca, flag); }
void TZASAPlainDriver::dbpp_resume(SQLCA* sqlca, const char* cursor) { VX_ASA(dbpp_resume)(sqlca, Text(cursor)); }
void TZASAPlainDriver::db_cancel_request(SQLCA* sqlca) { VX_ASA(db_cancel_request)(sqlca); }
unsigned short TZASAPlainDriver::db_find_engine(SQLCA* sqlca, const char* name) {
  return VX_ASA(db_find_engine)(sqlca, Text(name));
}
unsigned TZASAPlainDriver::db_start_engine(SQLCA* sqlca, const char* parameters) {
  return VX_ASA(db_start_engine)(sqlca, Text(parameters));
}
unsigned TZASAPlainDriver::db_stop_engine(SQLCA* sqlca, const char* parameters) {
  return VX_ASA(db_stop_engine)(sqlca, Text(parameters));
}
unsigned TZASAPlainDriver::db_start_database(SQLCA* sqlca, const char* parameters) {
  return VX_ASA(db_start_database)(sqlca, Text(parameters));
}
unsigned TZASAPlainDriver::db_stop_database(SQLCA* sqlca, const char* parameters) {
  return VX_ASA(db_stop_database)(sqlca, Text(parameters));
}
SQLDA* TZASAPlainDriver::fill_sqlda(SQLDA* sqlda) { return VX_ASA(fill_sqlda)(sqlda); }
SQLDA* TZASAPlainDriver::fill_s_sqlda(SQLDA* sqlda, unsigned maxLength) {
  return VX_ASA(fill_s_sqlda)(sqlda, maxLength);
}
void TZASAPlainDriver::free_sqlda_noind(SQLDA* sqlda) { VX_ASA(free_sqlda_noind)(sqlda); }
void TZASAPlainDriver::free_filled_sqlda(SQLDA* sqlda) { VX_ASA(free_filled_sqlda)(sqlda); }
void TZASAPlainDriver::dbpp_setconnect(SQLCA* sqlca, const char* name) { VX_ASA(dbpp_setconnect)(sqlca, Text(name)); }
void TZASAPlainDriver::dbpp_disconnect(SQLCA* sqlca, const char* name) { VX_ASA(dbpp_disconnect)(sqlca, Text(name)); }
void TZASAPlainDriver::dbpp_prepare_into(SQLCA* sqlca, const char* statementName, short* statementNumber,
                                         const char* sql, SQLDA* input, SQLDA* output, unsigned longNames) {
  VX_ASA(dbpp_prepare_into)(sqlca, nullptr, Text(statementName), statementNumber, Text(sql), input, output, longNames);
}
void TZASAPlainDriver::dbpp_declare(SQLCA* sqlca, const char* cursor, const char* progname, const char* statementName,
                                    short* statementNumber, short options) {
  VX_ASA(dbpp_declare)(sqlca, Text(cursor), Text(progname), Text(statementName), statementNumber, options);
}
void TZASAPlainDriver::dbpp_fetch_array(SQLCA* sqlca, const char* cursor, short kind, int offset, SQLDA* descriptor,
                                        short blockSize, short flags, short rows) {
  VX_ASA(dbpp_fetch_array)(sqlca, Text(cursor), kind, offset, descriptor, blockSize, flags, rows);
}
void TZASAPlainDriver::dbpp_put_array(SQLCA* sqlca, const char* cursor, SQLDA* values, SQLDA* result, short rows) {
  VX_ASA(dbpp_put_array)(sqlca, Text(cursor), values, result, rows);
}
void TZASAPlainDriver::dbpp_select(SQLCA* sqlca, const char* statementName, short* statementNumber, SQLDA* input,
                                   SQLDA* output) {
  VX_ASA(dbpp_select)(sqlca, nullptr, Text(statementName), statementNumber, input, output);
}
void TZASAPlainDriver::dbpp_explain(SQLCA* sqlca, const char* cursor, SQLDA* plan) {
  VX_ASA(dbpp_explain)(sqlca, Text(cursor), nullptr, plan);
}
void TZASAPlainDriver::db_register_a_callback(SQLCA* sqlca, unsigned char index, SQLCallback callback) {
  VX_ASA(db_register_a_callback)(sqlca, index, callback);
}
