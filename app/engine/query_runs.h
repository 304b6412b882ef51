// The one way the program runs its few statements through a query: the text
// replaced, the query opened, and for lists the values of one column read
// with the query left closed.
#pragma once

#include <vector>

#include "platform/rtl/strings.h"

class TZQuery;

// Closes the query, replaces its text with sql and opens it.
void OpenSql(TZQuery& query, const AnsiString& sql);

// The column's value in every row of sql's result; the query is left closed
// with an empty text.
std::vector<AnsiString> ColumnValues(TZQuery& query, const AnsiString& sql, const AnsiString& column);
