// MySQL capability answers, word lists, type mapping and type table.

#include "sql/drivers/mysql/mysql_metadata.h"

#include <cstdio>

#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/sysutils.h"

namespace {

constexpr char kSQLKeywords[] =
    "AUTO_INCREMENT,BINARY,BLOB,ENUM,INFILE,LOAD,MEDIUMINT,OPTION,OUTFILE,REPLACE,SET,TEXT,UNSIGNED,"
    "ZEROFILL,ACCESSIBLE,ADD,ALL,ALTER,ANALYZE,AND,ASC,ASENSITIVE,BEFORE,BETWEEN,BIGINT,BOTH,CALL,"
    "CASCADE,CASE,CHANGE,CHARACTER,CHECK,COLLATE,COLUMN,CONDITION,CONSTRAINT,CONTINUE,CONVERT,CROSS,"
    "CURRENT_DATE,CURRENT_TIME,CURRENT_TIMESTAMP,CURRENT_USER,CURSOR,DATABASE,DATABASES,DAY_HOUR,"
    "DAY_MICROSECOND,DAY_MINUTE,DAY_SECOND,DEC,DECIMAL,DECLARE,DEFAULT,DELAYED,DESC,DESCRIBE,"
    "DETERMINISTIC,DISTINCT,DISTINCTROW,DIV,DOUBLE,DUAL,EACH,ELSE,ELSEIF,ENCLOSED,ESCAPED,EXISTS,EXIT,"
    "EXPLAIN,FALSE,FETCH,FLOAT,FLOAT4,FLOAT8,FOR,FORCE,FOREIGN,FULLTEXT,GRANT,HIGH_PRIORITY,"
    "HOUR_MICROSECOND,HOUR_MINUTE,HOUR_SECOND,IF,IGNORE,IN,INNER,INOUT,INSENSITIVE,INT,INT1,INT2,INT3,"
    "INT4,INT8,INTERVAL,ITERATE,JOIN,KEYS,KILL,LEADING,LEAVE,LEFT,LIKE,LIMIT,LINEAR,LINES,LOCALTIME,"
    "LOCALTIMESTAMP,LOCK,LONG,LONGBLOB,LONGTEXT,LOOP,LOW_PRIORITY,MASTER_SSL_VERIFY_SERVER_CERT,MATCH,"
    "MEDIUMBLOB,MEDIUMTEXT,MIDDLEINT,MINUTE_MICROSECOND,MINUTE_SECOND,MOD,MODIFIES,NATURAL,NOT,"
    "NO_WRITE_TO_BINLOG,NUMERIC,OPTIMIZE,OPTIONALLY,OR,OUT,OUTER,PRECISION,PROCEDURE,PURGE,RANGE,READ,"
    "READS,READ_ONLY,READ_WRITE,REAL,REFERENCES,REGEXP,RELEASE,RENAME,REPEAT,REQUIRE,RESTRICT,RETURN,"
    "REVOKE,RIGHT,RLIKE,SCHEMA,SCHEMAS,SECOND_MICROSECOND,SENSITIVE,SEPARATOR,SHOW,SMALLINT,SPATIAL,"
    "SPECIFIC,SQL,SQLEXCEPTION,SQLSTATE,SQLWARNING,SQL_BIG_RESULT,SQL_CALC_FOUND_ROWS,SQL_SMALL_RESULT,"
    "SSL,STARTING,STRAIGHT_JOIN,TERMINATED,THEN,TINYBLOB,TINYINT,TINYTEXT,TO,TRAILING,TRIGGER,TRUE,UNDO,"
    "UNION,UNIQUE,UNLOCK,USAGE,USE,USING,UTC_DATE,UTC_TIME,UTC_TIMESTAMP,VARBINARY,VARCHARACTER,VARYING,"
    "WHEN,WHILE,WITH,WRITE,X509,XOR,YEAR_MONTH,ACCESSIBLE,LINEAR,MASTER_SSL_VERIFY_SERVER_CERT,RANGE,"
    "READ_ONLY,READ_WRITE";

constexpr char kNumericFunctions[] =
    "ABS,ACOS,ASIN,ATAN,ATAN2,BIT_COUNT,CEILING,COS,COT,DEGREES,EXP,FLOOR,LOG,LOG10,MAX,MIN,MOD,PI,POW,"
    "POWER,RADIANS,RAND,ROUND,SIN,SQRT,TAN,TRUNCATE,BIT_COUNT,CEIL,CRC32,LN,LOG2,SIGN,UUID";

constexpr char kStringFunctions[] =
    "ASCII,CHAR,CHAR_LENGTH,CHARACTER_LENGTH,CONCAT,ELT,FIELD,FIND_IN_SET,INSERT,INSTR,INTERVAL,LCASE,"
    "LEFT,LENGTH,LOCATE,LOWER,LTRIM,MID,POSITION,OCTET_LENGTH,REPEAT,REPLACE,REVERSE,RIGHT,RTRIM,SPACE,"
    "SOUNDEX,SUBSTRING,SUBSTRING_INDEX,TRIM,UCASE,UPPER,AES_DECRYPT,AES_ENCRYPT,BIN,BIT_LENGTH,CHARSET,"
    "COERCIBILITY,COLLATION,COMPRESS,CONCAT_WS,DECODE,DES_DECRYPT,DES_ENCRYPT,ENCODE,ENCRYPT,EXPORT_SET,"
    "FORMAT,HEX,LOAD_FILE,LPAD,MAKE_SET,MD5,OCT,ORD,QUOTE,RPAD,STRCMP,SHA,SHA1,SUBSTR,UNHEX,EXTRACTVALUE,"
    "UPDATEXML,UNCOMPRESS,UNCOMPRESSED_LENGTH";

constexpr char kSystemFunctions[] =
    "DATABASE,USER,SYSTEM_USER,SESSION_USER,PASSWORD,ENCRYPT,LAST_INSERT_ID,VERSION,BENCHMARK,"
    "CONNECTION_ID,CURRENT_USER,DEFAULT,FOUND_ROWS,GET_LOCK,INET_ATON,INET_NTOA,IS_FREE_LOCK,"
    "IS_USED_LOCK,MASTER_POS_WAIT,NAME_CONST,OLD_PASSWORD,RELEASE_LOCK,ROW_COUNT,SCHEMA,SLEEP";

constexpr char kTimeDateFunctions[] =
    "DAYOFWEEK,WEEKDAY,DAYOFMONTH,DAYOFYEAR,MONTH,DAYNAME,MONTHNAME,QUARTER,WEEK,YEAR,HOUR,MINUTE,SECOND,"
    "PERIOD_ADD,PERIOD_DIFF,TO_DAYS,FROM_DAYS,DATE_FORMAT,TIME_FORMAT,CURDATE,CURRENT_DATE,CURTIME,"
    "CURRENT_TIME,NOW,SYSDATE,CURRENT_TIMESTAMP,UNIX_TIMESTAMP,FROM_UNIXTIME,SEC_TO_TIME,TIME_TO_SEC,"
    "ADDDATE,ADDTIME,CONVERT_TZ,CURRENT_TIMESTAMP,DATE_ADD,DATE_SUB,DATE,DATEDIFF,DAYOFWEEK,GET_FORMAT,"
    "LAST_DAY,LOCALTIME,LOCALTIMESTAMP,MAKEDATE,MAKETIME,MICROSECOND,STR_TO_DATE,SUBDATE,SUBTIME,"
    "TIMEDIFF,TIMESTAMP,TIMESTAMPADD,TIMESTAMPDIFF,UTC_DATE,UTC_TIME,UTC_TIMESTAMP,WEEKOFYEAR,YEARWEEK";

// Type names whose type depends at most on the UNSIGNED attribute.
struct TTypeNameMapping {
  const char* Name;
  TZSQLType Type;
  TZSQLType UnsignedType;
};

constexpr TTypeNameMapping kTypeNameMappings[] = {
    {"TINYINT", stByte, stShort},
    {"YEAR", stShort, stShort},
    {"SMALLINT", stShort, stInteger},
    {"MEDIUMINT", stInteger, stInteger},
    {"INT", stInteger, stLong},
    {"INTEGER", stInteger, stLong},
    // Unsigned values above 2^53 keep their digits only as text, as the
    // result set reports them; a long would read them as 0, a double round them.
    {"BIGINT", stLong, stString},
    {"INT24", stLong, stLong},
    {"REAL", stFloat, stDouble},
    {"FLOAT", stDouble, stDouble},
    {"DOUBLE", stDouble, stDouble},
    {"CHAR", stString, stString},
    {"VARCHAR", stString, stString},
    {"SET", stString, stString},
    {"VARBINARY", stBytes, stBytes},
    {"BINARY", stBytes, stBytes},
    {"DATE", stDate, stDate},
    {"TIME", stTime, stTime},
    {"TIMESTAMP", stTimestamp, stTimestamp},
    {"DATETIME", stTimestamp, stTimestamp},
    {"TINYBLOB", stBinaryStream, stBinaryStream},
    {"BLOB", stBinaryStream, stBinaryStream},
    {"MEDIUMBLOB", stBinaryStream, stBinaryStream},
    {"LONGBLOB", stBinaryStream, stBinaryStream},
    {"TINYTEXT", stAsciiStream, stAsciiStream},
    {"TEXT", stAsciiStream, stAsciiStream},
    {"MEDIUMTEXT", stAsciiStream, stAsciiStream},
    {"LONGTEXT", stAsciiStream, stAsciiStream},
    {"BIT", stBinaryStream, stBinaryStream},
    {"POINT", stBinaryStream, stBinaryStream},
    {"LINESTRING", stBinaryStream, stBinaryStream},
    {"POLYGON", stBinaryStream, stBinaryStream},
    {"GEOMETRY", stBinaryStream, stBinaryStream},
    {"MULTIPOINT", stBinaryStream, stBinaryStream},
    {"MULTILINESTRING", stBinaryStream, stBinaryStream},
    {"MULTIPOLYGON", stBinaryStream, stBinaryStream},
    {"GEOMETRYCOLLECTION", stBinaryStream, stBinaryStream},
};

constexpr char kWholeDecimalSuffix[] = ",0)";
constexpr std::size_t kDecimalPrefixLength = 8;  // "DECIMAL("
constexpr int kMaxIntegerDecimalPrecision = 9;

// DECIMAL(p,0) holds whole numbers: 32-bit up to 9 digits, 64-bit above.
// More digits than a double (15) or a 64-bit integer (18) keeps are carried
// as text, as the result set reports them.
TZSQLType DecimalType(const AnsiString& typeText) {
  int digits = 0, scale = 0;
  if (std::sscanf(typeText.c_str(), "DECIMAL(%d,%d", &digits, &scale) == 2 &&
      digits > (scale != 0 ? 15 : 18))
    return stString;
  if (!EndsWith(typeText, kWholeDecimalSuffix) || typeText.size() < kDecimalPrefixLength + 3) return stDouble;
  AnsiString precision =
      typeText.substr(kDecimalPrefixLength, typeText.size() - kDecimalPrefixLength - (sizeof(kWholeDecimalSuffix) - 1));
  return StrToIntDef(precision, 0) > kMaxIntegerDecimalPrecision ? stLong : stInteger;
}

}  // namespace

