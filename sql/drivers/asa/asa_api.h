// The records and calls of the embedded-SQL client library as the driver
// uses them: the communication area, the descriptor area with its variable
// records, the long-value header and the timestamp record, the type codes
// and the prototypes of all 43 bound entry points. Our own
// declaration, shared with the tests' stand-in for the library.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// The communication area: one per connection, its address the handle of
// every database call.
struct SQLCA {
  char sqlcaid[8];
  std::int32_t sqlcabc;
  std::int32_t sqlcode;  // < 0 error, 0 success, > 0 warning
  std::int16_t sqlerrml;
  char sqlerrmc[70];
  char sqlerrp[8];
  std::int32_t sqlerrd[6];  // [2]: rows affected, or the prepare's cursor hint
  char sqlwarn[8];
  char sqlstate[6];
};
static_assert(sizeof(SQLCA) == 136 && offsetof(SQLCA, sqlcode) == 12 && offsetof(SQLCA, sqlerrd) == 96);

struct SQLNAME {
  std::int16_t length;  // name bytes, the last of them not part of the name
  char data[30];
};

// One variable record; native layout with pointers in place.
struct SQLVAR {
  std::int16_t sqltype;  // type code, bit 0 set: nullable
  std::uint16_t sqllen;
  void* sqldata;
  std::int16_t* sqlind;  // < 0 null, 0 complete, > 0 truncated
  SQLNAME sqlname;
};
static_assert(sizeof(SQLVAR) == 56 && offsetof(SQLVAR, sqldata) == 8 && offsetof(SQLVAR, sqlind) == 16 &&
              offsetof(SQLVAR, sqlname) == 24);

struct SQLDA {
  char sqldaid[8];
  std::int32_t sqldabc;
  std::uint16_t sqln;  // records allocated
  std::uint16_t sqld;  // records in use
  SQLVAR sqlvar[1];
};
static_assert(offsetof(SQLDA, sqlvar) == 16);

// The buffer of a long value: the bytes follow the header.
struct LONGVARCHAR {
  std::uint32_t array_len;   // capacity
  std::uint32_t stored_len;  // bytes in this buffer
  std::uint32_t untrunc_len; // bytes of the whole value
  char array[1];
};
static_assert(offsetof(LONGVARCHAR, array) == 12);

#pragma pack(push, 1)
struct DT_TIMESTAMP_STRUCT_REC {
  std::int16_t year;
  std::uint8_t month;  // 0 = January
  std::uint8_t day_of_week;
  std::int16_t day_of_year;
  std::uint8_t day;
  std::uint8_t hour;
  std::uint8_t minute;
  std::uint8_t second;
  std::uint32_t microsecond;
};
#pragma pack(pop)
static_assert(sizeof(DT_TIMESTAMP_STRUCT_REC) == 14);

// A timestamp record of a calendar month (1 = January); day of week and day
// of year stay 0, as the client does not need them.
inline DT_TIMESTAMP_STRUCT_REC MakeTimestampRec(int year, int month, int day, int hour, int minute, int second,
                                                std::uint32_t microsecond) {
  DT_TIMESTAMP_STRUCT_REC stamp{};
  stamp.year = static_cast<std::int16_t>(year);
  stamp.month = static_cast<std::uint8_t>(month - 1);
  stamp.day = static_cast<std::uint8_t>(day);
  stamp.hour = static_cast<std::uint8_t>(hour);
  stamp.minute = static_cast<std::uint8_t>(minute);
  stamp.second = static_cast<std::uint8_t>(second);
  stamp.microsecond = microsecond;
  return stamp;
}

// Type codes; every code also occurs plus 1 (nullable).
enum : std::int16_t {
  DT_DATE = 384,
  DT_TIME = 388,
  DT_TIMESTAMP_STRUCT = 390,
  DT_TIMESTAMP = 392,
  DT_VARCHAR = 448,
  DT_FIXCHAR = 452,
  DT_LONGVARCHAR = 456,
  DT_STRING = 460,
  DT_DOUBLE = 480,
  DT_FLOAT = 482,
  DT_DECIMAL = 484,
  DT_INT = 496,
  DT_SMALLINT = 500,
  DT_BINARY = 524,
  DT_LONGBINARY = 528,
  DT_VARIABLE = 600,
  DT_TINYINT = 604,
  DT_BIGINT = 608,
  DT_UNSINT = 612,
  DT_UNSSMALLINT = 616,
  DT_UNSBIGINT = 620,
  DT_BIT = 624,
};

