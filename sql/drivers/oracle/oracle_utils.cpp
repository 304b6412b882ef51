// Status check and type maps of the Oracle driver.

#include "sql/drivers/oracle/oracle_utils.h"


#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_sql_vars.h"

namespace {

constexpr ub4 kErrorTextBufferSize = 256;
constexpr ub2 kRowIdDataSize = 20;
constexpr char kUnnamedStatus[] = "OCI status %d";

// The name of a status that is no error of its own; empty for the others.
const char* StatusName(sword status) {
  switch (status) {
    case OCI_SUCCESS_WITH_INFO:
      return "OCI_SUCCESS_WITH_INFO";
    case OCI_NEED_DATA:
      return "OCI_NEED_DATA";
    case OCI_NO_DATA:
      return "OCI_NO_DATA";
    case OCI_CONTINUE:
      return "OCI_CONTINUE";
    case OCI_STILL_EXECUTING:
      return "OCI_STILL_EXECUTING";
    case OCI_INVALID_HANDLE:
      return "OCI_INVALID_HANDLE";
    default:
      return "";
  }
}

// The server's first error record: its message, and its code when not 0.
AnsiString ReadServerError(IZOraclePlainDriver* plainDriver, OCIError* errorHandle, int& errorCode) {
  OraText buffer[kErrorTextBufferSize] = {};
  sb4 serverCode = 0;
  plainDriver->OCIErrorGet(errorHandle, 1, nullptr, &serverCode, buffer, kErrorTextBufferSize - 1,
                           OCI_HTYPE_ERROR);
  if (serverCode != 0) errorCode = serverCode;
  return AnsiString(reinterpret_cast<const char*>(buffer));
}

TZSQLType NumberType(int precision, int scale) {
  if (scale != 0) return stDouble;
  if (precision == 0) return stLong;
  if (precision <= 2) return stByte;
  if (precision <= 4) return stShort;
  if (precision <= 9) return stInteger;
  return stLong;
}

}  // namespace

void CheckOracleStatus(IZOraclePlainDriver* plainDriver, OCIError* errorHandle, sword status,
                       TZLoggingCategory logCategory, const AnsiString& logMessage) {
  if (status == OCI_SUCCESS) return;
  int errorCode = status;
  AnsiString text = status == OCI_ERROR ? ReadServerError(plainDriver, errorHandle, errorCode)
                                        : AnsiString(StatusName(status));
  // A status without a text is still a failed call, never a success.
  if (text.empty()) text = Format(kUnnamedStatus, {status});
  DriverManager()->LogError(logCategory, plainDriver->GetProtocol(), logMessage, errorCode, text);
  throw EZSQLException(errorCode, Format(SZSQLError1, {text}));
}

TZSQLType OracleTypeNameToSQLType(const AnsiString& typeName, int precision, int scale) {
  const AnsiString name = UpperCase(typeName);
  if (name == "CHAR" || name == "VARCHAR2") return stString;
  if (name == "NCHAR" || name == "NVARCHAR2") return stUnicodeString;
  if (name == "FLOAT") return stDouble;
  if (name == "DATE") return stDate;
  if (name == "BLOB" || name == "RAW" || name == "LONG RAW") return stBinaryStream;
  if (name == "CLOB" || name == "LONG") return stAsciiStream;
  if (name == "NCLOB") return stUnicodeStream;
  if (name.rfind("TIMESTAMP", 0) == 0) return stTimestamp;
  if (name == "NUMBER") return NumberType(precision, scale);
  return stUnknown;
}

void DescribeOracleColumnType(TZSQLVar& variable) {
  switch (variable.DataType) {
    case 1: case 5: case 9: case 96: case 97: case 155:
      variable.ColType = stString;
      break;
    case 11: case 104:
      variable.ColType = stString;
      variable.DataSize = kRowIdDataSize;
      break;
    case 2:
      // Unlike a catalogue NUMBER, a described one without precision is a
      // floating-point value.
      variable.ColType = variable.Precision == 0 ? stDouble : NumberType(variable.Precision, variable.Scale);
      break;
    case 3: case 29:
      variable.ColType = stInteger;
      break;
    case 8: case 94:
      variable.ColType = stAsciiStream;
      break;
    case 12: case 184:
      variable.ColType = stDate;
      break;
    case 185: case 186:
      variable.ColType = stTime;
      break;
    case 187: case 188: case 232:
      variable.ColType = stTimestamp;
      break;
    case 23: case 24:
      variable.ColType = stBinaryStream;
      break;
    case SQLT_CLOB:
      variable.ColType = stAsciiStream;
      variable.TypeCode = SQLT_CLOB;
      break;
    case SQLT_BLOB:
      variable.ColType = stBinaryStream;
      variable.TypeCode = SQLT_BLOB;
      break;
    default:
      variable.ColType = stUnknown;
  }
}