TZMySQLDatabaseMetadata::TZMySQLDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info)
    : TZAbstractDatabaseMetadata(connection, url, info) {
  AnsiString hostName, user, password;
  int port = 0;
  TStringList properties;
  ParseDatabaseUrl(url, info, hostName, port, database_, user, password, &properties);
}

void TZMySQLDatabaseMetadata::GetServerVersionParts(int& major, int& minor) {
  int sub;
  Ref<IZConnection> connection = GetConnection();
  DecodeSqlVersioning(connection->GetServerVersion(), major, minor, sub);
  if (major > 4 || (major == 4 && minor > 0)) return;

  Ref<IZResultSet> resultSet = connection->CreateStatement()->ExecuteQuery("SELECT VERSION()");
  if (!resultSet->Next()) return;
  TStringList pieces;
  SplitToStringList(&pieces, resultSet->GetString(1), ".-");
  if (pieces.Count() < 2) return;
  major = StrToIntDef(pieces[0], 0);
  minor = StrToIntDef(pieces[1], 0);
}

bool TZMySQLDatabaseMetadata::SupportsOrderByUnrelated() {
  int major, minor;
  GetServerVersionParts(major, minor);
  return major > 4;
}

bool TZMySQLDatabaseMetadata::SupportsCatalogsInDataManipulation() {
  int major, minor;
  GetServerVersionParts(major, minor);
  return major > 3 || (major == 3 && minor > 21);
}