// The values the driver passes as they stand.
inline constexpr unsigned kDescribeResult = 0x903;  // prepare, describing the result columns
inline constexpr unsigned kDescribeParams = 0xA03;  // prepare, describing the parameters
inline constexpr int kDescribeKindColumns = 1;
inline constexpr int kDescribeKindParams = 2;
inline constexpr int kExecuteImmediateFlag = 2;
inline constexpr int kFetchTrailing = 20;
inline constexpr int kSqlNotFound = 100;
inline constexpr int kSqlNoMoreResults = 105;
inline constexpr int kSqlTooManyRows = -185;

// The entry points the driver calls.
char* sqlerror_message(SQLCA* sqlca, char* buffer, int size);
unsigned short db_init(SQLCA* sqlca);
unsigned short db_fini(SQLCA* sqlca);
unsigned db_string_connect(SQLCA* sqlca, char* text);
unsigned db_string_disconnect(SQLCA* sqlca, char* text);
SQLDA* alloc_sqlda(unsigned count);
SQLDA* free_sqlda(SQLDA* sqlda);
void dbpp_setoption(SQLCA* sqlca, int temporary, char* user, char* option, SQLDA* value);
void dbpp_describe_cursor(SQLCA* sqlca, char* cursor, SQLDA* descriptor, unsigned kind);
void dbpp_prepare_describe(SQLCA* sqlca, char* progname, char* statementName, short* statementNumber, char* sql,
                           SQLDA* sqlda1, SQLDA* descriptor, unsigned flags, short long_names);
void dbpp_describe(SQLCA* sqlca, char* progname, char* statementName, short* statementNumber, SQLDA* descriptor,
                   short kind);
void dbpp_dropstmt(SQLCA* sqlca, char* statementName, char* progname, short* statementNumber);
void dbpp_open(SQLCA* sqlca, char* cursor, char* progname, char* statementName, short* statementNumber,
               SQLDA* input, short blockSize, short isolation, short options);
void dbpp_close(SQLCA* sqlca, char* cursor);
void dbpp_fetch(SQLCA* sqlca, char* cursor, short kind, int offset, SQLDA* descriptor, short blockSize, short flags);
void dbpp_get_data(SQLCA* sqlca, char* cursor, short column, int offset, SQLDA* descriptor, short flags);
void dbpp_delete(SQLCA* sqlca, char* cursor, char* unused1, char* unused2);
void dbpp_update(SQLCA* sqlca, char* cursor, SQLDA* values);
void dbpp_put_into(SQLCA* sqlca, char* cursor, SQLDA* values, SQLDA* result);
void dbpp_execute_into(SQLCA* sqlca, char* statementName, char* progname, short* statementNumber, SQLDA* input,
                       SQLDA* output);
void dbpp_execute_imm(SQLCA* sqlca, char* sql, unsigned short flag);
void dbpp_commit(SQLCA* sqlca, int flag);
void dbpp_rollback(SQLCA* sqlca, int flag);
void dbpp_resume(SQLCA* sqlca, char* cursor);
void db_cancel_request(SQLCA* sqlca);

// Bound and exposed, though the driver itself does not call them.
using SQLCallback = void (*)();
unsigned short db_find_engine(SQLCA* sqlca, char* name);
unsigned db_start_engine(SQLCA* sqlca, char* parameters);
unsigned db_stop_engine(SQLCA* sqlca, char* parameters);
unsigned db_start_database(SQLCA* sqlca, char* parameters);
unsigned db_stop_database(SQLCA* sqlca, char* parameters);
SQLDA* fill_sqlda(SQLDA* sqlda);
SQLDA* fill_s_sqlda(SQLDA* sqlda, unsigned maxLength);
void free_sqlda_noind(SQLDA* sqlda);
void free_filled_sqlda(SQLDA* sqlda);
void dbpp_setconnect(SQLCA* sqlca, char* name);
void dbpp_disconnect(SQLCA* sqlca, char* name);
void dbpp_prepare_into(SQLCA* sqlca, char* progname, char* statementName, short* statementNumber, char* sql,
                       SQLDA* input, SQLDA* output, unsigned longNames);
void dbpp_declare(SQLCA* sqlca, char* cursor, char* progname, char* statementName, short* statementNumber,
                  short options);
void dbpp_fetch_array(SQLCA* sqlca, char* cursor, short kind, int offset, SQLDA* descriptor, short blockSize,
                      short flags, short rows);
void dbpp_put_array(SQLCA* sqlca, char* cursor, SQLDA* values, SQLDA* result, short rows);
void dbpp_select(SQLCA* sqlca, char* progname, char* statementName, short* statementNumber, SQLDA* input,
                 SQLDA* output);
void dbpp_explain(SQLCA* sqlca, char* cursor, char* unused, SQLDA* plan);
void db_register_a_callback(SQLCA* sqlca, int index, SQLCallback callback);
}

// The size of a descriptor area of count variable records.
constexpr std::size_t SqldaSize(unsigned count) { return offsetof(SQLDA, sqlvar) + count * sizeof(SQLVAR); }
