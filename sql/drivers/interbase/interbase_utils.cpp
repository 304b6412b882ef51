// Option blocks, the status check, type maps and small helpers of the
// Interbase/Firebird driver.

#include "sql/drivers/interbase/interbase_utils.h"

#include <cstddef>
#include <cstdio>
#include <ibase.h>
#include <iterator>
#include <limits>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_sqlda.h"

namespace {

// Character set numbers of the client's UTF-8 sets.
constexpr int kCharsetUnicodeFss = 3;
constexpr int kCharsetUtf8 = 4;
constexpr char kErrorFormat[] = "SQL Error: %s. Error Code: %d. %s";
constexpr char kSqlFormat[] = " The SQL: %s; ";
constexpr char kValueTooLong[] = "The value of %s is longer than 255 bytes";
constexpr char kTableNameTooLong[] = "The table name of %s is longer than 255 bytes";
constexpr char kDpbPrefix[] = "isc_dpb_";
constexpr char kTpbPrefix[] = "isc_tpb_";
// isc_interprete writes up to 1024 bytes and a closing NUL.
constexpr std::size_t kInterpretBufferSize = 1025;
constexpr short kSqlMessageBufferSize = 1024;
constexpr std::size_t kMaxBlockLength = 65535;
constexpr std::size_t kMaxClusterValueLength = 255;

// The option names by code: the database options have codes 1 to 67 in
// this order, "isc_dpb_version1" (code 1 too) is never looked up.
#define VX_DPB_OPTIONS(X)                                                                                        \
  X(cdd_pathname, cdd_pathname) X(allocation, allocation) X(journal, journal) X(page_size, page_size)            \
  X(num_buffers, num_buffers) X(buffer_length, buffer_length) X(debug, debug)                                    \
  X(garbage_collect, garbage_collect) X(verify, verify) X(sweep, sweep) X(enable_journal, enable_journal)       \
  X(disable_journal, disable_journal) X(dbkey_scope, dbkey_scope) X(number_of_users, number_of_users)           \
  X(trace, trace) X(no_garbage_collect, no_garbage_collect) X(damaged, damaged) X(license, license)             \
  X(sys_user_name, sys_user_name) X(encrypt_key, encrypt_key) X(activate_shadow, activate_shadow)               \
  X(sweep_interval, sweep_interval) X(delete_shadow, delete_shadow) X(force_write, force_write)                 \
  X(begin_log, begin_log) X(quit_log, quit_log) X(no_reserve, no_reserve) X(username, user_name)                \
  X(password, password) X(password_enc, password_enc) X(sys_user_name_enc, sys_user_name_enc) X(interp, interp) \
  X(online_dump, online_dump) X(old_file_size, old_file_size) X(old_num_files, old_num_files)                   \
  X(old_file, old_file) X(old_start_page, old_start_page) X(old_start_seqno, old_start_seqno)                   \
  X(old_start_file, old_start_file) X(drop_walfile, drop_walfile) X(old_dump_id, old_dump_id)                   \
  X(wal_backup_dir, wal_backup_dir) X(wal_chkptlen, wal_chkptlen) X(wal_numbufs, wal_numbufs)                   \
  X(wal_bufsize, wal_bufsize) X(wal_grp_cmt_wait, wal_grp_cmt_wait) X(lc_messages, lc_messages)                 \
  X(lc_ctype, lc_ctype) X(cache_manager, cache_manager) X(shutdown, shutdown) X(online, online)                  \
  X(shutdown_delay, shutdown_delay) X(reserved, reserved) X(overwrite, overwrite) X(sec_attach, sec_attach)     \
  X(disable_wal, disable_wal) X(connect_timeout, connect_timeout)                                               \
  X(dummy_packet_interval, dummy_packet_interval) X(gbak_attach, gbak_attach) X(sql_role_name, sql_role_name)   \
  X(set_page_buffers, set_page_buffers) X(working_directory, working_directory) X(sql_dialect, sql_dialect)     \
  X(set_db_readonly, set_db_readonly) X(set_db_sql_dialect, set_db_sql_dialect) X(gfix_attach, gfix_attach)     \
  X(gstat_attach, gstat_attach)

constexpr const char* kDpbNames[] = {
#define VX_DPB_NAME(option, constant) "isc_dpb_" #option,
    VX_DPB_OPTIONS(VX_DPB_NAME)
#undef VX_DPB_NAME
};
constexpr int kDpbCodes[] = {
#define VX_DPB_CODE(option, constant) isc_dpb_##constant,
    VX_DPB_OPTIONS(VX_DPB_CODE)
#undef VX_DPB_CODE
};
static_assert(std::size(kDpbNames) == 67);

// Each option's code is its place in the list: the client's own numbering.
constexpr bool DpbCodesFollowTheList() {
  for (std::size_t i = 0; i < std::size(kDpbCodes); ++i)
    if (kDpbCodes[i] != static_cast<int>(i) + 1) return false;
  return true;
}
static_assert(DpbCodesFollowTheList());

struct TTpbOption {
  const char* name;
  std::uint16_t code;
};

constexpr TTpbOption kTpbOptions[] = {
    {"isc_tpb_version3", isc_tpb_version3},        {"isc_tpb_consistency", isc_tpb_consistency},
    {"isc_tpb_concurrency", isc_tpb_concurrency},  {"isc_tpb_exclusive", isc_tpb_exclusive},
    {"isc_tpb_shared", isc_tpb_shared},            {"isc_tpb_protected", isc_tpb_protected},
    {"isc_tpb_wait", isc_tpb_wait},                {"isc_tpb_nowait", isc_tpb_nowait},
    {"isc_tpb_read", isc_tpb_read},                {"isc_tpb_write", isc_tpb_write},
    {"isc_tpb_ignore_limbo", isc_tpb_ignore_limbo}, {"isc_tpb_read_committed", isc_tpb_read_committed},
    {"isc_tpb_rec_version", isc_tpb_rec_version},  {"isc_tpb_no_rec_version", isc_tpb_no_rec_version},
    {"isc_tpb_lock_read", isc_tpb_lock_read},      {"isc_tpb_lock_write", isc_tpb_lock_write},
};

void CheckBlockLength(const AnsiString& block) {
  if (block.size() > kMaxBlockLength) throw EIntOverflow(SIntOverflow);
}

void AppendByte(AnsiString& block, int value) { block += static_cast<char>(value & 0xFF); }

void AppendInt32(AnsiString& block, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) AppendByte(block, static_cast<int>(bits >> shift));
}

