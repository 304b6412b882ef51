// PostgreSQL types, by name and by OID, mapped onto the column types of the
// SQL library, and the description of a result's columns built from them.
#pragma once

#include "sql/core/dbc/column_info.h"
#include "sql/drivers/postgresql/postgresql_connection.h"

// The name in any case; "oid" and "bytea" depend on the connection's
// "oidasblob". Array names ("_...") are text streams; others stUnknown.
TZSQLType SQLTypeFromTypeName(IZPostgreSQLConnection* connection, const AnsiString& typeName);
// The built-in types; money is stFloat here (stDouble by name), and user
// types, domains and others are stUnknown.
TZSQLType SQLTypeFromTypeOid(IZPostgreSQLConnection* connection, Oid typeOid);

// Sets the column's type and, where the type fixes one, its precision and
// currency flag; a type without a mapping becomes a read-only string of 255.
void DefineColumnType(IZPostgreSQLConnection* connection, TZColumnInfo& columnInfo, Oid typeOid);

// Digits of a numeric whose type modifier is typeModifier ((p << 16 | s) + 4),
// when one with more than a double keeps: such a numeric is carried as its
// text, so that no digit is lost. 0 otherwise.
int NumericTextDigits(int typeModifier);

// Appends a description of each column of result: label, type, precision
// from the type modifier or size where the type fixes none, nullable.
void DescribeColumns(IZPostgreSQLConnection* connection, IZPostgreSQLPlainDriver* plainDriver,
                     const PGresult* result, TZColumnInfoList& columns);
