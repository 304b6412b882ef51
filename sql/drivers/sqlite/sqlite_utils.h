// What the SQLite connection, statements, result set and metadata share:
// declared column types mapped to column types, library result codes turned
// into exceptions, and the escaping that keeps binary values in text literals.
#pragma once

#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"

// The column type of a declared type ("VARCHAR(20)", "numeric(10,2)", ...),
// with the precision and decimals its brackets give; a text type without a
// length gets 255.
TZSQLType ConvertSQLiteTypeToSQLType(const AnsiString& typeName, int& precision, int& decimals);

// Releases errorMessage (when not null) with the plain driver's FreeMem. For
// any code but 0, 100 and 101 it logs the error with logMessage and raises
// EZSQLException "SQL Error: <message>" with the code; without a message the
// plain driver's text for the code is used.
void CheckSQLiteError(IZSQLitePlainDriver* plainDriver, int errorCode, char* errorMessage,
                      TZLoggingCategory logCategory, const AnsiString& logMessage);

// Finalizes a compiled statement, releasing any message, and gives the code
// to report for it: the library's code of the finalization, or stepCode when
// that is 0. After a failed step the library names the real cause (a
// constraint, a lock ...) only here; the step answers a generic error.
// With message given, the library's text of the failure goes there for the
// caller to free.
int FinalizeStatement(IZSQLitePlainDriver* plainDriver, Psqlite_vm vm, int stepCode, char** message = nullptr);

// Binary bytes in the escaped text form that DecodeSQLiteString reads: NUL
// as "%0", "%" as "%%". The driver hands BLOB values out in it.
AnsiString EscapeSQLiteBytes(const AnsiString& value);

// A BLOB literal (X'..') of binary bytes: stored as the bytes themselves, so
// every other program reads them as written.
AnsiString EncodeSQLiteBlob(const AnsiString& value);

// The bytes of a binary value in the escaped text form: a BLOB as handed
// out, or text that earlier versions of the driver stored in that form.
AnsiString DecodeSQLiteString(const AnsiString& value);
