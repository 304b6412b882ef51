// Type mapping, error checking and binary escaping of the SQLite driver.

#include "sql/drivers/sqlite/sqlite_utils.h"

#include <cctype>

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"

namespace {

constexpr int kDefaultStringPrecision = 255;
constexpr int kMaxDoubleDigits = 15;

bool StartsWith(const AnsiString& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }
bool Contains(const AnsiString& text, const char* part) { return text.find(part) != AnsiString::npos; }

TZSQLType TypeByName(const AnsiString& name) {
  if (StartsWith(name, "BOOL")) return stBoolean;
  if (name == "TINYINT") return stByte;
  if (name == "SMALLINT") return stShort;
  if (name == "MEDIUMINT" || StartsWith(name, "INT")) return stInteger;
  if (name == "BIGINT") return stLong;
  if (StartsWith(name, "REAL") || StartsWith(name, "FLOAT") || name == "NUMERIC" || name == "DECIMAL" ||
      name == "NUMBER" || StartsWith(name, "DOUB"))
    return stDouble;
  if (name == "MONEY") return stBigDecimal;
  if (StartsWith(name, "CHAR") || name == "VARCHAR") return stString;
  if (name == "VARBINARY" || name == "BINARY") return stBytes;
  if (name == "DATE") return stDate;
  if (name == "TIME") return stTime;
  if (name == "TIMESTAMP" || name == "DATETIME") return stTimestamp;
  if (Contains(name, "BLOB")) return stBinaryStream;
  if (Contains(name, "CLOB") || Contains(name, "TEXT")) return stAsciiStream;
  return stString;
}

// Whether c is a blank or a control character, trimmed from messages.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

TZSQLType ConvertSQLiteTypeToSQLType(const AnsiString& typeName, int& precision, int& decimals) {
  AnsiString name = UpperCase(typeName);
  precision = 0;
  decimals = 0;
  const auto open = name.find('(');
  const auto close = name.find(')');
  if (open != AnsiString::npos && close != AnsiString::npos) {
    AnsiString arguments = close > open ? name.substr(open + 1, close - open - 1) : AnsiString();
    name.resize(open);
    const auto comma = arguments.find(',');
    if (comma != AnsiString::npos) {
      precision = StrToIntDef(arguments.substr(0, comma), 0);
      decimals = StrToIntDef(arguments.substr(comma + 1), 0);
    } else {
      precision = StrToIntDef(arguments, 0);
    }
  }

  TZSQLType result = TypeByName(name);
  if (result == stInteger && precision != 0) {
    if (precision <= 2) result = stByte;
    else if (precision <= 4) result = stShort;
    else if (precision <= 9) result = stInteger;
    else result = stLong;
  }
  // An exact number with more digits than a double keeps is carried as its
  // text, so that no digit is lost.
  if ((name == "NUMERIC" || name == "DECIMAL") && precision > kMaxDoubleDigits) {
    result = stString;
    precision += 2;  // sign and decimal point
  }
  if (result == stString && precision == 0) precision = kDefaultStringPrecision;
  return result;
}

void CheckSQLiteError(IZSQLitePlainDriver* plainDriver, int errorCode, char* errorMessage,
                      TZLoggingCategory logCategory, const AnsiString& logMessage) {
  AnsiString message;
  if (errorMessage) {
    AnsiString text = errorMessage;
    plainDriver->FreeMem(errorMessage);
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlankOrControl(text[first])) ++first;
    while (last > first && IsBlankOrControl(text[last - 1])) --last;
    message = text.substr(first, last - first);
  }
  if (errorCode == SQLITE_OK_CODE || errorCode == SQLITE_ROW_CODE || errorCode == SQLITE_DONE_CODE) return;
  if (message.empty()) {
    const char* text = plainDriver->ErrorString(errorCode);
    message = text ? text : "";
  }
  DriverManager()->LogError(logCategory, plainDriver->GetProtocol(), logMessage, errorCode, message);
  throw EZSQLException(errorCode, Format(SZSQLError1, {message}));
}

int FinalizeStatement(IZSQLitePlainDriver* plainDriver, Psqlite_vm vm, int stepCode, char** message) {
  char* errMsg = nullptr;
  const int code = plainDriver->Finalize(vm, errMsg);
  if (message) *message = errMsg;
  else if (errMsg) plainDriver->FreeMem(errMsg);
  return code != SQLITE_OK_CODE ? code : stepCode;
}

AnsiString EscapeSQLiteBytes(const AnsiString& value) {
  AnsiString result;
  result.reserve(value.size() + value.size() / 64);
  for (char c : value) {
    if (c == '\0') result += "%0";
    else if (c == '%') result += "%%";
    else result += c;
  }
  return result;
}

AnsiString EncodeSQLiteBlob(const AnsiString& value) { return HexText(value, "X'", "'"); }

AnsiString DecodeSQLiteString(const AnsiString& value) {
  AnsiString result;
  result.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '%') {
      result += value[i];
      continue;
    }
    // "%0" is a NUL byte, "%x" the byte x; a "%" at the very end a NUL too.
    ++i;
    result += (i >= value.size() || value[i] == '0') ? '\0' : value[i];
  }
  return result;
}
