// Error reporting and version arithmetic shared by every part of the MySQL
// driver: the library's last error becomes an EZSQLException (or, inside a
// silent section of the calling thread, an EZMySQLSilentException).
#pragma once

#include "platform/rtl/exceptions.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

// Raised instead of EZSQLException while the thread's silent counter is above
// 0; a default error handler does not show it.
VX_DECLARE_EXCEPTION(EZMySQLSilentException, EAbort)

// Raises the library's last error on handle, if there is one: code and
// "SQL Error: <text>", logged with logMessage unless silent.
void CheckMySQLError(IZMySQLPlainDriver* plainDriver, MYSQL* handle, TZLoggingCategory category,
                     const AnsiString& logMessage);

void EnterSilentMySQLErrors();
void LeaveSilentMySQLErrors();

// The library's packed form major * 10000 + minor * 100 + sub.
void DecodeMySQLVersion(int version, int& major, int& minor, int& sub);
// Library form to the SQL library's major * 1000000 + minor * 1000 + sub.
int MySQLVersionToSQLVersion(int version);