// A text cluster: code, length byte, the bytes.
void AppendText(AnsiString& block, std::uint16_t code, const AnsiString& name, const AnsiString& value,
                const char* tooLong) {
  // The length byte cannot say more; a longer value would be cut silently.
  if (value.size() > kMaxClusterValueLength) throw EZSQLException(Format(tooLong, {name}));
  AppendByte(block, code);
  AppendByte(block, static_cast<int>(value.size()));
  block += value;
}

// An integer cluster: one value byte while it fits, else four.
void AppendInteger(AnsiString& block, std::uint16_t code, int value) {
  AppendByte(block, code);
  if (value >= 0 && value <= 0xFF) {
    AppendByte(block, 1);
    AppendByte(block, value);
  } else {
    AppendByte(block, 4);
    AppendInt32(block, value);
  }
}

// Splits a DPB line at its first separator; false for a line without one.
bool SplitOption(const AnsiString& line, AnsiString& name, AnsiString& value) {
  const std::size_t at = line.find_first_of(" =\t\n\r");
  if (at == AnsiString::npos) return false;
  name = line.substr(0, at);
  value = line.substr(at + 1);
  return true;
}

void AppendDatabaseOption(AnsiString& block, std::uint16_t code, const AnsiString& name, const AnsiString& value,
                          std::uint16_t& dialect) {
  switch (code) {
    case isc_dpb_license: case isc_dpb_sys_user_name: case isc_dpb_encrypt_key: case isc_dpb_user_name:
    case isc_dpb_password: case isc_dpb_password_enc: case isc_dpb_lc_messages: case isc_dpb_lc_ctype:
    case isc_dpb_sql_role_name:
      AppendText(block, code, name, value, kValueTooLong);
      break;
    case isc_dpb_num_buffers: case isc_dpb_verify: case isc_dpb_dbkey_scope: case isc_dpb_damaged:
    case isc_dpb_force_write: case isc_dpb_no_reserve:
      AppendInteger(block, code, StrToInt(value));
      break;
    case isc_dpb_sweep:
      AppendByte(block, code);
      AppendByte(block, 1);
      AppendByte(block, isc_dpb_records);
      break;
    case isc_dpb_sweep_interval:
      AppendByte(block, code);
      AppendByte(block, 4);
      AppendInt32(block, StrToInt(value));
      break;
    case isc_dpb_activate_shadow: case isc_dpb_delete_shadow: case isc_dpb_begin_log: case isc_dpb_quit_log:
      AppendByte(block, code);
      AppendByte(block, 1);
      AppendByte(block, 0);
      break;
    case isc_dpb_set_db_sql_dialect: {
      const int read = StrToIntDef(value, 0);
      if (read < 0 || read > std::numeric_limits<std::uint16_t>::max()) throw ERangeError(SRangeError);
      dialect = static_cast<std::uint16_t>(read);
      break;
    }
    default:
      break;
  }
}