bool TZMySQLDatabaseMetadata::SupportsUnionAll() {
  int major, minor;
  GetServerVersionParts(major, minor);
  return major > 3;
}

bool TZMySQLDatabaseMetadata::SupportsDataManipulationTransactionsOnly() {
  return GetConnection()->GetTransactIsolationLevel() != tiNone;
}

Ref<IZResultSet> TZMySQLDatabaseMetadata::UncachedGetTypeInfo() { return BuildTypeInfoResultSet(MySQLTypeInfoTable()); }

AnsiString TZMySQLDatabaseMetadata::GetSQLKeywords() { return kSQLKeywords; }
AnsiString TZMySQLDatabaseMetadata::GetNumericFunctions() { return kNumericFunctions; }
AnsiString TZMySQLDatabaseMetadata::GetStringFunctions() { return kStringFunctions; }
AnsiString TZMySQLDatabaseMetadata::GetSystemFunctions() { return kSystemFunctions; }
AnsiString TZMySQLDatabaseMetadata::GetTimeDateFunctions() { return kTimeDateFunctions; }

TZSQLType ConvertMySQLTypeNameToSQLType(const AnsiString& typeName, const AnsiString& typeText) {
  AnsiString name = UpperCase(typeName);
  name = name.substr(0, name.find(' '));
  AnsiString text = UpperCase(typeText);
  const auto blank = text.find(' ');
  const bool isUnsigned = blank != AnsiString::npos && text.find("UNSIGNED", blank + 1) != AnsiString::npos;

  if (name == "DECIMAL") return DecimalType(text);
  if (name == "ENUM") return text == "ENUM('Y','N')" || text == "ENUM('N','Y')" ? stBoolean : stString;
  for (const TTypeNameMapping& mapping : kTypeNameMappings)
    if (name == mapping.Name) return isUnsigned ? mapping.UnsignedType : mapping.Type;
  return stString;
}

