// Error reporting with its per-thread silent mode, and version arithmetic.

#include "sql/drivers/mysql/mysql_utils.h"

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"

namespace {
thread_local int silentMySQLErrors = 0;
}

void CheckMySQLError(IZMySQLPlainDriver* plainDriver, MYSQL* handle, TZLoggingCategory category,
                     const AnsiString& logMessage) {
  const char* text = plainDriver->GetLastError(handle);
  AnsiString errorText = Trim(text ? text : "");
  int errorCode = plainDriver->GetLastErrorCode(handle);
  if (errorCode == 0 || errorText.empty()) return;
  AnsiString message = Format(SZSQLError1, {errorText});
  if (silentMySQLErrors > 0) throw EZMySQLSilentException(message);
  DriverManager()->LogError(category, plainDriver->GetProtocol(), logMessage, errorCode, errorText);
  throw EZSQLException(errorCode, message);
}

void EnterSilentMySQLErrors() { ++silentMySQLErrors; }
void LeaveSilentMySQLErrors() { --silentMySQLErrors; }

void DecodeMySQLVersion(int version, int& major, int& minor, int& sub) {
  major = version / 10000;
  minor = (version % 10000) / 100;
  sub = version - major * 10000 - minor * 100;
}

int MySQLVersionToSQLVersion(int version) {
  int major, minor, sub;
  DecodeMySQLVersion(version, major, minor, sub);
  return EncodeSqlVersioning(major, minor, sub);
}
