// What the Interbase/Firebird driver's connection, statements, descriptor
// areas, result sets and metadata share: the attach and transaction option
// blocks built from "isc_dpb_..." and "isc_tpb_..." lines, the check that
// turns a failed status vector into a logged EZSQLException, the catalogue
// type map, descriptor-area sizes and type names, cursor names, and the
// cached wrapper of updatable results.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "sql/core/dbc/driver_manager.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/interbase/interbase_plain_driver.h"

class TStrings;

// Returns when the vector shows no failure (entry 0 is 1 and entry 1 above
// 0). Otherwise logs the client's lines and raises EZSQLException with the
// client's SQL code: "SQL Error: <lines>. Error Code: <code>. <code text>",
// each line preceded by a blank, then " The SQL: <sql>; " when sql is given.
void CheckInterbase6Error(IZInterbasePlainDriver* plainDriver, const ISC_STATUS* status,
                          TZLoggingCategory loggingCategory, const AnsiString& sql = AnsiString());

// The database parameter block of the "isc_dpb_<name><separator><value>"
// lines (separator: blank, "=", tab, CR or LF; name in any case): the
// version byte, then one cluster per known option, unknown ones skipped.
// "isc_dpb_set_db_sql_dialect" adds nothing and sets dialect instead.
// Integer options take one value byte up to 255, else four (least
// significant first). Raises EConvertError for an integer that does not
// read, EZSQLException for a text value longer than 255 bytes, EIntOverflow
// beyond 65535 bytes and ERangeError for a dialect outside 0 to 65535.
AnsiString GenerateDPB(TStrings* params, std::uint16_t& dialect);

// The transaction existence block that isc_start_multiple takes for one
// database: the handle's address and the transaction parameter block.
struct TZInterbaseTEB {
  isc_db_handle* db_ptr;
  int tpb_len;
  const char* tpb_ptr;
};

// A transaction existence block with the bytes it points to.
class TZTransactionBlock {
public:
  TZTransactionBlock(isc_db_handle* db, AnsiString tpb);
  TZTransactionBlock(const TZTransactionBlock&) = delete;
  TZTransactionBlock& operator=(const TZTransactionBlock&) = delete;

  TZInterbaseTEB* Teb() { return &teb_; }
  const AnsiString& Tpb() const { return tpb_; }

private:
  AnsiString tpb_;
  TZInterbaseTEB teb_;
};

// The block for the "isc_tpb_..." lines (each line one option name, any
// case; "isc_tpb_lock_read=T" and "isc_tpb_lock_write=T" reserve table T).
// The block always starts with the version byte (3). Without an isolation
// option (consistency, concurrency, read committed) it carries no
// parameters at all and the server uses its defaults.
std::unique_ptr<TZTransactionBlock> GenerateTPB(TStrings* params, isc_db_handle* db);

// The option's code, 0 for a name that is not an option.
std::uint16_t GetInterbase6DatabaseParamNumber(const AnsiString& value);
std::uint16_t GetInterbase6TransactionParamNumber(const AnsiString& value);

// The column type of a catalogue field type and sub type.
TZSQLType ConvertInterbase6ToSqlType(int sqlType, int sqlSubType);

// Whether a connection character set name (isc_dpb_lc_ctype) or a column's
// character set number is UTF8 or its older form UNICODE_FSS.
bool IsUtf8CharacterSet(const AnsiString& name);
bool IsUtf8CharacterSetId(int id);
// The program's Windows-1250 text of a UTF-8 text from the client;
// EZIBConvertError naming the character when one has no Windows-1250 form.
AnsiString ProgramText(std::string_view utf8);
// "SQL_VARYING" ... for an exact descriptor type code, else "Unknown".
AnsiString GetNameSqlType(std::uint16_t value);
// Bytes of a client descriptor area of n variables (ibase.h's XSQLDA_LENGTH);
// EIntOverflow when it leaves the 32-bit range.
int XSQLDALength(int n);

// nativeResultSet itself for a read-only forward-only statement, else a
// cached result set over it with the Interbase resolver.
Ref<IZResultSet> GetCachedResultSet(const AnsiString& sql, const Ref<IZStatement>& statement,
                                    const Ref<IZResultSet>& nativeResultSet);