// The table name that a lock option line "isc_tpb_lock_...=T" carries.
bool SplitLockOption(const AnsiString& line, AnsiString& name, AnsiString& table) {
  const std::size_t at = line.find('=');
  if (at == AnsiString::npos) return false;
  name = line.substr(0, at);
  table = line.substr(at + 1);
  return true;
}

}  // namespace

std::uint16_t GetInterbase6DatabaseParamNumber(const AnsiString& value) {
  const AnsiString name = LowerCase(value);
  if (name.rfind(kDpbPrefix, 0) != 0) return 0;
  for (std::size_t i = 0; i < std::size(kDpbNames); ++i)
    if (name == kDpbNames[i]) return static_cast<std::uint16_t>(kDpbCodes[i]);
  return 0;
}

std::uint16_t GetInterbase6TransactionParamNumber(const AnsiString& value) {
  const AnsiString name = LowerCase(value);
  if (name.rfind(kTpbPrefix, 0) != 0) return 0;
  for (const TTpbOption& option : kTpbOptions)
    if (name == option.name) return option.code;
  return 0;
}

AnsiString GenerateDPB(TStrings* params, std::uint16_t& dialect) {
  AnsiString block(1, static_cast<char>(isc_dpb_version1));
  for (int i = 0; i < params->Count(); ++i) {
    AnsiString name, value;
    if (!SplitOption(params->Strings(i), name, value)) continue;
    const std::uint16_t code = GetInterbase6DatabaseParamNumber(name);
    if (code == 0) continue;
    AppendDatabaseOption(block, code, name, value, dialect);
    CheckBlockLength(block);
  }
  return block;
}

TZTransactionBlock::TZTransactionBlock(isc_db_handle* db, AnsiString tpb)
    : tpb_(std::move(tpb)),
      teb_{db, static_cast<int>(tpb_.size()), tpb_.empty() ? nullptr : tpb_.c_str()} {}

std::unique_ptr<TZTransactionBlock> GenerateTPB(TStrings* params, isc_db_handle* db) {
  AnsiString tpb;
  bool hasIsolation = false;
  for (int i = 0; i < params->Count(); ++i) {
    const AnsiString line = params->Strings(i);
    AnsiString name, table;
    std::uint16_t code = GetInterbase6TransactionParamNumber(line);
    // The version goes first whatever the lines say (below); a reservation
    // without a table is no reservation.
    if (code == isc_tpb_version3 || code == isc_tpb_lock_read || code == isc_tpb_lock_write) continue;
    if (code == 0 && SplitLockOption(line, name, table)) {
      code = GetInterbase6TransactionParamNumber(name);
      if (code != isc_tpb_lock_read && code != isc_tpb_lock_write) continue;
      AppendText(tpb, code, name, table, kTableNameTooLong);
    } else if (code != 0) {
      AppendByte(tpb, code);
    } else {
      continue;
    }
    CheckBlockLength(tpb);
    if (code == isc_tpb_consistency || code == isc_tpb_concurrency || code == isc_tpb_read_committed)
      hasIsolation = true;
  }
  // The client reads the first byte as the block's version: without one the
  // first option would be taken for it.
  tpb = hasIsolation ? static_cast<char>(isc_tpb_version3) + tpb : AnsiString();
  return std::make_unique<TZTransactionBlock>(db, std::move(tpb));
}

void CheckInterbase6Error(IZInterbasePlainDriver* plainDriver, const ISC_STATUS* status,
                          TZLoggingCategory loggingCategory, const AnsiString& sql) {
  if (status[0] != 1 || status[1] <= 0) return;
  AnsiString message;
  char buffer[kInterpretBufferSize] = {};
  const ISC_STATUS* cursor = status;
  while (plainDriver->isc_interprete(buffer, &cursor) > 0) {
    message += ' ';
    message += buffer;
  }
  const ISC_LONG code = plainDriver->isc_sqlcode(status);
  if (code < std::numeric_limits<short>::min() || code > std::numeric_limits<short>::max())
    throw ERangeError(SRangeError);
  const int errorCode = static_cast<int>(code);
  buffer[0] = '\0';
  plainDriver->isc_sql_interprete(static_cast<short>(errorCode), buffer, kSqlMessageBufferSize);
  const AnsiString sqlMessage(buffer);
  const AnsiString sqlText = sql.empty() ? AnsiString() : Format(kSqlFormat, {sql});
  // A failure the client cannot put into words is still a failure.
  DriverManager()->LogError(loggingCategory, plainDriver->GetProtocol(), message, errorCode, sqlMessage + sqlText);
  throw EZSQLException(errorCode, Format(kErrorFormat, {message, errorCode, sqlMessage}) + sqlText);
}

