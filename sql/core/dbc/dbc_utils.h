// The connection URL "zdbc:protocol:[//host[:port]/]database[?a=1;b=2]" and
// how it is split for a driver, the lookup of statement options, small quoting
// helpers for catalogue queries, and which column types read as which others.
#pragma once

#include <vector>

#include "platform/rtl/strings.h"
#include "sql/core/sql_types.h"

class TStrings;
class IZStatement;

// The host a URL without "//host" part connects to.
inline constexpr char kLoopbackHostName[] = "127.0.0.1";

// The protocol between the first and second ":", checked case-sensitively
// against supportedProtocols. Raises EZSQLException "Incorrect connection URL"
// for a missing or empty protocol, "Unsupported protocol" for an unknown one.
AnsiString ExtractUrlProtocol(const AnsiString& url, const std::vector<AnsiString>& supportedProtocols);

// Splits url into host, port (0 when none), database, user and password.
// resultProperties is emptied and receives the URL's parameters, then the
// lines of properties (may be null). A URL without a database takes the
// "database" line, which carries a name holding a "?". User is "UID", else "username"; password
// is "PWD", else "password" (first line of a name wins, case ignored). Raises
// EZSQLException "Incorrect connection URL" for a malformed URL and the
// platform's EConvertError for a port that is not a number.
void ParseDatabaseUrl(const AnsiString& url, TStrings* properties, AnsiString& hostName, int& port,
                      AnsiString& database, AnsiString& user, AnsiString& password, TStrings* resultProperties);

// The option from the statement's properties, else its connection's, else
// defaultValue (an empty value counts as absent).
AnsiString GetStatementProperty(IZStatement* statement, const AnsiString& name, const AnsiString& defaultValue);

// defaultValue for an empty value, else value quoted with quoteChar doubled.
AnsiString QuoteOrDefault(const AnsiString& value, const AnsiString& defaultValue, char quoteChar);
// QuoteOrDefault with "null".
AnsiString QuoteOrNull(const AnsiString& value, char quoteChar);
// value, or "%" (match everything) when it is empty.
AnsiString PatternOrAll(const AnsiString& value);

// Whether a value stored as fromType may be read as toType.
bool CanConvertSQLType(TZSQLType fromType, TZSQLType toType);
