// What more than one class of the ASA driver needs: the client's type codes
// with their names and shared column types, the catalogue's JDBC-style type
// codes, the one check that turns a failed client call into a logged
// EZSQLException, the parameter binding's error class and the random cursor
// names.
#pragma once

#include <cstdint>

#include "platform/rtl/exceptions.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/sql_types.h"
#include "sql/core/sysutils.h"
#include "sql/drivers/asa/asa_plain_driver.h"

// Raised by the parameter binding for a type it cannot bind.
VX_DECLARE_EXCEPTION(EZASAConvertError, Exception)

// The shared type of a client type code; the nullable bit is ignored and an
// unknown code is stUnknown.
TZSQLType ConvertASATypeToSQLType(std::int16_t sqlType);
// "DT_VARCHAR", ... for the code with or without its nullable bit; "Unknown".
AnsiString ConvertASATypeToString(std::int16_t sqlType);
// The shared type of a catalogue type code; stUnknown for any other.
TZSQLType ConvertASAJDBCToSqlType(std::int16_t fieldType);

// Nothing when the area's sqlcode is 0 or positive. Otherwise the client's
// message is logged (category, the plain driver's protocol, logMessage, the
// code) and raised as EZSQLException "SQL Error: <message>" with the code.
void CheckASAError(IZASAPlainDriver* plainDriver, SQLCA* handle, TZLoggingCategory logCategory,
                   const AnsiString& logMessage);