const std::vector<TZMySQLTypeInfo>& MySQLTypeInfoTable() {
  static const std::vector<TZMySQLTypeInfo> table = {
      {"BIT", stByte, 1},
      {"BOOL", stBoolean, kNoTypePrecision},
      {"TINYINT", stShort, 4},
      {"BIGINT", stLong, 16},
      {"MEDIUMBLOB", stBinaryStream, 16777215},
      {"LONG VARBINARY", stBinaryStream, 16777215},
      {"LONGBLOB", stBinaryStream, 65535},
      {"BLOB", stBinaryStream, 65535},
      {"TINYBLOB", stBinaryStream, 255},
      {"VARBINARY", stBytes, 255},
      {"BINARY", stBytes, 255},
      {"LONG VARCHAR", stString, 16777215},
      {"MEDIUMTEXT", stAsciiStream, 16777215},
      {"LONGTEXT", stAsciiStream, 2147483647},
      {"TEXT", stAsciiStream, 65535},
      {"TINYTEXT", stAsciiStream, 255},
      {"CHAR", stString, 255},
      {"VARCHAR", stString, 255},
      {"NUMERIC", stBigDecimal, 17},
      {"DECIMAL", stBigDecimal, 17},
      {"INTEGER", stInteger, 10},
      {"INT", stInteger, 10},
      {"MEDIUMINT", stInteger, 7},
      {"SMALLINT", stShort, 4},
      {"DOUBLE", stDouble, 17},
      {"FLOAT", stFloat, 10},
      {"REAL", stFloat, 10},
      {"ENUM", stString, 65535},
      {"SET", stString, 64},
      {"DATE", stDate, kNoTypePrecision},
      {"TIME", stTime, kNoTypePrecision},
      {"DATETIME", stTimestamp, kNoTypePrecision},
      {"TIMESTAMP", stTimestamp, kNoTypePrecision},
  };
  return table;
}
