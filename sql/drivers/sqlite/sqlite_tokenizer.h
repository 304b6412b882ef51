// The SQLite dialect of the SQL tokenizer and statement analyser: exponent
// numbers, names in double quotes or square brackets, "--" and "/*" comments
// only, the dialect's operators, and words of ASCII letters, digits and "_"
// (a character above 127 is a symbol of its own).
#pragma once

#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

// The generic symbols plus "!=", "==" and "||".
class TZSQLiteSymbolState : public TZGenericSQLSymbolState {
public:
  TZSQLiteSymbolState();
};

// Words of "a" to "z", "A" to "Z", "0" to "9" and "_".
class TZSQLiteWordState : public TZGenericSQLWordState {
public:
  TZSQLiteWordState();
};

class TZSQLiteTokenizer : public TZTokenizer {
public:
  TZSQLiteTokenizer();
};

class TZSQLiteStatementAnalyser : public TZGenericStatementAnalyser {
public:
  TZSQLiteStatementAnalyser();
};