bool IsUtf8CharacterSet(const AnsiString& name) {
  const AnsiString upper = UpperCase(Trim(name));
  return upper == "UTF8" || upper == "UNICODE_FSS";
}

bool IsUtf8CharacterSetId(int id) { return id == kCharsetUnicodeFss || id == kCharsetUtf8; }

AnsiString ProgramText(std::string_view utf8) {
  const WideString wide = Utf8ToWide(utf8);
  AnsiString text;
  text.reserve(wide.size());
  for (char16_t c : wide) {
    const char ansi = AnsiCharFromWide(c, '\0');
    if (ansi == '\0' && c != u'\0') {
      char message[64];
      std::snprintf(message, sizeof message, "The character U+%04X has no Windows-1250 form", static_cast<unsigned>(c));
      throw EZIBConvertError(message);
    }
    text += ansi;
  }
  return text;
}

TZSQLType ConvertInterbase6ToSqlType(int sqlType, int sqlSubType) {
  switch (sqlType) {
    case 7:
      return sqlSubType == 0 ? stShort : (sqlSubType == 1 || sqlSubType == 2) ? stDouble : stUnknown;
    case 8:
      return sqlSubType == 0 ? stInteger : sqlSubType == 1 ? stDouble : sqlSubType == 2 ? stBigDecimal : stUnknown;
    case 16:
      return sqlSubType == 0 ? stLong : sqlSubType == 1 ? stDouble : sqlSubType == 2 ? stBigDecimal : stUnknown;
    case 14: case 15:
      return sqlSubType == 1 ? stBytes : sqlSubType == 3 ? stUnicodeString : stString;
    case 261:
      switch (sqlSubType) {
        case 0: case 2: return stBinaryStream;
        case 1: case 3: case 5: case 6: return stAsciiStream;
        default: return stUnknown;
      }
    case 9: case 45: return stLong;
    case 10: case 11: case 27: return stDouble;
    case 12: return stDate;
    case 13: return stTime;
    // 17 is the old boolean, 23 the BOOLEAN of Firebird 3.
    case 17: case 23: return stBoolean;
    case 35: return stTimestamp;
    case 37: case 38: case 40: case 41: return stString;
    default: return stUnknown;
  }
}

AnsiString GetNameSqlType(std::uint16_t value) {
  switch (value) {
    case SQL_VARYING: return "SQL_VARYING";
    case SQL_TEXT: return "SQL_TEXT";
    case SQL_DOUBLE: return "SQL_DOUBLE";
    case SQL_FLOAT: return "SQL_FLOAT";
    case SQL_LONG: return "SQL_LONG";
    case SQL_SHORT: return "SQL_SHORT";
    case SQL_TIMESTAMP: return "SQL_TIMESTAMP";
    case SQL_BLOB: return "SQL_BLOB";
    case SQL_D_FLOAT: return "SQL_D_FLOAT";
    case SQL_ARRAY: return "SQL_ARRAY";
    case SQL_QUAD: return "SQL_QUAD";
    case SQL_TYPE_TIME: return "SQL_TYPE_TIME";
    case SQL_TYPE_DATE: return "SQL_TYPE_DATE";
    case SQL_INT64: return "SQL_INT64";
    // Interbase 7's boolean and Firebird 3's BOOLEAN.
    case kSqlBoolean7: case SQL_BOOLEAN: return "SQL_BOOLEAN";
    default: return "Unknown";
  }
}

int XSQLDALength(int n) {
  const std::int64_t length = static_cast<std::int64_t>(n - std::int64_t{1}) * std::int64_t{sizeof(TZIbXSQLVar)} +
                              std::int64_t{sizeof(TZIbXSQLDA)};
  if (length < std::numeric_limits<int>::min() || length > std::numeric_limits<int>::max())
    throw EIntOverflow(SIntOverflow);
  return static_cast<int>(length);
}

Ref<IZResultSet> GetCachedResultSet(const AnsiString& sql, const Ref<IZStatement>& statement,
                                    const Ref<IZResultSet>& nativeResultSet) {
  return CachedUnlessForwardReadOnly<TZInterbase6CachedResolver>(sql, statement, nativeResultSet);
}
