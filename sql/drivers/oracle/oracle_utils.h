// The status check that turns every client status but success into an
// EZSQLException, and the two maps from the client's type names and codes
// onto the library's column types.
#pragma once

#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/oracle/oracle_plain_driver.h"

struct TZSQLVar;

// Returns for status 0. Any other status is logged (LogError with category
// and logMessage) and raised as EZSQLException "SQL Error: <text>": the
// status's name for the known statuses, the server's message and code for
// an error (-1), and "OCI status <n>" where neither gives a text.
void CheckOracleStatus(IZOraclePlainDriver* plainDriver, OCIError* errorHandle, sword status,
                       TZLoggingCategory logCategory, const AnsiString& logMessage);

// A catalogue type name (any case) with its precision and scale.
TZSQLType OracleTypeNameToSQLType(const AnsiString& typeName, int precision, int scale);

// Sets ColType of a described column from its DataType (and, for numbers,
// Precision and Scale); row ids get DataSize 20, LOBs their TypeCode.
void DescribeOracleColumnType(TZSQLVar& variable);
